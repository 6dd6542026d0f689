#ifndef TESSIVO_TESTS_PHOTOMEASURE_H
#define TESSIVO_TESTS_PHOTOMEASURE_H

#include "FacadeAnalysis.h"
#include "WindowScore.h"

#include <QRect>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QStringList>

#include <vector>

// One import of an annotated photograph and how well it did: what the
// measuring tool prints a row of and the accuracy test checks.
namespace PhotoScore {

enum class ImportMode {
    Automatic, // default options: the facade proposed, the windows searched for
    Assisted,  // the annotated facade corners and the marked window given, as a wizard user does
    Corners    // the annotated facade corners given, the windows searched for: the window search alone
};

const char *modeName(ImportMode mode);

struct PhotoMeasurement {
    QString photo;                      // file name
    ImportMode mode = ImportMode::Automatic;
    QString status;                     // the importer's message when it failed; empty otherwise
    bool planned = false;               // the facade was rectified (corners and camera hold)
    Quad facade{};                      // the facade corners used, photo pixels, clockwise from the top-left
    double cornerError = 0.0;           // against the main facade, over its diagonal (automatic only)
    int nearestFacade = 0;              // 0: the main facade; k: the k-th other facade
    double nearestError = 0.0;          // corner error against that facade
    std::vector<Quad> found;            // the found windows mapped into the photograph
    WindowScore windows;
    double milliseconds = 0.0;          // the whole import, reading included
};

// How a photograph is changed before it is imported, to see whether what the
// finder finds hangs on things it should not: framed closer (a part of it
// kept), turned left to right (the direction of a scan) or scaled (its
// resolution), in that order. A changed photograph is saved again as a JPEG
// of quality 95, as a camera would.
struct PhotoChange {
    QRectF kept{0.0, 0.0, 1.0, 1.0}; // the part kept, in shares of the photograph's width and height
    bool mirrored = false;
    double scale = 1.0;

    bool any() const { return kept != QRectF(0.0, 0.0, 1.0, 1.0) || mirrored || scale != 1.0; }
    // The part kept of a photograph of the given size, in its pixels.
    QRect keptPixels(const QSize &size) const;
};

// Imports the photograph at path in the given mode and scores it against
// truth, both changed as asked. Assisted without a marked window searches
// for windows on the given corners.
PhotoMeasurement measurePhoto(const QString &path, const PhotoAnnotation &truth, ImportMode mode,
                              const PhotoChange &change = PhotoChange());

// The photograph at path changed (and saved again), as the import reads it;
// unchanged, as it is; null when it cannot be read.
QImage transformedPhoto(const QString &path, const PhotoChange &change);

// The annotation of a photograph of the given size changed so: every
// quadrilateral keeps its corners clockwise from the top-left. A window the
// closer framing cuts counts neither way (it joins the ignored openings; the
// mark moves with the windows, and is none when its window is cut). The
// facade's corners keep their place on the building.
PhotoAnnotation transformedAnnotation(const PhotoAnnotation &truth, const PhotoChange &change, const QSize &original);

// The photographs of folder that have an annotation beside them (NAME.jpg
// with NAME.txt), sorted by name.
QStringList annotatedPhotos(const QString &folder);

// The annotation beside a photograph: NAME.txt for NAME.jpg.
QString annotationPathOf(const QString &photoPath);

} // namespace PhotoScore

#endif
