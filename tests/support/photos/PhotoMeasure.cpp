#include "PhotoMeasure.h"

#include "PhotoReader.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImageReader>

#include <cmath>

using namespace FacadeImport;

namespace PhotoScore {

const char *modeName(ImportMode mode)
{
    switch (mode) {
    case ImportMode::Automatic: return "automatic";
    case ImportMode::Assisted: return "assisted";
    case ImportMode::Corners: return "corners";
    }
    return "";
}

namespace {

// The marked window's box in whole photo pixels, as --window takes it.
QRect markedBox(const PhotoAnnotation &truth)
{
    if (truth.mark < 0)
        return QRect();
    const QRectF box = boundingBox(truth.windows[std::size_t(truth.mark)]);
    const int left = int(std::floor(box.left()));
    const int top = int(std::floor(box.top()));
    return QRect(left, top, std::max(1, int(std::ceil(box.right())) - left),
                 std::max(1, int(std::ceil(box.bottom())) - top));
}

// A rectangle of the rectified image as the quadrilateral it covers in the photograph.
Quad photoQuadOf(const CameraEstimate &camera, const FacadeWindow &w)
{
    const Quad rectified = boxQuad(QRectF(w.x, w.y, w.width, w.height));
    Quad q;
    for (std::size_t k = 0; k < 4; ++k)
        q[k] = rectifiedToPhoto(camera, rectified[k]);
    return q;
}

} // namespace

QRect PhotoChange::keptPixels(const QSize &size) const
{
    const int left = int(std::lround(kept.left() * size.width())), top = int(std::lround(kept.top() * size.height()));
    const int right = int(std::lround(kept.right() * size.width()));
    const int bottom = int(std::lround(kept.bottom() * size.height()));
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)) & QRect(QPoint(0, 0), size);
}

PhotoAnnotation transformedAnnotation(const PhotoAnnotation &truth, const PhotoChange &change, const QSize &original)
{
    if (!change.any())
        return truth;
    const QRect kept = change.keptPixels(original);
    const double k = change.scale;
    const double width = std::lround(kept.width() * k);
    const auto moved = [&](const Quad &q) {
        const auto at = [&](std::size_t i) {
            const QPointF p = k * (q[i] - QPointF(kept.topLeft()));
            return change.mirrored ? QPointF(width - p.x(), p.y()) : p;
        };
        return change.mirrored ? Quad{at(1), at(0), at(3), at(2)} : Quad{at(0), at(1), at(2), at(3)};
    };
    PhotoAnnotation out = truth;
    out.windows.clear();
    out.mark = -1;
    for (std::size_t i = 0; i < truth.windows.size(); ++i) {
        if (!QRectF(kept).contains(boundingBox(truth.windows[i]))) {
            out.ignored.push_back(truth.windows[i]);
            continue;
        }
        if (int(i) == truth.mark)
            out.mark = int(out.windows.size());
        out.windows.push_back(truth.windows[i]);
    }
    out.facade = moved(truth.facade);
    for (auto *quads : {&out.others, &out.windows, &out.ignored})
        for (Quad &q : *quads)
            q = moved(q);
    return out;
}

QImage transformedPhoto(const QString &path, const PhotoChange &change)
{
    QImage photo = readPhotograph(path).image;
    if (photo.isNull() || !change.any())
        return photo;
    photo = photo.copy(change.keptPixels(photo.size()));
    if (change.mirrored)
        photo = photo.mirrored(true, false);
    if (change.scale != 1.0)
        photo = photo.scaled(QSize(int(std::lround(photo.width() * change.scale)),
                                   int(std::lround(photo.height() * change.scale))),
                             Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    photo.save(&buffer, "JPEG", 95);
    return readPhotographData(jpeg, QFileInfo(path).fileName()).image;
}

PhotoMeasurement measurePhoto(const QString &path, const PhotoAnnotation &truthAsGiven, ImportMode mode,
                              const PhotoChange &change)
{
    PhotoMeasurement m;
    m.photo = QFileInfo(path).fileName();
    m.mode = mode;
    const bool changed = change.any();
    const QImage photo = changed ? transformedPhoto(path, change) : QImage();
    if (changed && photo.isNull()) {
        m.status = "unreadable photograph";
        return m;
    }
    const PhotoAnnotation truth = transformedAnnotation(truthAsGiven, change, QImageReader(path).size());
    AnalysisOptions options;
    if (mode != ImportMode::Automatic) {
        options.useCorners = true;
        options.corners = truth.facade;
    }
    if (mode == ImportMode::Assisted)
        options.photoWindow = markedBox(truth);
    QElapsedTimer timer;
    timer.start();
    const FacadeAnalysis a = changed ? analysePhotograph(photo, options) : analysePhotographFile(path, options);
    m.milliseconds = timer.nsecsElapsed() / 1e6;
    if (!a.status.ok())
        m.status = QString::fromStdString(a.status.reason);
    m.planned = a.plan.status.ok() && !a.rectified.isNull();
    if (m.planned) {
        m.facade = a.plan.corners;
        m.cornerError = cornerError(m.facade, truth.facade);
        m.nearestError = m.cornerError;
        for (std::size_t k = 0; k < truth.others.size(); ++k) {
            const double e = cornerError(m.facade, truth.others[k]);
            if (e < m.nearestError) {
                m.nearestError = e;
                m.nearestFacade = int(k) + 1;
            }
        }
        for (const FacadeWindow &w : a.grid.windows)
            m.found.push_back(photoQuadOf(a.plan.camera, w));
    }
    m.windows = scoreWindows(m.found, truth);
    return m;
}

QStringList annotatedPhotos(const QString &folder)
{
    QStringList photos;
    const QDir dir(folder);
    for (const QString &name : dir.entryList({"*.jpg", "*.jpeg", "*.png"}, QDir::Files, QDir::Name)) {
        const QString path = dir.filePath(name);
        if (QFileInfo::exists(annotationPathOf(path)))
            photos << path;
    }
    return photos;
}

QString annotationPathOf(const QString &photoPath)
{
    const QFileInfo info(photoPath);
    return info.dir().filePath(info.completeBaseName() + ".txt");
}

} // namespace PhotoScore
