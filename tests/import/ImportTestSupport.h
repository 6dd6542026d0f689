#ifndef TESSIVO_TESTS_IMPORTTESTSUPPORT_H
#define TESSIVO_TESTS_IMPORTTESTSUPPORT_H

#include "FacadeCamera.h"
#include "QWindowData2D.h"

#include <QImage>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

// What the import suites share: the truth of a generated test case, the
// overlap of two rectangles, and a listing of a folder tree.

// A generated case as the program reads it: its reconstruction, its grid and,
// for shutter cases, its shutter file.
struct Truth {
    std::unique_ptr<QWindowData2D> model; // null when the case does not load
    QImage rectified;                     // the generator's rectified facade (RGB888)
    QString photoPath;
    bool shutters = false;

    const std::vector<FacadeWindow> &windows() const { return model->detectedWindows[0]; }
    QSize size() const { return rectified.size(); }
};

// kind "blinds" or "shutters", from $TESSIVO_TESTDATA/Tessivo_TestCases.
Truth loadTruth(const QString &kind, const QString &fileName);

// The facade's corners in the photograph, through the true homography.
FacadeImport::FacadeQuad trueCorners(const Truth &t);

// A street photograph made of rectified facades: sky above, road below, and
// each facade's picture drawn onto its quadrilateral (photo pixels, clockwise
// from the top-left; corners may lie beyond the photograph) in perspective,
// later ones in front.
struct SceneFacade {
    QImage facade;
    FacadeImport::FacadeQuad quad;
};
QImage streetScene(const QSize &size, const std::vector<SceneFacade> &facades);

// The largest distance between corresponding corners of two quadrilaterals.
double cornerError(const FacadeImport::FacadeQuad &a, const FacadeImport::FacadeQuad &b);

// Intersection over union.
double iou(const QRectF &a, const QRectF &b);

// Every file and folder below root (hidden ones too), one line each: its path
// relative to root, and for a file its size and a digest of its bytes; sorted.
QStringList treeListing(const QString &root);

#endif
