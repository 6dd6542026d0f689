#ifndef TESSIVO_EXPORTPATHS_H
#define TESSIVO_EXPORTPATHS_H

#include <string>
#include <vector>

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

// Every file that saveFacadeToMesh(objPath) writes for count windows, in the
// order it writes them: the wall OBJ, its MTL and texture, the window quads
// with their materials and textures, the leaf boxes and the leaves' materials
// and textures. The dialog asks once before any of them is replaced.
std::vector<std::string> facadeExportFiles(const std::string &objPath, int count);

// Every file that the template placement writes into folder for count
// windows: all "window_%d.obj", then "leftshutter_%d.obj" and
// "rightshutter_%d.obj" window by window.
std::vector<std::string> placedTemplateFiles(const std::string &folder, int count);

} // namespace ExportPaths

#endif
