#ifndef TESSIVO_EXPORTPATHS_H
#define TESSIVO_EXPORTPATHS_H

#include <string>

// Splitting of export file names ("/" separated narrow strings).
namespace ExportPaths {

// Everything before the last "/"; "." for a bare file name, so that the
// companion files land next to it in the working directory.
std::string folderOf(const std::string &path);

// The path without its extension: cut at the last "." of the file name itself
// (a "." inside a folder name is no extension).
std::string withoutExtension(const std::string &path);

// The file name without folder and extension ("out" for "/data/out.obj").
std::string baseNameOf(const std::string &path);

} // namespace ExportPaths

#endif
