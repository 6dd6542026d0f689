#ifndef TESSIVO_CLI_COMMANDLINE_H
#define TESSIVO_CLI_COMMANDLINE_H

#include <string>
#include <vector>

// What the subcommands of `tessivo` share: their table entry, and the one way
// they end (exit 0 on success, 1 with one line on standard error otherwise).
namespace CommandLine {

// A subcommand runs with the arguments after its name and returns the exit code.
using Run = int (*)(const std::vector<std::string> &args);

struct Subcommand {
    const char *name;
    const char *synopsis; // one usage line, without the leading "tessivo "
    const char *summary;  // what it does, one line
    const char *help;     // options and details, several lines; may be empty
    Run run;
};

// Every subcommand, in the order the usage text lists them (Subcommands.cpp).
const std::vector<Subcommand> &subcommands();

// Writes "tessivo: <message>" as one line on standard error and returns 1.
int fail(const std::string &message);

} // namespace CommandLine

#endif
