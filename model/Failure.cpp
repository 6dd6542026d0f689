#include "Failure.h"

#include <cstdio>

void logLine(const std::string &line)
{
    std::fprintf(stderr, "%s\n", line.c_str());
}

bool failAndLog(Failure *failure, std::string reason)
{
    logLine(reason);
    return fail(failure, std::move(reason));
}

bool failUnopenable(Failure *failure, const std::string &path)
{
    std::fputs("Can't open input file!\n", stderr);
    return fail(failure, path.empty() ? std::string("cannot read the stream") : "cannot open " + path);
}
