#include "ExportPaths.h"

namespace ExportPaths {

namespace {

// Index where the file name starts (after the last "/").
std::size_t fileNameStart(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? 0 : slash + 1;
}

// Index of the extension's "." within the file name, or npos.
std::size_t extensionDot(const std::string &path)
{
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot < fileNameStart(path))
        return std::string::npos;
    return dot;
}

} // namespace

std::string folderOf(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string withoutExtension(const std::string &path)
{
    return path.substr(0, extensionDot(path));
}

std::string baseNameOf(const std::string &path)
{
    const std::size_t start = fileNameStart(path);
    const std::size_t dot = extensionDot(path);
    return path.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
}

} // namespace ExportPaths
