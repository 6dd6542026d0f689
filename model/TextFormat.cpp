#include "TextFormat.h"

#include <charconv>
#include <cstdarg>
#include <cstdio>
#include <system_error>

namespace {

// Enough for the 309 integer digits of the largest double in fixed form, the
// decimals asked for and a sign.
constexpr std::size_t kRealBuffer = 330 + 64;

template <class... Format>
void appendReal(std::string &out, double value, Format... format)
{
    char buffer[kRealBuffer];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format...);
    if (result.ec == std::errc())
        out.append(buffer, result.ptr);
}

void appendFormatList(std::string &out, const char *format, va_list args)
{
    char buffer[256];
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(buffer, sizeof buffer, format, args);
    if (length >= 0 && std::size_t(length) < sizeof buffer) {
        out.append(buffer, std::size_t(length));
    } else if (length > 0) {
        std::string large(std::size_t(length) + 1, '\0');
        std::vsnprintf(&large[0], large.size(), format, again);
        out.append(large.data(), std::size_t(length));
    }
    va_end(again);
}

} // namespace

void appendFixed6(std::string &out, double value)
{
    appendReal(out, value, std::chars_format::fixed, 6);
}

void appendGeneral(std::string &out, double value, int precision)
{
    appendReal(out, value, std::chars_format::general, precision);
}

void appendFormat(std::string &out, const char *format, ...)
{
    va_list args;
    va_start(args, format);
    appendFormatList(out, format, args);
    va_end(args);
}

std::string formatText(const char *format, ...)
{
    std::string out;
    va_list args;
    va_start(args, format);
    appendFormatList(out, format, args);
    va_end(args);
    return out;
}
