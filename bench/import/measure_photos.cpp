// Imports every annotated real photograph twice, automatically (the facade
// proposed, the windows searched for) and assisted (the annotated corners and
// one marked window given), and prints how each did against its annotation:
// the facade's corner error over its diagonal, the windows found, recall and
// precision at IoU >= 0.5 in the photograph, and the time. Not a test; the
// accuracy suite tst_realphotos holds the same numbers to thresholds.
//
// usage: measure_photos [--crop L,T,R,B] [--mirror] [--scale F] [--draw DIR] [FOLDER]
//   FOLDER      photographs with NAME.txt annotations beside them (default: the
//               repository's tests/data/photos)
//   --crop L,T,R,B  imports the part of each photograph between L and R of its
//               width and T and B of its height (shares, 0 to 1; saved again as
//               a JPEG), as a closer framing of the same building; windows
//               the frame cuts count neither way, the facade keeps its corners
//   --mirror    imports each photograph turned left to right (and saved again
//               as a JPEG), with its annotation turned too
//   --scale F   imports each photograph scaled by F (0 to 8, saved again as a
//               JPEG), with its annotation scaled too
//   --draw DIR  also writes DIR/NAME-automatic.png and NAME-assisted.png: the
//               annotation in green, what was found in red
#include "PhotoDrawing.h"
#include "PhotoMeasure.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>

#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace PhotoScore;

namespace {

int usage()
{
    std::fprintf(stderr, "usage: measure_photos [--crop L,T,R,B] [--mirror] [--scale F] [--draw DIR] [FOLDER]\n");
    return 2;
}

// Which annotated facade the proposal chose: "main", "other N", with the error.
QString nearest(const PhotoMeasurement &m)
{
    const QString which = m.nearestFacade == 0 ? QString("main") : QString("other %1").arg(m.nearestFacade);
    return QString("%1 %2").arg(which).arg(m.nearestError, 0, 'f', 3);
}

void printRow(const PhotoMeasurement &m)
{
    const bool automatic = m.mode == ImportMode::Automatic;
    const QString corners = !automatic ? QString("-") : m.planned ? QString::number(m.cornerError, 'f', 3) : QString("none");
    const QString chosen = automatic && m.planned ? nearest(m) : QString("-");
    std::printf("%-26s %-9s %7s %-13s %5d %5d %5d %6.2f %6.2f %7.0f  %s\n", qPrintable(QFileInfo(m.photo).completeBaseName()),
                modeName(m.mode), qPrintable(corners), qPrintable(chosen), m.windows.annotated, m.windows.found,
                m.windows.matched, m.windows.recall(), m.windows.precision(), m.milliseconds,
                qPrintable(m.status));
}

} // namespace

int main(int argc, char **argv)
{
    QString folder = QStringLiteral(TESSIVO_PHOTOS_DIR);
    QString drawDir;
    bool folderGiven = false;
    PhotoChange change;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--crop") == 0) {
            double l = 0.0, t = 0.0, r = 0.0, b = 0.0;
            char end = 0;
            if (++i == argc || std::sscanf(argv[i], "%lf,%lf,%lf,%lf%c", &l, &t, &r, &b, &end) != 4
                || !(0.0 <= l && l < r && r <= 1.0 && 0.0 <= t && t < b && b <= 1.0))
                return usage();
            change.kept = QRectF(QPointF(l, t), QPointF(r, b));
        } else if (std::strcmp(argv[i], "--mirror") == 0) {
            change.mirrored = true;
        } else if (std::strcmp(argv[i], "--scale") == 0) {
            if (++i == argc)
                return usage();
            change.scale = std::atof(argv[i]);
            if (!(change.scale > 0.0 && change.scale <= 8.0))
                return usage();
        } else if (std::strcmp(argv[i], "--draw") == 0) {
            if (++i == argc)
                return usage();
            drawDir = QString::fromLocal8Bit(argv[i]);
        } else if (argv[i][0] == '-' || folderGiven) {
            return usage();
        } else {
            folder = QString::fromLocal8Bit(argv[i]);
            folderGiven = true;
        }
    }
    const QStringList photos = annotatedPhotos(folder);
    if (photos.isEmpty()) {
        std::fprintf(stderr, "measure_photos: no annotated photograph in %s\n", qPrintable(folder));
        return 1;
    }
    if (!drawDir.isEmpty() && !QDir().mkpath(drawDir)) {
        std::fprintf(stderr, "measure_photos: cannot make %s\n", qPrintable(drawDir));
        return 1;
    }

    std::printf("%-26s %-9s %7s %-13s %5s %5s %5s %6s %6s %7s  %s\n", "photograph", "mode", "corners", "chosen facade",
                "truth", "found", "match", "recall", "prec", "ms", "importer's message");
    int failures = 0;
    for (const QString &path : photos) {
        PhotoAnnotation truth;
        Failure failure;
        if (!readPhotoAnnotationFile(annotationPathOf(path), truth, &failure)) {
            std::fprintf(stderr, "measure_photos: %s\n", failure.reason.c_str());
            ++failures;
            continue;
        }
        // The photograph drawn on, changed as it was imported: once for all modes.
        const QImage drawn = drawDir.isEmpty() ? QImage() : transformedPhoto(path, change);
        const PhotoAnnotation drawnTruth = transformedAnnotation(truth, change, QImageReader(path).size());
        for (const ImportMode mode : {ImportMode::Automatic, ImportMode::Corners, ImportMode::Assisted}) {
            const PhotoMeasurement m = measurePhoto(path, truth, mode, change);
            printRow(m);
            if (drawDir.isEmpty())
                continue;
            const QString out = QDir(drawDir).filePath(QFileInfo(path).completeBaseName() + "-" + modeName(mode) + ".png");
            if (!drawMeasurement(drawn, drawnTruth, m).save(out)) {
                std::fprintf(stderr, "measure_photos: cannot write %s\n", qPrintable(out));
                ++failures;
            }
        }
    }
    std::printf("corners: largest corner distance over the facade's diagonal; chosen facade: the annotated facade "
                "nearest the proposal; recall and precision of windows at IoU >= 0.5 in the photograph\n");
    return failures == 0 ? 0 : 1;
}
