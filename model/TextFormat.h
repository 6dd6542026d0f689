#ifndef TESSIVO_TEXTFORMAT_H
#define TESSIVO_TEXTFORMAT_H

#include <string>

// Writes a real as stdio's "%f" does in the C locale (six decimals), whatever
// locale the process runs in, so written files are the same everywhere.
void appendFixed6(std::string &out, double value);

// Appends snprintf(format, ...) to out, at any length. Reals follow the current
// locale, so a caller printing them with "%lf" holds a C-locale guard.
void appendFormat(std::string &out, const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

#endif
