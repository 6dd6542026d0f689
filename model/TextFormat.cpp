#include "TextFormat.h"

#include <charconv>
#include <cstdarg>
#include <cstdio>
#include <system_error>

void appendFixed6(std::string &out, double value)
{
    // Enough for the 309 integer digits of the largest double, six decimals and a sign.
    char buffer[330];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    if (result.ec == std::errc())
        out.append(buffer, result.ptr);
}

void appendFormat(std::string &out, const char *format, ...)
{
    char buffer[256];
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (length >= 0 && std::size_t(length) < sizeof buffer) {
        out.append(buffer, std::size_t(length));
    } else if (length > 0) {
        std::string large(std::size_t(length) + 1, '\0');
        std::vsnprintf(&large[0], large.size(), format, again);
        out.append(large.data(), std::size_t(length));
    }
    va_end(again);
}
