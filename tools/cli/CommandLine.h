#ifndef TESSIVO_CLI_COMMANDLINE_H
#define TESSIVO_CLI_COMMANDLINE_H

#include "Failure.h"

#include <map>
#include <string>
#include <vector>

// What the subcommands of `tessivo` share: their table entry, the parsing of
// their arguments, and the one way they end (exit 0 on success, 1 with one
// line on standard error otherwise).
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

// Writes "tessivo: <line>" as one line on standard error: the one place the
// command line writes there.
void tell(const std::string &line);

// tell(message), and 1, the exit code of a failure.
int exitWith(const std::string &message);

// Keeps the lines the libraries log (Failure.h) and Qt's messages away from
// standard error while it lives: a failure is told once, in the subcommand's
// own line, and a success prints only what the subcommand means to print.
class QuietLibraries
{
public:
    QuietLibraries();
    ~QuietLibraries();
    QuietLibraries(const QuietLibraries &) = delete;
    QuietLibraries &operator=(const QuietLibraries &) = delete;

    // The library lines logged so far (Qt's own messages are dropped).
    static const std::vector<std::string> &lines();

private:
    LogSink m_previous;
};

// An option a subcommand accepts: a flag ("--no-grid") or an option with a
// value ("--rows 3", also written "--rows=3").
struct OptionRule {
    const char *name; // with its leading "--"
    bool takesValue;
};

// The arguments of one subcommand, split into its options and the rest.
class Arguments
{
public:
    // Splits args by rules. Fails, with one line saying why, on an option
    // that rules does not list, an option given twice, and an option whose
    // value is missing (the end of the line, a word starting with "--", or
    // nothing after "=").
    bool parse(const std::vector<std::string> &args, const std::vector<OptionRule> &rules,
               Failure *failure = nullptr);

    bool has(const std::string &name) const { return m_options.count(name) != 0; }
    // The value given to an option; "" for a flag or an option not given.
    std::string value(const std::string &name) const;
    const std::vector<std::string> &positional() const { return m_positional; }

    // The value of option name as a whole number from min to max, when the
    // option was given (number is left alone otherwise). Fails with a line
    // naming the option for anything else: no digits, trailing characters,
    // a number outside the range.
    bool number(const std::string &name, long long min, long long max, long long &number,
                Failure *failure = nullptr) const;

    // The failure line of number() for a value outside its range, for a
    // range that is known only later (after a case is read); returns false.
    static bool outOfRange(const std::string &name, const std::string &text, long long min, long long max,
                           Failure *failure = nullptr);

    // Exactly one positional argument, named `what` in the failure line.
    bool single(const std::string &what, std::string &argument, Failure *failure = nullptr) const;

private:
    std::map<std::string, std::string> m_options;
    std::vector<std::string> m_positional;
};

} // namespace CommandLine

#endif
