#include "WindowGrid.h"

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

// Groups values that follow each other within tolerance; returns for every
// value the index of its group, groups numbered in ascending order.
std::vector<int> groupsOf(const std::vector<double> &values, double tolerance, int *count)
{
    std::vector<std::size_t> order(values.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return values[a] < values[b]; });
    std::vector<int> group(values.size(), 0);
    int g = -1;
    double last = 0.0;
    for (std::size_t k = 0; k < order.size(); ++k) {
        const double v = values[order[k]];
        if (k == 0 || v - last > tolerance)
            ++g;
        group[order[k]] = g;
        last = v;
    }
    *count = g + 1;
    return group;
}

} // namespace

WindowGrid arrangeWindows(const std::vector<PlacedWindow> &placed, const QSize &imageSize)
{
    WindowGrid grid;
    const QRect image(QPoint(0, 0), imageSize);
    std::vector<PlacedWindow> kept;
    for (const PlacedWindow &p : placed) {
        const QRect r = p.rect.intersected(image);
        if (r.width() > 0 && r.height() > 0)
            kept.push_back({r, p.score});
    }
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
    const std::vector<int> col = groupsOf(cx, 0.5 * w, &cols);
    const std::vector<int> row = groupsOf(cy, 0.5 * h, &rows);

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

    // Gaps between neighbours in the same row or column; without neighbours
    // half a window stands in for a gap.
    std::vector<int> gapsX, gapsY;
    for (const FacadeWindow &a : grid.windows)
        for (const FacadeWindow &b : grid.windows) {
            if (a.row == b.row && b.col == a.col + 1)
                gapsX.push_back(std::max(0, b.x - a.right()));
            if (a.col == b.col && b.row == a.row + 1)
                gapsY.push_back(std::max(0, b.y - a.bottom()));
        }
    const int gapX = gapsX.empty() ? w / 2 : median(gapsX);
    const int gapY = gapsY.empty() ? h / 2 : median(gapsY);

    QRect box;
    for (const FacadeWindow &fw : grid.windows)
        box = box.united(QRect(fw.x, fw.y, fw.width, fw.height));
    grid.bounds = box.adjusted(-gapX / 2, -gapY / 2, gapX / 2, gapY / 2).intersected(image);
    grid.windowTemplate = QRect(grid.windows.front().x, grid.windows.front().y, w, h);
    return grid;
}

} // namespace FacadeImport
