#ifndef TESSIVO_TEXTFORMAT_H
#define TESSIVO_TEXTFORMAT_H

#include <string>

// The one formatter of the program's text files (grid, shutter and
// reconstruction files, OBJ and MTL). Reals are written with std::to_chars,
// which never follows the process locale: QCoreApplication sets the locale
// from the environment, and a decimal comma would make the files unreadable.

// A real as stdio's "%f" writes it in the C locale (six decimals).
void appendFixed6(std::string &out, double value);

// A real as stdio's "%.<precision>g" writes it in the C locale: the shortest
// of fixed and exponent form, trailing zeros dropped. Precision 15 carries a
// double through a round trip to the last digit the reader needs.
void appendGeneral(std::string &out, double value, int precision);

// Appends snprintf(format, ...) to out, at any length. For integers and
// strings only: reals go through appendFixed6 or appendGeneral, since
// printf's reals follow the current locale.
void appendFormat(std::string &out, const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

// The same as a new string, for file names such as "win_%d_%d.jpg".
std::string formatText(const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

#endif
