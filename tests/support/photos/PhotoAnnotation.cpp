#include "PhotoAnnotation.h"

#include <QFile>

#include <algorithm>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

namespace PhotoScore {

Quad boxQuad(const QRectF &box)
{
    return {box.topLeft(), box.topRight(), box.bottomRight(), box.bottomLeft()};
}

QRectF boundingBox(const Quad &q)
{
    double left = q[0].x(), right = left, top = q[0].y(), bottom = top;
    for (const QPointF &p : q) {
        left = std::min(left, p.x());
        right = std::max(right, p.x());
        top = std::min(top, p.y());
        bottom = std::max(bottom, p.y());
    }
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

namespace {

Quad quadFrom(const std::vector<double> &v, std::size_t first)
{
    Quad q;
    for (std::size_t k = 0; k < 4; ++k)
        q[k] = QPointF(v[first + 2 * k], v[first + 2 * k + 1]);
    return q;
}

// A box (4 numbers) or a quadrilateral (8), from v starting at first.
Quad shapeFrom(const std::vector<double> &v, std::size_t first, std::size_t count)
{
    if (count == 4)
        return boxQuad(QRectF(v[first], v[first + 1], v[first + 2], v[first + 3]));
    return quadFrom(v, first);
}

// The cells of a lattice given by its four corner windows (first and last of
// the top row, last and first of the bottom row), each corner of each window
// interpolated bilinearly; skipped cells left out.
void expandLattice(int rows, int cols, const std::array<Quad, 4> &ends, const std::vector<std::pair<int, int>> &skip,
                   std::vector<Quad> &out)
{
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            if (std::find(skip.begin(), skip.end(), std::make_pair(r, c)) != skip.end())
                continue;
            const double u = cols > 1 ? double(c) / (cols - 1) : 0.0;
            const double t = rows > 1 ? double(r) / (rows - 1) : 0.0;
            Quad q;
            for (std::size_t k = 0; k < 4; ++k)
                q[k] = (1 - u) * (1 - t) * ends[0][k] + u * (1 - t) * ends[1][k] + u * t * ends[2][k]
                       + (1 - u) * t * ends[3][k];
            out.push_back(q);
        }
    }
}

bool numbersOf(std::istringstream &words, std::vector<double> &values, std::string &rest)
{
    std::string word;
    while (words >> word) {
        char *end = nullptr;
        const double v = std::strtod(word.c_str(), &end);
        if (end == word.c_str() || *end != '\0') {
            rest = word;
            return true;
        }
        if (!std::isfinite(v))
            return false;
        values.push_back(v);
    }
    return true;
}

} // namespace

bool readPhotoAnnotation(std::istream &in, PhotoAnnotation &out, Failure *failure)
{
    PhotoAnnotation a;
    bool haveFacade = false;
    int markLine = 0;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const std::size_t hash = line.find('#');
        if (hash != std::string::npos)
            line.erase(hash);
        std::istringstream words(line);
        std::string keyword;
        if (!(words >> keyword))
            continue;
        const std::string where = "line " + std::to_string(number) + ": ";
        std::vector<double> v;
        std::string rest;
        if (!numbersOf(words, v, rest))
            return fail(failure, where + "a number that is not finite");
        if (keyword == "lattice") {
            if (v.size() != 18 && v.size() != 34)
                return fail(failure, where + "lattice takes ROWS COLS and four boxes (16 numbers) or four "
                                             "quadrilaterals (32)");
            const int rows = int(v[0]), cols = int(v[1]);
            if (rows != v[0] || cols != v[1] || rows < 1 || cols < 1 || rows > 1000 || cols > 1000)
                return fail(failure, where + "lattice ROWS and COLS are whole numbers from 1 to 1000");
            std::vector<std::pair<int, int>> skip;
            if (!rest.empty()) {
                if (rest != "skip")
                    return fail(failure, where + "'" + rest + "' is neither a number nor 'skip'");
                std::string cell;
                while (words >> cell) {
                    int r = -1, c = -1;
                    char comma = 0, extra = 0;
                    std::istringstream cellWords(cell);
                    if (!(cellWords >> r >> comma >> c) || comma != ',' || (cellWords >> extra) || r < 0
                        || r >= rows || c < 0 || c >= cols)
                        return fail(failure, where + "skip takes cells r,c inside the lattice, not '" + cell + "'");
                    skip.emplace_back(r, c);
                }
            }
            const std::size_t each = (v.size() - 2) / 4;
            std::array<Quad, 4> ends;
            for (std::size_t k = 0; k < 4; ++k)
                ends[k] = shapeFrom(v, 2 + k * each, each);
            expandLattice(rows, cols, ends, skip, a.windows);
            continue;
        }
        if (!rest.empty())
            return fail(failure, where + "'" + rest + "' is not a number");
        if (keyword == "facade" || keyword == "other") {
            if (v.size() != 8)
                return fail(failure, where + keyword + " takes eight numbers (four corners)");
            if (keyword == "other") {
                a.others.push_back(quadFrom(v, 0));
            } else if (haveFacade) {
                return fail(failure, where + "a second facade line (the others are 'other')");
            } else {
                a.facade = quadFrom(v, 0);
                haveFacade = true;
            }
        } else if (keyword == "window" || keyword == "ignore") {
            if (v.size() != 4 && v.size() != 8)
                return fail(failure, where + keyword + " takes a box x y w h or eight numbers (four corners)");
            if (v.size() == 4 && (v[2] <= 0.0 || v[3] <= 0.0))
                return fail(failure, where + "a box's width and height are above 0");
            (keyword == "window" ? a.windows : a.ignored).push_back(shapeFrom(v, 0, v.size()));
        } else if (keyword == "mark") {
            if (v.size() != 1 || v[0] != std::floor(v[0]) || v[0] < 0.0 || v[0] > 1e6)
                return fail(failure, where + "mark takes one window index");
            a.mark = int(v[0]);
            markLine = number;
        } else {
            return fail(failure, where + "unknown item '" + keyword + "'");
        }
    }
    if (!haveFacade)
        return fail(failure, "no facade line");
    if (a.mark >= int(a.windows.size()))
        return fail(failure, "line " + std::to_string(markLine) + ": mark " + std::to_string(a.mark) + " names no window (there are "
                                 + std::to_string(a.windows.size()) + ")");
    out = std::move(a);
    return true;
}

bool readPhotoAnnotationFile(const QString &path, PhotoAnnotation &out, Failure *failure)
{
    std::ifstream in(QFile::encodeName(path).constData());
    if (!in)
        return failUnopenable(failure, path.toStdString());
    Failure inner;
    if (readPhotoAnnotation(in, out, &inner))
        return true;
    return fail(failure, path.toStdString() + ": " + inner.reason);
}

} // namespace PhotoScore
