#include "CommandLine.h"

#include <QString>
#include <QtGlobal>

#include <charconv>
#include <cstdio>

namespace CommandLine {

void tell(const std::string &line)
{
    std::fprintf(stderr, "tessivo: %s\n", line.c_str());
}

int exitWith(const std::string &message)
{
    tell(message);
    return 1;
}

namespace {

std::vector<std::string> &keptLines()
{
    static std::vector<std::string> lines;
    return lines;
}

void keepLine(const std::string &line)
{
    keptLines().push_back(line);
}

// Qt's warnings (a missing XDG_RUNTIME_DIR, an image plugin's complaint) say
// nothing a user of the command line can act on; a fatal message still shows.
void quietQtMessage(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtFatalMsg)
        tell(message.toLocal8Bit().toStdString());
}

} // namespace

QuietLibraries::QuietLibraries() : m_previous(setLogSink(keepLine))
{
    qInstallMessageHandler(quietQtMessage);
}

QuietLibraries::~QuietLibraries()
{
    qInstallMessageHandler(nullptr);
    setLogSink(m_previous);
}

const std::vector<std::string> &QuietLibraries::lines()
{
    return keptLines();
}

bool Arguments::parse(const std::vector<std::string> &args, const std::vector<OptionRule> &rules,
                      Failure *failure)
{
    const auto ruleOf = [&rules](const std::string &name) -> const OptionRule * {
        for (const OptionRule &rule : rules) {
            if (name == rule.name)
                return &rule;
        }
        return nullptr;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        if (arg.size() < 2 || arg[0] != '-') {
            m_positional.push_back(arg);
            continue;
        }
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const OptionRule *rule = ruleOf(name);
        if (!rule)
            return ::fail(failure, "unknown option '" + name + "'");
        if (has(name))
            return ::fail(failure, name + " is given twice");
        std::string value;
        if (equals != std::string::npos) {
            if (!rule->takesValue)
                return ::fail(failure, name + " takes no value");
            value = arg.substr(equals + 1);
            if (value.empty())
                return ::fail(failure, name + " needs a value");
        } else if (rule->takesValue) {
            if (i + 1 == args.size() || args[i + 1].rfind("--", 0) == 0)
                return ::fail(failure, name + " needs a value");
            value = args[++i];
        }
        m_options[name] = value;
    }
    return true;
}

std::string Arguments::value(const std::string &name) const
{
    const auto it = m_options.find(name);
    return it == m_options.end() ? std::string() : it->second;
}

bool Arguments::number(const std::string &name, long long min, long long max, long long &number,
                       Failure *failure) const
{
    if (!has(name))
        return true;
    const std::string text = value(name);
    long long parsed = 0;
    const char *end = text.data() + text.size();
    const std::from_chars_result result = std::from_chars(text.data(), end, parsed);
    if (text.empty() || result.ec == std::errc::invalid_argument || result.ptr != end)
        return ::fail(failure, name + " needs a whole number, not '" + text + "'");
    if (result.ec == std::errc::result_out_of_range || parsed < min || parsed > max)
        return outOfRange(name, text, min, max, failure);
    number = parsed;
    return true;
}

bool Arguments::outOfRange(const std::string &name, const std::string &text, long long min, long long max,
                           Failure *failure)
{
    return ::fail(failure, name + " " + text + " is out of range (" + std::to_string(min) + " to "
                               + std::to_string(max) + ")");
}

bool Arguments::single(const std::string &what, std::string &argument, Failure *failure) const
{
    if (m_positional.empty())
        return ::fail(failure, "missing " + what);
    if (m_positional.size() > 1)
        return ::fail(failure, "unexpected argument '" + m_positional[1] + "' after " + what);
    argument = m_positional.front();
    return true;
}

} // namespace CommandLine
