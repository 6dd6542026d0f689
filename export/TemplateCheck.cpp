#include "TemplateCheck.h"

#include "TextFormat.h"

#include <cctype>
#include <charconv>
#include <sstream>
#include <string_view>

namespace TemplateCheck {

namespace {

// White space as the stream extraction and C's isspace see it in the C locale.
bool isWhite(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The line as OpenMesh's reader looks at it: trimmed of blanks, tabs, CR and
// LF at both ends; empty when the reader skips it (nothing left, a comment,
// or a first character that is other white space).
std::string readerView(const std::string &line)
{
    const std::size_t start = line.find_first_not_of(" \t\r\n");
    if (start == std::string::npos)
        return {};
    const std::size_t end = line.find_last_not_of(" \t\r\n");
    std::string view = line.substr(start, end - start + 1);
    if (view[0] == '#' || std::isspace(static_cast<unsigned char>(view[0])))
        return {};
    return view;
}

// Where some reader may start a line: at its start, and after each CR (old
// Macintosh files end lines with CR alone). Counts the starts that, past any
// white space, hold the word "v" followed by more text before the next CR:
// the vertices such a reader may see in the line.
int vertexStarts(const std::string &line)
{
    const std::size_t n = line.size();
    int count = 0;
    for (std::size_t p = 0; p < n; ++p) {
        if (p > 0 && line[p - 1] != '\r')
            continue;
        std::size_t word = p;
        while (word < n && isWhite(line[word]))
            ++word;
        // Every start inside this white run leads to the same word: go on after it.
        p = word;
        if (word + 1 >= n || line[word] != 'v' || !isWhite(line[word + 1]))
            continue;
        std::size_t r = word + 1;
        while (r < n && isWhite(line[r]) && line[r] != '\r')
            ++r;
        if (r < n && line[r] != '\r')
            ++count;
    }
    return count;
}

// An OBJ index: an optional sign and decimal digits, within int.
bool isIndex(std::string_view text)
{
    if (!text.empty() && (text[0] == '+' || text[0] == '-'))
        text.remove_prefix(1);
    if (text.empty())
        return false;
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

// v, v/t, v//n or v/t/n.
bool isCorner(std::string_view corner)
{
    const std::size_t first = corner.find('/');
    if (first == std::string_view::npos)
        return isIndex(corner);
    if (!isIndex(corner.substr(0, first)))
        return false;
    const std::string_view rest = corner.substr(first + 1);
    const std::size_t second = rest.find('/');
    if (second == std::string_view::npos)
        return isIndex(rest);
    const std::string_view texture = rest.substr(0, second);
    return (texture.empty() || isIndex(texture)) && isIndex(rest.substr(second + 1));
}

// Splits text into lines at '\n' as std::getline does, calling f(line, number).
template <class F>
bool forEachLine(const std::string &text, F f)
{
    std::size_t start = 0;
    for (std::size_t number = 1; start < text.size(); ++number) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        if (!f(text.substr(start, end - start), number))
            return false;
        start = end + 1;
    }
    return true;
}

// The first word of a line as the reader sees it.
std::string keywordOf(std::istringstream &stream)
{
    std::string keyword;
    stream >> keyword;
    return keyword;
}

} // namespace

LineKind classify(const std::string &line, Vertex *vertex)
{
    const std::string view = readerView(line);
    if (!view.empty()) {
        // The same extraction as the reader's, in the same global locale.
        std::istringstream stream(view);
        if (keywordOf(stream) == "v") {
            Vertex read;
            stream >> read.x;
            stream >> read.y;
            stream >> read.z;
            if (!stream.fail()) {
                if (vertex)
                    *vertex = read;
                return vertexStarts(line) > 1 ? LineKind::Ambiguous : LineKind::Vertex;
            }
        }
    }
    return vertexStarts(line) > 0 ? LineKind::Ambiguous : LineKind::Other;
}

std::string ambiguityReason(std::size_t lineNumber)
{
    return formatText("line %zu looks like a vertex line to some programs but not to OpenMesh, or holds more "
                      "than one (a vertex needs three numbers that OpenMesh reads, on a line of its own)",
                      lineNumber);
}

bool hasObjExtension(const std::string &path)
{
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || path.size() - dot != 4)
        return false;
    for (std::size_t i = 1; i < 4; ++i)
        if (std::tolower(static_cast<unsigned char>(path[dot + i])) != "obj"[i - 1])
            return false;
    return true;
}

bool check(const std::string &text, std::vector<Vertex> &vertices, Failure *failure)
{
    vertices.clear();
    return forEachLine(text, [&](const std::string &line, std::size_t number) {
        Vertex vertex;
        switch (classify(line, &vertex)) {
        case LineKind::Vertex:
            vertices.push_back(vertex);
            return true;
        case LineKind::Ambiguous:
            return fail(failure, ambiguityReason(number));
        case LineKind::Other:
            break;
        }
        std::istringstream stream(readerView(line));
        if (keywordOf(stream) != "f")
            return true;
        std::string corner;
        while (stream >> corner) {
            if (!isCorner(corner))
                return fail(failure, formatText("line %zu has a face corner that is not v, v/t, v//n or v/t/n "
                                                "with whole numbers",
                                                number));
        }
        return true;
    });
}

std::string meshText(const std::string &text)
{
    std::string out;
    out.reserve(text.size());
    forEachLine(text, [&](const std::string &line, std::size_t) {
        std::istringstream stream(readerView(line));
        const std::string keyword = keywordOf(stream);
        if (keyword != "mtllib" && keyword != "usemtl")
            out += line;
        out += '\n';
        return true;
    });
    return out;
}

} // namespace TemplateCheck
