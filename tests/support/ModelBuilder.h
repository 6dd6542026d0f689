#ifndef TESSIVO_TESTS_MODELBUILDER_H
#define TESSIVO_TESTS_MODELBUILDER_H

#include "QWindowData2D.h"

#include <QColor>
#include <QRect>

#include <memory>
#include <string>
#include <vector>

// Synthetic facade models for the suites: the state a test-case load leaves,
// built from window rectangles, and the same written to disk as a test case
// in the program's layout (TestCasePaths) by the model's own writers.
//
// Images are plain colours: each window its own shade of blue, the leaf
// textures green and violet, so that a misplaced image shows in a picture.
class ModelBuilder
{
public:
    // A facade of width x height pixels in a test case of the given kind
    // (its rectified image, background and, for shutters, both leaf textures).
    ModelBuilder(TestCaseKind kind, int width, int height);

    // Grid group 0: its bounds, its cell and one value per detected row and
    // column (rows and cols follow their counts). Without it, the windows
    // form one row.
    ModelBuilder &grid(const QRect &bounds, const QSize &cell, std::vector<int> rowValues,
                       std::vector<int> colValues);
    // Leaf angles (radians) of every window added after this call.
    ModelBuilder &angles(double left, double right);
    // A window of the detected and the current list (its sourceIndex its
    // position) in cell (col, row), with an image of its size and, in a
    // shutter case, leaves hinged on its left and right edges: hinge1 at the
    // top, no samples. In a blind case it also gets the eleven blind images.
    ModelBuilder &window(const QRect &rect, int col, int row);
    // The same in the next column of a single row.
    ModelBuilder &window(const QRect &rect);

    std::unique_ptr<QWindowData2D> build() const;

private:
    TestCaseKind m_kind;
    int m_width;
    int m_height;
    bool m_grid = false;
    QRect m_bounds;
    QSize m_cell;
    std::vector<int> m_rowValues;
    std::vector<int> m_colValues;
    double m_leftAngle = QWindowData2D::pi;
    double m_rightAngle = QWindowData2D::pi;
    std::vector<FacadeWindow> m_windows;
};

// A plain image of the given size and colour with a darker frame.
QImage plainImage(int width, int height, const QColor &color);

// Writes the test case of a built model into folder (the "blinds" or
// "shutters" folder) under photo: the facade images (the photograph in
// photoColor), the grid, reconstruction and, for shutters, shutter file
// written by the model's writers, and every window image of the model. The
// images are saved as JPEG at full quality. False when anything fails.
bool writeCase(const QWindowData2D &model, const std::string &folder, const std::string &photo,
               const QColor &photoColor);

#endif
