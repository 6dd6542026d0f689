// The table of subcommands. A new subcommand is one file with its Run
// function and one entry here.
#include "CommandLine.h"
#include "ImportCommand.h"

namespace CommandLine {

const std::vector<Subcommand> &subcommands()
{
    static const std::vector<Subcommand> table = {
        importSubcommand(),
    };
    return table;
}

} // namespace CommandLine
