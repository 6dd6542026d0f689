#ifndef TESSIVO_TESTCASEWRITER_H
#define TESSIVO_TESTCASEWRITER_H

#include "Failure.h"
#include "QWindowData2D.h"

#include <QImage>

#include <string>
#include <vector>

// Everything the files of one test case hold, as the test-case generator and
// the importer make it, and the one writer that puts it into the layout of
// TestCasePaths, where the model's loaders read it back.

// JPEG quality of a case's pictures. A photograph may keep more of its detail
// (TestCaseContent::photographQuality).
constexpr int kCaseJpegQuality = 92;

struct TestCaseContent {
    TestCaseKind kind = TestCaseKind::None;
    QImage photograph;
    int photographQuality = kCaseJpegQuality;
    QImage rectified;          // the rectified facade
    QImage background;         // the rectified wall without its windows
    QImage originalBackground; // the photograph's background
    // Grid file: group 0's bounds, template, row and column centres, detected
    // and current windows, rows and cols. Reconstruction file: cameraK,
    // cameraR, homography, colMin and rowMin. Shutter file (shutter cases):
    // shutters, one pair per window.
    QWindowData2D model;
    // Per window: its crop (blind cases) or its interior (shutter cases).
    std::vector<QImage> windowImages;
    // Blind cases: per window, its picture at every blind level
    // (TestCasePaths::kBlindLevels, from 0 percent up).
    std::vector<std::vector<QImage>> blindLevels;
    // Shutter cases: the interior for a window without its own, and the two
    // leaf textures (hinge on the left edge for the right leaf).
    QImage interior;
    QImage leftLeaf;
    QImage rightLeaf;
};

// Writes every file of the case of photograph photo into folder (the kind's
// folder), making the case's folders: the photograph, the rectified image,
// both backgrounds, the grid and reconstruction files, then the window
// pictures of the kind (the shutter file last). Stops at the first file that
// cannot be written; false, as Failure.h says, naming it, or naming what the
// content lacks. files, when given, counts the files written either way.
bool writeTestCase(const TestCaseContent &content, const std::string &folder, const std::string &photo,
                   int *files = nullptr, Failure *failure = nullptr);

#endif
