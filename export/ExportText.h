#ifndef TESSIVO_EXPORTTEXT_H
#define TESSIVO_EXPORTTEXT_H

#include "TextFormat.h"

#include <clocale>
#include <cstdio>
#include <locale.h>
#include <memory>
#include <string>

// Text and file helpers shared by the OBJ/MTL writers.
namespace ExportText {

// Switches the calling thread to the C locale for as long as it lives, so that
// "%lf" always writes a decimal point whatever locale the application set.
class CNumericLocale
{
public:
    CNumericLocale();
    ~CNumericLocale();
    CNumericLocale(const CNumericLocale &) = delete;
    CNumericLocale &operator=(const CNumericLocale &) = delete;

private:
    locale_t cLocale = locale_t(0);
    locale_t previous = locale_t(0);
};

struct FileCloser {
    void operator()(std::FILE *file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Creates (or truncates) path for writing; null when it cannot be created.
FileHandle createFile(const std::string &path);

// Writes text and closes the file; false when a write or the close fails.
bool writeAndClose(FileHandle file, const std::string &text);

// Creates path and writes text into it; false when either step fails.
bool writeTextFile(const std::string &path, const std::string &text);

} // namespace ExportText

#endif
