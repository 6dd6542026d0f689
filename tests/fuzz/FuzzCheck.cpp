#include "FuzzCheck.h"

#include <cstdio>
#include <cstdlib>

namespace {

std::string &inputName()
{
    static std::string name;
    return name;
}

} // namespace

void setFuzzInputName(const std::string &name)
{
    inputName() = name;
}

void fuzzCheckFailed(const char *file, int line, const char *condition)
{
    std::fprintf(stderr, "%s:%d: fuzz check failed: %s\n", file, line, condition);
    if (!inputName().empty())
        std::fprintf(stderr, "input: %s\n", inputName().c_str());
    std::fflush(stderr);
    std::abort();
}
