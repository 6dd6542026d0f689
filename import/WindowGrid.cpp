#include "WindowGrid.h"

#include "internal/DisjointSets.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace FacadeImport {

namespace {

// The middle value; for an even count the mean of the two middle ones,
// rounded down.
int median(std::vector<int> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : int((std::int64_t(v[n / 2 - 1]) + v[n / 2]) / 2);
}

// Groups the windows into lines (rows or columns): each window and the next
// one along the line that is nearly level with it across (within
// `tolerance`) share one, and so on from window to window, so that a line
// that drifts over a facade whose rectification is not exact stays one line.
// Returns for every window the index of its line, lines numbered in
// ascending order of their median position across; along: the centres along
// the line, across: across it.
std::vector<int> linesOf(const std::vector<double> &along, const std::vector<double> &across, double tolerance,
                         int *count)
{
    const std::size_t n = along.size();
    DisjointSets groups(n);
    std::vector<std::size_t> order(n);
    for (std::size_t i = 0; i < n; ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return along[a] < along[b]; });
    for (std::size_t k = 0; k < n; ++k)
        for (std::size_t j = k + 1; j < n; ++j)
            if (std::abs(across[order[j]] - across[order[k]]) <= tolerance) {
                groups.join(order[k], order[j]);
                break;
            }
    // Lines in ascending order of their median position across.
    std::vector<std::vector<double>> members(n);
    for (std::size_t i = 0; i < n; ++i)
        members[groups.root(i)].push_back(across[i]);
    std::vector<std::pair<double, std::size_t>> lines;
    for (std::size_t i = 0; i < n; ++i)
        if (!members[i].empty()) {
            std::vector<double> &m = members[i];
            std::nth_element(m.begin(), m.begin() + std::ptrdiff_t(m.size() / 2), m.end());
            lines.push_back({m[m.size() / 2], i});
        }
    std::sort(lines.begin(), lines.end());
    std::vector<int> index(n, 0);
    for (std::size_t l = 0; l < lines.size(); ++l)
        index[lines[l].second] = int(l);
    std::vector<int> line(n);
    for (std::size_t i = 0; i < n; ++i)
        line[i] = index[groups.root(i)];
    *count = int(lines.size());
    return line;
}

// The windows clipped to the image; those left with no area are dropped.
std::vector<PlacedWindow> keptInside(const std::vector<PlacedWindow> &placed, const QRect &image)
{
    std::vector<PlacedWindow> kept;
    for (const PlacedWindow &p : placed) {
        const QRect r = p.rect.intersected(image);
        if (r.width() > 0 && r.height() > 0)
            kept.push_back({r, p.score});
    }
    return kept;
}

// The box round all windows with half a typical gap between neighbours
// around it; without neighbours half a window stands in for a gap.
QRect boundsOf(const std::vector<FacadeWindow> &windows, int w, int h, const QRect &image)
{
    std::vector<int> gapsX, gapsY;
    for (const FacadeWindow &a : windows)
        for (const FacadeWindow &b : windows) {
            if (a.row == b.row && b.col == a.col + 1)
                gapsX.push_back(std::max(0, b.x - a.right()));
            if (a.col == b.col && b.row == a.row + 1)
                gapsY.push_back(std::max(0, b.y - a.bottom()));
        }
    const int gapX = gapsX.empty() ? w / 2 : median(gapsX);
    const int gapY = gapsY.empty() ? h / 2 : median(gapsY);
    QRect box;
    for (const FacadeWindow &fw : windows)
        box = box.united(QRect(fw.x, fw.y, fw.width, fw.height));
    return box.adjusted(-gapX / 2, -gapY / 2, gapX / 2, gapY / 2).intersected(image);
}

} // namespace

WindowGrid arrangeWindows(const std::vector<PlacedWindow> &placed, const QSize &imageSize)
{
    WindowGrid grid;
    const QRect image(QPoint(0, 0), imageSize);
    const std::vector<PlacedWindow> kept = keptInside(placed, image);
    if (kept.empty())
        return grid;

    std::vector<int> widths, heights;
    std::vector<double> cx, cy;
    for (const PlacedWindow &p : kept) {
        widths.push_back(p.rect.width());
        heights.push_back(p.rect.height());
        cx.push_back(p.rect.x() + 0.5 * p.rect.width());
        cy.push_back(p.rect.y() + 0.5 * p.rect.height());
    }
    const int w = median(widths);
    const int h = median(heights);
    int cols = 0, rows = 0;
    const std::vector<int> col = linesOf(cy, cx, 0.5 * w, &cols);
    const std::vector<int> row = linesOf(cx, cy, 0.5 * h, &rows);

    std::vector<std::vector<int>> colCentres(static_cast<std::size_t>(cols));
    std::vector<std::vector<int>> rowCentres(static_cast<std::size_t>(rows));
    for (std::size_t i = 0; i < kept.size(); ++i) {
        FacadeWindow fw;
        fw.x = kept[i].rect.x();
        fw.y = kept[i].rect.y();
        fw.width = kept[i].rect.width();
        fw.height = kept[i].rect.height();
        fw.col = col[i];
        fw.row = row[i];
        fw.aux = kept[i].score;
        grid.windows.push_back(fw);
        colCentres[std::size_t(col[i])].push_back(int(std::lround(cx[i])));
        rowCentres[std::size_t(row[i])].push_back(int(std::lround(cy[i])));
    }
    std::sort(grid.windows.begin(), grid.windows.end(), [](const FacadeWindow &a, const FacadeWindow &b) {
        return a.row != b.row ? a.row < b.row : (a.col != b.col ? a.col < b.col : a.x < b.x);
    });
    for (const auto &c : colCentres)
        grid.colValues.push_back(median(c));
    for (const auto &r : rowCentres)
        grid.rowValues.push_back(median(r));

    grid.bounds = boundsOf(grid.windows, w, h, image);
    grid.windowTemplate = QRect(grid.windows.front().x, grid.windows.front().y, w, h);
    return grid;
}

} // namespace FacadeImport
