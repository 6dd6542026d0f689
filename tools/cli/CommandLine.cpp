#include "CommandLine.h"

#include <cstdio>

namespace CommandLine {

int fail(const std::string &message)
{
    std::fprintf(stderr, "tessivo: %s\n", message.c_str());
    return 1;
}

} // namespace CommandLine
