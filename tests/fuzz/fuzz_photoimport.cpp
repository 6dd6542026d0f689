// Fuzz target: the photograph importer on arbitrary bytes, read as a
// photograph file with the reader's limits; a picture small enough to
// analyse quickly goes through the whole analysis and the pictures and leaf
// samples a case would be written with. Nothing is written to disk.
//
// Checks: a refusal is a status with a message and no picture; an accepted
// analysis has a finite, invertible homography that maps the rectified image
// into the photograph and back, a rectified image of the planned size within
// the view's limits, windows inside it arranged in rows and columns that the
// window list fills (every row and column used, listed row by row), bounds
// that hold them, one crop and one leaf pair per window, and backgrounds of
// the sizes of the rectified image and of the photograph.
#include "FuzzCheck.h"

#include "CaseArt.h"
#include "FacadeAnalysis.h"
#include "PhotoReader.h"
#include "Rectification.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

#include <algorithm>
#include <climits>
#include <cmath>

using namespace FacadeImport;

namespace {

// Larger pictures are refused up front, before anything is decoded: size
// alone finds no new paths, and a fuzzer wants many inputs a second. The
// reader's own limits are checked by the import's tests.
constexpr qint64 kMaxAnalysedPixels = 320 * 240;

bool tooLargeToAnalyse(const QByteArray &bytes)
{
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    const QSize declared = QImageReader(&buffer).size();
    return declared.isValid() && qint64(declared.width()) * declared.height() > kMaxAnalysedPixels;
}

bool finite(const Matrix3 &m)
{
    for (const auto &row : m)
        for (const double v : row)
            if (!std::isfinite(v))
                return false;
    return true;
}

void checkHomography(const FacadeAnalysis &a)
{
    const CameraEstimate &camera = a.plan.camera;
    FUZZ_CHECK(finite(camera.H) && finite(camera.K) && finite(camera.R));
    FUZZ_CHECK(camera.H[2][2] == 1.0);
    const Matrix3 &h = camera.H;
    const double det = h[0][0] * (h[1][1] * h[2][2] - h[1][2] * h[2][1])
                       - h[0][1] * (h[1][0] * h[2][2] - h[1][2] * h[2][0])
                       + h[0][2] * (h[1][0] * h[2][1] - h[1][1] * h[2][0]);
    FUZZ_CHECK(std::isfinite(det) && det != 0.0);
    // The rectified image's corners land on the facade's quadrilateral, which
    // lies at most kMaxCornerOutside of the photograph beyond its edges (where
    // the frame cuts the facade), and come back where they started.
    const QSizeF photo(a.photo.size());
    const QSizeF size(a.rectified.size());
    for (const QPointF &p : {QPointF(0, 0), QPointF(size.width(), 0), QPointF(size.width(), size.height()),
                             QPointF(0, size.height()), QPointF(0.5 * size.width(), 0.5 * size.height())}) {
        const QPointF q = rectifiedToPhoto(camera, p);
        FUZZ_CHECK(std::isfinite(q.x()) && std::isfinite(q.y()));
        const double sx = 1.0 + kMaxCornerOutside * photo.width() + 1e-6 * photo.width();
        const double sy = 1.0 + kMaxCornerOutside * photo.height() + 1e-6 * photo.height();
        FUZZ_CHECK(q.x() >= -sx && q.y() >= -sy && q.x() <= photo.width() + sx && q.y() <= photo.height() + sy);
        const QPointF back = photoToRectified(camera, q);
        FUZZ_CHECK(std::abs(back.x() - p.x()) < 0.01 && std::abs(back.y() - p.y()) < 0.01);
    }
}

void checkGrid(const WindowGrid &grid, const QSize &imageSize)
{
    const QRect image(QPoint(0, 0), imageSize);
    FUZZ_CHECK(!grid.empty() && grid.rows() > 0 && grid.cols() > 0);
    std::vector<bool> rowUsed(std::size_t(grid.rows()), false);
    std::vector<bool> colUsed(std::size_t(grid.cols()), false);
    for (std::size_t i = 0; i < grid.windows.size(); ++i) {
        const FacadeWindow &w = grid.windows[i];
        const QRect r(w.x, w.y, w.width, w.height);
        FUZZ_CHECK(w.width > 0 && w.height > 0 && image.contains(r) && grid.bounds.contains(r));
        FUZZ_CHECK(w.col >= 0 && w.col < grid.cols() && w.row >= 0 && w.row < grid.rows());
        FUZZ_CHECK(w.aux >= 0.0 && w.aux <= 1.0);
        rowUsed[std::size_t(w.row)] = colUsed[std::size_t(w.col)] = true;
        if (i > 0) {
            const FacadeWindow &before = grid.windows[i - 1];
            FUZZ_CHECK(before.row < w.row || (before.row == w.row && before.col <= w.col));
        }
    }
    FUZZ_CHECK(std::find(rowUsed.begin(), rowUsed.end(), false) == rowUsed.end());
    FUZZ_CHECK(std::find(colUsed.begin(), colUsed.end(), false) == colUsed.end());
    FUZZ_CHECK(std::is_sorted(grid.rowValues.begin(), grid.rowValues.end()));
    FUZZ_CHECK(std::is_sorted(grid.colValues.begin(), grid.colValues.end()));
    FUZZ_CHECK(std::adjacent_find(grid.rowValues.begin(), grid.rowValues.end()) == grid.rowValues.end());
    FUZZ_CHECK(std::adjacent_find(grid.colValues.begin(), grid.colValues.end()) == grid.colValues.end());
    FUZZ_CHECK(image.contains(grid.bounds) && grid.windowTemplate.width() > 0 && grid.windowTemplate.height() > 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size > std::size_t(INT_MAX))
        return 0;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    if (tooLargeToAnalyse(bytes))
        return 0;
    const Photograph photo = readPhotographData(bytes, QStringLiteral("fuzz input"));
    if (!photo.status.ok()) {
        FUZZ_CHECK(!photo.status.reason.empty() && photo.image.isNull());
        return 0;
    }
    FUZZ_CHECK(photo.image.format() == QImage::Format_RGB888);
    FUZZ_CHECK(photo.image.width() >= kMinPhotoSide && photo.image.height() >= kMinPhotoSide);
    if (qint64(photo.image.width()) * photo.image.height() > kMaxAnalysedPixels)
        return 0; // a format that declares no size before decoding

    AnalysisOptions options;
    options.clearLeafZones = true;
    const FacadeAnalysis a = analysePhotograph(photo.image, options);
    if (!a.status.ok()) {
        FUZZ_CHECK(!a.status.reason.empty());
        return 0;
    }
    FUZZ_CHECK(a.plan.status.ok() && a.rectified.size() == a.plan.size);
    FUZZ_CHECK(a.plan.size.width() > 0 && a.plan.size.height() > 0 && a.plan.size.width() <= kMaxRectifiedWidth
               && a.plan.size.height() <= kMaxRectifiedHeight);
    checkHomography(a);
    checkGrid(a.grid, a.rectified.size());
    FUZZ_CHECK(a.background.size() == a.rectified.size() && a.originalBackground.size() == a.photo.size());
    FUZZ_CHECK(a.windowImages.size() == a.grid.windows.size());
    for (std::size_t i = 0; i < a.windowImages.size(); ++i) {
        const FacadeWindow &w = a.grid.windows[i];
        FUZZ_CHECK(a.windowImages[i].size() == QSize(w.width, w.height));
        FUZZ_CHECK(blindLevel(a.windowImages[i], 50, std::uint32_t(i)).size() == a.windowImages[i].size());
    }
    FUZZ_CHECK(!rightLeafTexture(a.grid.windowTemplate.size(), 1u).isNull());
    FUZZ_CHECK(shutterLeaves(a.plan.camera, a.grid).size() == a.grid.windows.size());
    return 0;
}
