// The table of subcommands. A new subcommand is one file that defines its
// entry (name, usage texts and Run function) and one line here.
#include "CommandLine.h"
#include "ImportCommand.h"

namespace CommandLine {

// Each defined in the subcommand's own file.
Subcommand infoSubcommand();
Subcommand exportSubcommand();
Subcommand renderSubcommand();

const std::vector<Subcommand> &subcommands()
{
    static const std::vector<Subcommand> table = {
        infoSubcommand(),
        exportSubcommand(),
        renderSubcommand(),
        importSubcommand(),
    };
    return table;
}

} // namespace CommandLine
