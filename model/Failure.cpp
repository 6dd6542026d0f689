#include "Failure.h"

#include <cstdio>

namespace {

LogSink g_logSink = nullptr;

} // namespace

LogSink setLogSink(LogSink sink)
{
    const LogSink previous = g_logSink;
    g_logSink = sink;
    return previous;
}

void logLine(const std::string &line)
{
    if (g_logSink)
        g_logSink(line);
    else
        std::fprintf(stderr, "%s\n", line.c_str());
}

bool failAndLog(Failure *failure, std::string reason)
{
    logLine(reason);
    return fail(failure, std::move(reason));
}

bool failUnopenable(Failure *failure, const std::string &path)
{
    logLine("Can't open input file!");
    return fail(failure, path.empty() ? std::string("cannot read the stream") : "cannot open " + path);
}
