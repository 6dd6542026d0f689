#include "ExportText.h"

#include <utility>

namespace ExportText {

CNumericLocale::CNumericLocale()
{
    cLocale = newlocale(LC_ALL_MASK, "C", locale_t(0));
    if (cLocale != locale_t(0))
        previous = uselocale(cLocale);
}

CNumericLocale::~CNumericLocale()
{
    if (cLocale != locale_t(0)) {
        uselocale(previous);
        freelocale(cLocale);
    }
}

FileHandle createFile(const std::string &path)
{
    return FileHandle(std::fopen(path.c_str(), "w"));
}

bool writeAndClose(FileHandle file, const std::string &text)
{
    if (!file)
        return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file.get()) == text.size();
    return std::fclose(file.release()) == 0 && written;
}

bool writeTextFile(const std::string &path, const std::string &text)
{
    FileHandle file = createFile(path);
    if (!file) {
        std::fprintf(stderr, "Export: cannot create %s\n", path.c_str());
        return false;
    }
    if (!writeAndClose(std::move(file), text)) {
        std::fprintf(stderr, "Export: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

} // namespace ExportText
