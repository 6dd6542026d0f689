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

// Intersection over union.
double iou(const QRectF &a, const QRectF &b);

// Every file and folder below root (hidden ones too), one line each: its path
// relative to root, and for a file its size and a digest of its bytes; sorted.
QStringList treeListing(const QString &root);

#endif
