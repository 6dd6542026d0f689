#include "ExportPaths.h"

#include "TextFormat.h"

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

std::vector<std::string> facadeExportFiles(const std::string &objPath, int count)
{
    const std::string folder = folderOf(objPath);
    std::vector<std::string> files{objPath, withoutExtension(objPath) + ".mtl", folder + "/materialFacade.png"};
    for (int i = 0; i < count; ++i) {
        for (const char *name : {"/window_%d.obj", "/window_%d.mtl", "/window_%d.png"})
            files.push_back(folder + formatText(name, i));
    }
    for (int i = 0; i < count; ++i) {
        files.push_back(folder + formatText("/leftshutter_%d.obj", i));
        files.push_back(folder + formatText("/rightshutter_%d.obj", i));
    }
    for (const char *name : {"/leftshutter.mtl", "/leftshutter.png", "/rightshutter.mtl", "/rightshutter.png"})
        files.push_back(folder + name);
    return files;
}

std::vector<std::string> placedTemplateFiles(const std::string &folder, int count)
{
    std::vector<std::string> files;
    for (int i = 0; i < count; ++i)
        files.push_back(folder + formatText("/window_%d.obj", i));
    for (int i = 0; i < count; ++i) {
        files.push_back(folder + formatText("/leftshutter_%d.obj", i));
        files.push_back(folder + formatText("/rightshutter_%d.obj", i));
    }
    return files;
}

} // namespace ExportPaths
