#ifndef TESSIVO_TEXTFILE_H
#define TESSIVO_TEXTFILE_H

#include "Failure.h"

#include <iosfwd>
#include <string>

// Writing the model's text files (grid, shutter and reconstruction files).
// Failures are reported as Failure.h says, without a message: the grid
// file's writer fails silently and the other callers decide. (The export
// writes its OBJ and MTL files its own way, export/ExportFiles.h, since the
// order in which those files come into being is part of what it promises.)

// Replaces path by text through a temporary file that takes its place only
// once complete, so a failed write never destroys the previous file. Where no
// temporary file can be made (a writable file in a read-only folder) it
// writes in place, as a plain open for writing would.
bool writeTextFile(const std::string &path, const std::string &text, Failure *failure);

// Writes text to a stream (the stream overloads of the writers).
bool writeText(std::ostream &out, const std::string &text, Failure *failure);

#endif
