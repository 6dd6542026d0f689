#include "ExportFiles.h"

#include <utility>

namespace ExportFiles {

CreatedFile create(const std::string &path, Failure *failure)
{
    CreatedFile file(std::fopen(path.c_str(), "w"));
    if (!file)
        failAndLog(failure, "Export: cannot create " + path);
    return file;
}

bool writeAndClose(CreatedFile file, const std::string &path, const std::string &text, Failure *failure)
{
    if (!file)
        return fail(failure, "Export: cannot create " + path);
    const bool written = std::fwrite(text.data(), 1, text.size(), file.get()) == text.size();
    return (std::fclose(file.release()) == 0 && written) || failAndLog(failure, "Export: cannot write " + path);
}

bool createAndWrite(const std::string &path, const std::string &text, Failure *failure)
{
    CreatedFile file = create(path, failure);
    return file && writeAndClose(std::move(file), path, text, failure);
}

} // namespace ExportFiles
