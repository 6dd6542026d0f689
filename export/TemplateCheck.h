#ifndef TESSIVO_TEMPLATECHECK_H
#define TESSIVO_TEMPLATECHECK_H

#include "Failure.h"

#include <cstddef>
#include <string>
#include <vector>

// Our own check of an OBJ template's text before OpenMesh reads it, and the
// one rule that says which lines of a template are vertex lines.
//
// OpenMesh's OBJ reader cannot be trusted with every text: a face corner that
// has a texture or normal number but no vertex number (the four bytes "f /1")
// fails an assertion inside it and aborts the whole program. And where it
// and the placement disagreed on which lines hold vertices, placed vertices
// landed on the wrong lines. So the placement reads a template only after
// this check passed, and picks vertex lines exactly as the reader does.
namespace TemplateCheck {

// Largest template read, in bytes: far beyond any window model, and it keeps
// a wrong pick (a huge file named .obj) from filling the memory.
constexpr std::size_t kMaxBytes = 64u << 20;

// A vertex position as OpenMesh's reader reads it (three floats).
struct Vertex {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

enum class LineKind {
    // OpenMesh's reader adds a vertex for this line; the placement replaces it.
    Vertex,
    // Holds the word "v" and something after it where some reader starts a
    // line (at its start past any white space, or after a CR), yet OpenMesh's
    // reader adds no vertex for it ("v 0 0", "v 0,5 0 0", "v 1e39 0 0", a
    // line starting with a form feed); or holds more than one such start
    // ("v 0 0 0\rv 1 0 0": one vertex to OpenMesh, two where CR ends a line).
    // Copied or replaced, it would leave other programs an unplaced vertex
    // that shifts every later one, so it is refused.
    Ambiguous,
    // Anything else: copied as it is.
    Other,
};

// What OpenMesh's reader makes of one line (without its '\n'): it trims
// blanks, tabs, CR and LF at both ends, skips an empty line, a comment and a
// line that then starts with other white space, takes the first word as the
// keyword and, for "v", reads three floats with the standard stream
// extraction it uses itself. For a Vertex line, *vertex gets the position.
LineKind classify(const std::string &line, Vertex *vertex = nullptr);

// Why a template with an ambiguous line at lineNumber (from 1) is refused.
std::string ambiguityReason(std::size_t lineNumber);

// True when OpenMesh picks its OBJ reader for path: the text after the
// path's last "." is "obj" in any case. Other readers are never used.
bool hasObjExtension(const std::string &path);

// Checks a whole template and collects the positions of its vertex lines, in
// order. False, with the line number and what is wrong, for an ambiguous
// vertex line or a face corner other than v, v/t, v//n or v/t/n (v, t, n
// integers): a corner without its vertex number is what aborts OpenMesh.
bool check(const std::string &text, std::vector<Vertex> &vertices, Failure *failure = nullptr);

// The text OpenMesh reads: the template with its "mtllib" and "usemtl" lines
// blanked, line for line. Materials move no vertex, and OpenMesh would read
// the material files they name, files this check has never seen.
std::string meshText(const std::string &text);

} // namespace TemplateCheck

#endif
