// `tessivo SUBCOMMAND ...`: dispatches to the subcommand table and prints the
// usage text for `tessivo --help`, `tessivo help [SUBCOMMAND]` and
// `tessivo SUBCOMMAND --help`. Every failure is one line on standard error.
#include "CommandLine.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

void printUsage()
{
    std::printf("Usage: tessivo SUBCOMMAND [ARGUMENTS]\n\nSubcommands:\n");
    for (const CommandLine::Subcommand &s : CommandLine::subcommands())
        std::printf("  %-10s %s\n", s.name, s.summary);
    std::printf("\nRun 'tessivo help SUBCOMMAND' for its options.\n");
}

const CommandLine::Subcommand *find(const std::string &name)
{
    for (const CommandLine::Subcommand &s : CommandLine::subcommands())
        if (name == s.name)
            return &s;
    return nullptr;
}

void printHelp(const CommandLine::Subcommand &s)
{
    std::printf("Usage: tessivo %s\n\n%s\n", s.synopsis, s.summary);
    if (s.help && *s.help)
        std::printf("\n%s\n", s.help);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2)
        return CommandLine::exitWith("missing subcommand (see 'tessivo --help')");
    const std::string name = argv[1];
    if (name == "--help" || name == "-h") {
        printUsage();
        return 0;
    }
    if (name == "help") {
        if (argc == 2) {
            printUsage();
            return 0;
        }
        const CommandLine::Subcommand *s = find(argv[2]);
        if (!s)
            return CommandLine::exitWith("unknown subcommand '" + std::string(argv[2])
                                     + "' (see 'tessivo --help')");
        printHelp(*s);
        return 0;
    }
    const CommandLine::Subcommand *s = find(name);
    if (!s)
        return CommandLine::exitWith("unknown subcommand '" + name + "' (see 'tessivo --help')");
    const std::vector<std::string> args(argv + 2, argv + argc);
    for (const std::string &a : args)
        if (a == "--help" || a == "-h") {
            printHelp(*s);
            return 0;
        }
    const CommandLine::QuietLibraries quiet;
    return s->run(args);
}
