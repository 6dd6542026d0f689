// The dialog's commands: image and screenshot files, random shutter angles,
// grid files, grid restructuring, the shutter sliders and the display options.
#include "TessivoDemo.h"

#include "FacadeGLWidget.h"
#include "PathText.h"
#include "QWindowData2D.h"

#include <QFileDialog>

#include <algorithm>
#include <cstdio>

// Loads an image file and hands it to the view, which only borrows it; the
// image of the previous call is freed once the view holds the new one.
void TessivoDemo::testSlot()
{
    const QString path = QFileDialog::getOpenFileName(this, tr("Load an image"), QString(),
                                                      tr("Image file (*.png *.bmp *.jpg)"));
    if (path.isEmpty())
        return;
    auto image = std::make_unique<QImage>();
    image->load(path);
    facadeView->setImage(image.get());
    m_testImage = std::move(image);
    facadeView->updateGL();
}

// Writes what the view shows, cropped to the background, as a PNG file.
void TessivoDemo::saveToImageSlot()
{
    if (!windowData)
        return;
    const QString path = QFileDialog::getSaveFileName(this, tr("Save to image"), QString(),
                                                      tr("Image file (*.png)"));
    if (path.isEmpty())
        return;
    facadeView->saveScreenshot(path);
}

// Gives both leaves of every window a random angle (shutter test cases only).
void TessivoDemo::randomShutterAngleSlot()
{
    if (!windowData || !windowData->isShutterCase())
        return;
    windowData->setRandomShutterAngles();
    facadeView->updateGL();
}

// Reads a grid file into the model. The view's selection is kept; the view
// and the slider slots ignore an index the new grid does not have.
void TessivoDemo::loadGridSlot()
{
    if (!windowData)
        return;
    const QString path = QFileDialog::getOpenFileName(this, tr("Load a grid file"), QString(),
                                                      tr("Grid file (*.txt)"));
    if (path.isEmpty())
        return;
    windowData->loadGridFile(toNarrowPath(path));
    facadeView->updateGL();
}

// Writes the model's grid to a file; a file that cannot be written is told
// on standard error, since the user can pick another place.
void TessivoDemo::saveGridSlot()
{
    if (!windowData)
        return;
    const QString path = QFileDialog::getSaveFileName(this, tr("Save a grid file"), QString(),
                                                      tr("Grid file (*.txt)"));
    if (path.isEmpty())
        return;
    const std::string file = toNarrowPath(path);
    if (!windowData->saveGridFile(file))
        std::fprintf(stderr, "Cannot write grid file %s\n", file.c_str());
}

void TessivoDemo::dragAllBlindsToggledSlot(bool flag)
{
    facadeView->setDragAllBlinds(flag);
}

void TessivoDemo::gridRowChangedSlot(int row)
{
    if (!windowData)
        return;
    windowData->restructureGrid(row, ui.spinBoxCol->value());
    facadeView->resetSelection();
    facadeView->updateGL();
}

void TessivoDemo::gridColChangedSlot(int col)
{
    if (!windowData)
        return;
    windowData->restructureGrid(ui.spinBoxRow->value(), col);
    facadeView->resetSelection();
    facadeView->updateGL();
}

// Returns to the loaded grid's counts. A spin box that has to change runs its
// own grid slot synchronously (row first); when both already agree the grid
// is rebuilt here. Counts above the spin boxes' maximum stay clamped.
void TessivoDemo::resetWindowGridStructureSlot()
{
    if (!windowData)
        return;
    const int r = ui.spinBoxRow->value();
    const int c = ui.spinBoxCol->value();
    const int nr = loadedRowCount();
    const int nc = loadedColCount();
    if (r == nr && c == nc)
        windowData->restructureGrid(nr, nc);
    if (r != nr)
        ui.spinBoxRow->setValue(nr);
    if (c != nc)
        ui.spinBoxCol->setValue(nc);
    facadeView->resetSelection();
    facadeView->updateGL();
}

// Turns one leaf of the selected window, or of every window while
// rotateAllShutters is set. A selection the current grid does not have counts
// as no selection.
void TessivoDemo::setShutterFromSlider(int val, bool left)
{
    if (!windowData || !windowData->isShutterCase())
        return;
    const int selected = selectedWindowInGrid();
    if (selected == -1)
        return;
    const double angle = std::clamp(val, 0, 180) * QWindowData2D::pi / 180;
    windowData->setShutterAngle(angle, left, !rotateAllShutters, selected);
    facadeView->updateGL();
}

void TessivoDemo::leftShutterValueChanged(int val)
{
    setShutterFromSlider(val, true);
}

void TessivoDemo::rightShutterValueChanged(int val)
{
    setShutterFromSlider(val, false);
}

void TessivoDemo::rotateAllShuttersToggledSlot(bool flag)
{
    rotateAllShutters = flag;
}

// The display options: the view repaints itself when one changes the picture.
void TessivoDemo::showGridToggledSlot(bool flag)
{
    facadeView->setShowGrid(flag);
}

void TessivoDemo::showInOriginalViewToggledSlot(bool flag)
{
    facadeView->setShowInOriginalView(flag);
}

void TessivoDemo::showOriginalImageToggledSlot(bool flag)
{
    facadeView->setShowOriginalImage(flag);
}
