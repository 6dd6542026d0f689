#include "Lattice.h"

#include "Median.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace FacadeImport {

namespace {

constexpr double kCellCover = 0.6;    // share of a cell's middle that must stand out
constexpr double kExtentSlack = 0.15; // a cell's blob may start and end this share of the height off
constexpr double kKeepShare = 0.5;    // rows and columns need windows in this share of their cells
constexpr double kClusterShare = 0.35; // matches this share of a window apart are one column or row
constexpr double kStepSlack = 0.12;   // spacing that differs more from the usual step is irregular

// Values within tolerance of their neighbours are one cluster: its median.
std::vector<double> clusterMedians(std::vector<double> values, double tolerance)
{
    std::sort(values.begin(), values.end());
    std::vector<double> out;
    std::size_t start = 0;
    for (std::size_t i = 1; i <= values.size(); ++i)
        if (i == values.size() || values[i] - values[i - 1] > tolerance) {
            out.push_back(values[start + (i - start) / 2]);
            start = i;
        }
    return out;
}

// Positions closer than minStep to the previous one are dropped.
std::vector<double> separated(const std::vector<double> &axis, double minStep)
{
    std::vector<double> out;
    for (double v : axis)
        if (out.empty() || v - out.back() >= minStep)
            out.push_back(v);
    return out;
}

double medianStep(const std::vector<double> &axis)
{
    std::vector<double> steps;
    for (std::size_t i = 1; i < axis.size(); ++i)
        steps.push_back(axis[i] - axis[i - 1]);
    return medianOf(std::move(steps));
}

// Fills gaps that are a whole number of steps, then steps outwards while
// windows stand there. A gap takes the largest number of steps whose new
// positions all hold windows: a gap of four steps would also pass as two.
std::vector<double> completeAxis(const std::vector<double> &axis, double minStep, double lo, double hi,
                                 const std::function<bool(double)> &holdsWindows)
{
    if (axis.size() < 2)
        return axis;
    std::vector<double> out{axis.front()};
    for (std::size_t i = 1; i < axis.size(); ++i) {
        const double gap = axis[i] - axis[i - 1];
        for (int k = int(gap / minStep); k >= 2; --k) {
            bool all = true;
            for (int j = 1; j < k && all; ++j)
                all = holdsWindows(axis[i - 1] + j * gap / k);
            if (all) {
                for (int j = 1; j < k; ++j)
                    out.push_back(axis[i - 1] + j * gap / k);
                break;
            }
        }
        out.push_back(axis[i]);
    }
    double step = 1e30;
    for (std::size_t i = 1; i < out.size(); ++i)
        step = std::min(step, out[i] - out[i - 1]);
    while (out.front() - step >= lo && holdsWindows(out.front() - step))
        out.insert(out.begin(), out.front() - step);
    while (out.back() + step <= hi && holdsWindows(out.back() + step))
        out.push_back(out.back() + step);
    return out;
}

// Drops end positions whose spacing to their neighbour is off the usual step.
void trimIrregularEnds(std::vector<double> &axis)
{
    while (axis.size() >= 3) {
        const double step = medianStep(axis);
        if (std::abs(axis[1] - axis[0] - step) > kStepSlack * step)
            axis.erase(axis.begin());
        else if (std::abs(axis[axis.size() - 1] - axis[axis.size() - 2] - step) > kStepSlack * step)
            axis.pop_back();
        else
            break;
    }
}

// Places each position of an axis where the matches in it say (the median of
// those that lie on the lattice's other axis too), and positions without
// matches on the straight line through the measured ones, by their number of
// steps: one stray match must not shift a column, and a column filled in
// must sit where the spacing puts it.
void settleAxis(std::vector<double> &axis, const std::vector<double> &along, const std::vector<double> &across,
                const std::vector<double> &otherAxis, double tolerance, double otherTolerance)
{
    if (axis.empty())
        return;
    std::vector<double> measured(axis.size(), std::nan(""));
    for (std::size_t i = 0; i < axis.size(); ++i) {
        std::vector<double> in;
        for (std::size_t m = 0; m < along.size(); ++m) {
            if (std::abs(along[m] - axis[i]) > tolerance)
                continue;
            const bool onLattice = std::any_of(otherAxis.begin(), otherAxis.end(),
                                               [&](double o) { return std::abs(across[m] - o) <= otherTolerance; });
            if (onLattice)
                in.push_back(along[m]);
        }
        if (!in.empty()) {
            std::sort(in.begin(), in.end());
            measured[i] = in.size() % 2 ? in[in.size() / 2] : 0.5 * (in[in.size() / 2 - 1] + in[in.size() / 2]);
        }
    }
    const double step = medianStep(axis);
    std::vector<double> k(axis.size(), 0.0);
    for (std::size_t i = 0; i < axis.size(); ++i)
        k[i] = step > 0.0 ? std::round((axis[i] - axis[0]) / step) : double(i);
    // Least-squares line position = a + b k through the measured positions.
    double n = 0.0, sk = 0.0, sx = 0.0, skk = 0.0, skx = 0.0;
    for (std::size_t i = 0; i < axis.size(); ++i)
        if (!std::isnan(measured[i])) {
            n += 1.0;
            sk += k[i];
            sx += measured[i];
            skk += k[i] * k[i];
            skx += k[i] * measured[i];
        }
    const double det = n * skk - sk * sk;
    for (std::size_t i = 0; i < axis.size(); ++i) {
        if (!std::isnan(measured[i]))
            axis[i] = measured[i];
        else if (n >= 2.0 && det > 0.0)
            axis[i] = (sx * skk - sk * skx) / det + (n * skx - sk * sx) / det * k[i];
    }
}

void countWindows(const cv::Mat &mask, const WindowShape &shape, Lattice &l)
{
    l.held.assign(l.rows.size(), std::vector<char>(l.cols.size(), 0));
    for (std::size_t r = 0; r < l.rows.size(); ++r)
        for (std::size_t c = 0; c < l.cols.size(); ++c)
            l.held[r][c] = cellHoldsWindow(mask, l.cols[c], l.rows[r], shape);
}

} // namespace

int Lattice::windows() const
{
    int n = 0;
    for (const auto &row : held)
        n += int(std::count(row.begin(), row.end(), 1));
    return n;
}

namespace {

// The middle of a window's rectangle: half its width, most of its height.
cv::Rect middleOf(double x, double y, const cv::Size &size)
{
    return cv::Rect(int(std::lround(x - 0.25 * size.width)), int(std::lround(y - 0.4 * size.height)),
                    std::max(1, size.width / 2), std::max(1, size.height * 4 / 5));
}

// Whether most of the middle stands out; then from the centre row outwards
// the rows of the middle band of which most stands out, up to limit rows
// away: the blob's top and bottom relative to y.
bool blobAt(const cv::Mat &mask, double x, double y, const cv::Size &size, int limit, int *top, int *bottom)
{
    const cv::Rect middle = middleOf(x, y, size);
    if ((middle & cv::Rect(cv::Point(), mask.size())) != middle)
        return false;
    if (cv::mean(mask(middle))[0] < 255.0 * kCellCover)
        return false;
    auto standsOut = [&](int row) {
        return row >= 0 && row < mask.rows && cv::mean(mask(cv::Rect(middle.x, row, middle.width, 1)))[0] >= 127.0;
    };
    const int centre = int(std::lround(y));
    int t = centre, b = centre;
    while (centre - t < limit && standsOut(t - 1))
        --t;
    while (b - centre < limit && standsOut(b + 1))
        ++b;
    *top = t - centre;
    *bottom = b + 1 - centre;
    return true;
}

int walkLimit(const cv::Size &size)
{
    return int(std::lround((0.5 + 2.0 * kExtentSlack) * size.height));
}

// Drops the emptiest row or column, one at a time, until every row and
// column holds at least the kept share of windows.
void dropEmptyLines(const cv::Mat &mask, const WindowShape &shape, Lattice &l)
{
    countWindows(mask, shape, l);
    while (!l.rows.empty() && !l.cols.empty()) {
        double worst = kKeepShare;
        int index = -1;
        bool isRow = false;
        for (std::size_t r = 0; r < l.rows.size(); ++r) {
            const double s = std::count(l.held[r].begin(), l.held[r].end(), 1) / double(l.cols.size());
            if (s < worst) {
                worst = s;
                index = int(r);
                isRow = true;
            }
        }
        for (std::size_t c = 0; c < l.cols.size(); ++c) {
            int n = 0;
            for (std::size_t r = 0; r < l.rows.size(); ++r)
                n += l.held[r][c];
            const double s = n / double(l.rows.size());
            if (s < worst) {
                worst = s;
                index = int(c);
                isRow = false;
            }
        }
        if (index < 0)
            break;
        if (isRow)
            l.rows.erase(l.rows.begin() + index);
        else
            l.cols.erase(l.cols.begin() + index);
        countWindows(mask, shape, l);
    }
}

} // namespace

WindowShape windowShapeAt(const cv::Mat &mask, const cv::Point2d &centre, const cv::Size &size)
{
    WindowShape shape{size, -0.5 * size.height, 0.5 * size.height};
    const int limit = walkLimit(size);
    int top = 0, bottom = 0;
    if (blobAt(mask, centre.x, centre.y, size, limit, &top, &bottom) && -top < limit && bottom < limit + 1) {
        shape.top = top;
        shape.bottom = bottom;
    }
    return shape;
}

bool cellHoldsWindow(const cv::Mat &mask, double x, double y, const WindowShape &shape)
{
    int top = 0, bottom = 0;
    if (!blobAt(mask, x, y, shape.size, walkLimit(shape.size), &top, &bottom))
        return false;
    const double slack = kExtentSlack * shape.size.height;
    const double dy = y - std::lround(y);
    return std::abs(top - dy - shape.top) <= slack && std::abs(bottom - dy - shape.bottom) <= slack;
}

Lattice latticeFromMatches(const cv::Mat &mask, const std::vector<cv::Point2d> &centres, const WindowShape &shape)
{
    Lattice l;
    const cv::Size size = shape.size;
    if (centres.empty() || size.width <= 0 || size.height <= 0)
        return l;
    std::vector<double> xs, ys;
    for (const cv::Point2d &p : centres) {
        xs.push_back(p.x);
        ys.push_back(p.y);
    }
    l.cols = separated(clusterMedians(xs, kClusterShare * size.width), 0.8 * size.width);
    l.rows = separated(clusterMedians(ys, kClusterShare * size.height), 0.8 * size.height);

    // Share of the cells along the other axis that hold a window.
    auto shareAt = [&](double position, bool column) {
        const std::vector<double> &other = column ? l.rows : l.cols;
        int n = 0;
        for (double o : other)
            n += column ? cellHoldsWindow(mask, position, o, shape) : cellHoldsWindow(mask, o, position, shape);
        return other.empty() ? 0.0 : double(n) / double(other.size());
    };
    l.cols = completeAxis(l.cols, 1.1 * size.width, 0.5 * size.width, mask.cols - 0.5 * size.width,
                          [&](double x) { return shareAt(x, true) >= kKeepShare; });
    l.rows = completeAxis(l.rows, 1.1 * size.height, 0.5 * size.height, mask.rows - 0.5 * size.height,
                          [&](double y) { return shareAt(y, false) >= kKeepShare; });
    trimIrregularEnds(l.cols);
    trimIrregularEnds(l.rows);
    const std::vector<double> rowsBefore = l.rows;
    settleAxis(l.rows, ys, xs, l.cols, kClusterShare * size.height, kClusterShare * size.width);
    settleAxis(l.cols, xs, ys, rowsBefore, kClusterShare * size.width, kClusterShare * size.height);

    dropEmptyLines(mask, shape, l);
    return l;
}

} // namespace FacadeImport
