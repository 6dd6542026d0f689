#include "FacadeAnalysis.h"

#include "BackgroundFill.h"
#include "PhotoReader.h"
#include "internal/Milliseconds.h"

#include <algorithm>
#include <cmath>

namespace FacadeImport {

namespace {

// Backgrounds and window images for the current grid.
void refresh(FacadeAnalysis &a)
{
    QElapsedTimer timer;
    timer.start();
    const std::vector<QRect> holes = holesOf(a.grid, a.clearLeafZones);
    a.background = fillHoles(a.rectified, holes);
    a.originalBackground = warpIntoPhoto(a.photo, a.background, holes, a.plan.camera);
    a.timings.background = millisecondsOf(timer);
    timer.restart();
    a.windowImages = cropWindows(a.rectified, a.grid);
    a.timings.windowImages = millisecondsOf(timer);
    if ((a.background.isNull() || a.originalBackground.isNull()) && a.status.ok())
        a.status = ImportStatus::failure(ImportError::Internal, "Not enough memory to fill the facade's background.");
}

} // namespace

QRect rectifiedBox(const RectificationPlan &plan, const QRect &photoRect)
{
    // The rectangle's corners land on a quadrilateral in the rectified
    // image; each side of the box is taken midway between the two corners
    // on that side, so that a box drawn tightly around a window seen in
    // perspective gives that window, not the box around its box.
    const QRectF r(photoRect);
    std::array<QPointF, 4> c; // top-left, top-right, bottom-right, bottom-left
    const std::array<QPointF, 4> corners{r.topLeft(), r.topRight(), r.bottomRight(), r.bottomLeft()};
    for (std::size_t i = 0; i < 4; ++i) {
        c[i] = photoToRectified(plan.camera, corners[i]);
        if (!std::isfinite(c[i].x()) || !std::isfinite(c[i].y()) || std::abs(c[i].x()) > 1e7 || std::abs(c[i].y()) > 1e7)
            return QRect();
    }
    const double left = 0.5 * (c[0].x() + c[3].x());
    const double right = 0.5 * (c[1].x() + c[2].x());
    const double top = 0.5 * (c[0].y() + c[1].y());
    const double bottom = 0.5 * (c[3].y() + c[2].y());
    const QRect image(QPoint(0, 0), plan.size);
    if (!(right > left) || !(bottom > top))
        return QRect();
    const QRectF box = QRectF(QPointF(left, top), QPointF(right, bottom)).intersected(QRectF(image));
    return box.isEmpty() ? QRect() : box.toRect().intersected(image);
}

std::vector<QImage> cropWindows(const QImage &rectified, const WindowGrid &grid)
{
    std::vector<QImage> crops;
    const QRect image = rectified.rect();
    for (const FacadeWindow &w : grid.windows)
        crops.push_back(rectified.copy(QRect(w.x, w.y, w.width, w.height).intersected(image)));
    return crops;
}

FacadeAnalysis analysePhotograph(const QImage &photo, const AnalysisOptions &options)
{
    FacadeAnalysis a;
    a.clearLeafZones = options.clearLeafZones;
    if (photo.isNull()) {
        a.status = ImportStatus::failure(ImportError::NotAnImage, "There is no photograph to import.");
        return a;
    }
    a.status = checkPhotoSize(photo.size());
    if (!a.status.ok())
        return a;
    a.photo = photo.convertToFormat(QImage::Format_RGB888);

    QElapsedTimer timer;
    timer.start();
    FacadeQuad corners = options.corners;
    if (!options.useCorners) {
        a.proposal = proposeFacade(a.photo);
        corners = a.proposal.corners;
        a.timings.proposal = millisecondsOf(timer);
    }

    timer.restart();
    a.plan = planRectification(corners, a.photo.size());
    if (!a.plan.status.ok()) {
        a.status = a.plan.status;
        return a;
    }
    a.rectified = rectifyPhoto(a.photo, a.plan);
    // A facade cut by the photograph's frame: what lies beyond it is wall
    // to the view, and no place to look for windows.
    a.inside = photoCoverage(a.plan, a.photo.size());
    if (!a.rectified.isNull() && !a.inside.isNull())
        a.rectified = fillOutside(a.rectified, a.inside);
    a.timings.rectification = millisecondsOf(timer);
    if (a.rectified.isNull() || a.inside.isNull()) {
        a.status = ImportStatus::failure(ImportError::Internal, "Not enough memory to rectify the photograph.");
        return a;
    }

    timer.restart();
    const QRect marked = options.window.isNull() && !options.photoWindow.isNull()
                             ? rectifiedBox(a.plan, options.photoWindow)
                             : options.window;
    if (marked.isNull() && !options.photoWindow.isNull()) {
        a.status = ImportStatus::failure(ImportError::BadWindow, "The marked window lies outside the facade.");
        return a;
    }
    a.search = findWindows(a.rectified, marked, a.inside);
    a.timings.windowSearch = millisecondsOf(timer);
    a.grid = a.search.grid;
    a.status = a.search.status;
    // Without windows the backgrounds are the facade and the photograph as
    // they are, ready for windows placed by hand; other failures end here.
    if (options.fillBackground && (a.status.ok() || a.status.error() == ImportError::NoWindows))
        refresh(a);
    return a;
}

FacadeAnalysis analysePhotographFile(const QString &path, const AnalysisOptions &options)
{
    const Photograph photo = readPhotograph(path);
    if (!photo.status.ok()) {
        FacadeAnalysis a;
        a.status = photo.status;
        return a;
    }
    return analysePhotograph(photo.image, options);
}

void updateWindows(FacadeAnalysis &analysis, const std::vector<PlacedWindow> &windows)
{
    if (analysis.rectified.isNull())
        return;
    analysis.grid = arrangeWindows(windows, analysis.rectified.size());
    analysis.status = analysis.grid.empty()
                          ? ImportStatus::failure(ImportError::NoWindows, "The facade has no windows.")
                          : ImportStatus::success();
    refresh(analysis);
}

} // namespace FacadeImport
