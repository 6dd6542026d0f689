#include "TestCaseBuilder.h"

#include "ModelBuilder.h"
#include "PathText.h"

#include <cmath>

namespace {

// A leaf turning on the window's left or right edge, hinge1 at the bottom;
// at 180 degrees it covers its half of the window.
ShutterLeaf sampledLeaf(const QRect &w, bool left)
{
    ShutterLeaf leaf;
    const int hx = left ? w.x() : w.x() + w.width();
    const int sign = left ? 1 : -1;
    leaf.hinge1 = QPoint(hx, w.y() + w.height());
    leaf.hinge2 = QPoint(hx, w.y());
    for (int k = 0; k < 19; ++k) {
        const double degrees = 10.0 * k;
        const int ox = hx - sign * int(std::lround(w.width() / 2.0 * std::cos(degrees * 3.1415926 / 180)));
        leaf.angles.push_back(degrees * QWindowData2D::pi / 180);
        leaf.outer1.push_back(QPoint(ox, w.y()));
        leaf.outer2.push_back(QPoint(ox, w.y() + w.height()));
    }
    return leaf;
}

// The model the plan describes: the detected grid with row tops and column
// lefts as its row and column values, leaf angles 0, an identity homography.
std::unique_ptr<QWindowData2D> caseModel(const CasePlan &plan)
{
    std::vector<int> rowValues;
    std::vector<int> colValues;
    for (int r = 0; r < plan.rows; ++r)
        rowValues.push_back(caseWindowRect(plan, r, 0).y());
    for (int c = 0; c < plan.cols; ++c)
        colValues.push_back(caseWindowRect(plan, 0, c).x());
    ModelBuilder builder(plan.shutter ? TestCaseKind::Shutter : TestCaseKind::Blind, plan.boundsWidth,
                         plan.boundsHeight);
    builder.grid(QRect(0, 0, plan.boundsWidth, plan.boundsHeight), QSize(plan.cellWidth, plan.cellHeight),
                 rowValues, colValues)
        .angles(0.0, 0.0);
    for (int r = 0; r < plan.rows; ++r)
        for (int c = 0; c < plan.cols; ++c)
            builder.window(caseWindowRect(plan, r, c), c, r);
    std::unique_ptr<QWindowData2D> model = builder.build();
    model->shutters.clear();
    if (plan.shutter) {
        for (const FacadeWindow &w : model->detectedWindows[0]) {
            const QRect rect(w.x, w.y, w.width, w.height);
            model->shutters.push_back({sampledLeaf(rect, true), sampledLeaf(rect, false)});
        }
    }
    return model;
}

} // namespace

QRect caseWindowRect(const CasePlan &plan, int row, int col)
{
    const double gapX = double(plan.boundsWidth - plan.cols * plan.cellWidth) / (plan.cols + 1);
    const double gapY = double(plan.boundsHeight - plan.rows * plan.cellHeight) / (plan.rows + 1);
    const int gx = int(gapX + 0.5);
    const int gy = int(gapY + 0.5);
    return QRect(gx + col * (plan.cellWidth + gx), gy + row * (plan.cellHeight + gy),
                 plan.cellWidth, plan.cellHeight);
}

QColor caseOriginalColor()
{
    return QColor(30, 160, 60);
}

bool writeGridFile(const QString &path, const CasePlan &plan)
{
    return caseModel(plan)->saveGridFile(toNarrowPath(path));
}

bool writeTestCase(const QString &kindFolder, const QString &fileName, const CasePlan &plan)
{
    return writeCase(*caseModel(plan), toNarrowPath(kindFolder), toNarrowPath(fileName), caseOriginalColor());
}
