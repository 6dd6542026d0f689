#ifndef TESSIVO_EXPORTFILES_H
#define TESSIVO_EXPORTFILES_H

#include "Failure.h"

#include <cstdio>
#include <memory>
#include <string>

// The export's output files: created (or truncated) at once and written
// later, because the order in which an OBJ file and its material come into
// being is part of what the export promises (an MTL that cannot be created
// leaves an empty OBJ). A file that cannot be created or written logs one
// line and fails as Failure.h says.
namespace ExportFiles {

struct FileCloser {
    void operator()(std::FILE *file) const { std::fclose(file); }
};
using CreatedFile = std::unique_ptr<std::FILE, FileCloser>;

// Null, with the reason, when path cannot be created.
CreatedFile create(const std::string &path, Failure *failure);

// Writes text into a created file and closes it; false when a write or the
// close fails.
bool writeAndClose(CreatedFile file, const std::string &path, const std::string &text, Failure *failure);

// create and writeAndClose in one go.
bool createAndWrite(const std::string &path, const std::string &text, Failure *failure);

} // namespace ExportFiles

#endif
