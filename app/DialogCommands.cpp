// The dialog's commands: image and screenshot files, random shutter angles,
// grid files, grid restructuring, the shutter sliders and the display options.
#include "TessivoDemo.h"

#include "CaseSession.h"
#include "EditHistory.h"
#include "FacadeGLWidget.h"
#include "PathText.h"
#include "QWindowData2D.h"
#include "UserMessages.h"

#include <QSignalBlocker>

#include <algorithm>
#include <cmath>

// Loads an image file and hands it to the view, which only borrows it; the
// image of the previous call is freed once the view holds the new one.
void TessivoDemo::testSlot()
{
    const QString path = m_fileDialogs.open(this, FileDialogs::Kind::Image, tr("Load an image"),
                                            tr("Image file (*.png *.bmp *.jpg)"));
    if (path.isEmpty())
        return;
    auto image = std::make_unique<QImage>();
    image->load(path);
    facadeView->setImage(image.get());
    m_testImage = std::move(image);
    facadeView->updateGL();
}

// Writes what the view shows, cropped to the background, as a PNG file; a
// name without an extension gets ".png".
void TessivoDemo::saveToImageSlot()
{
    if (!windowData)
        return;
    const QString title = tr("Save to image");
    const QString path = m_fileDialogs.save(this, FileDialogs::Kind::Image, title, tr("Image file (*.png)"),
                                            QStringLiteral("png"));
    if (path.isEmpty())
        return;
    Failure failure;
    if (!facadeView->saveScreenshot(path, &failure))
        UserMessages::warn(this, title, tr("The view could not be saved as an image."),
                           UserMessages::reasonText(failure.reason));
}

// Gives both leaves of every window a random angle (shutter test cases only).
void TessivoDemo::randomShutterAngleSlot()
{
    if (!windowData || !windowData->isShutterCase())
        return;
    windowData->setRandomShutterAngles();
    facadeView->updateGL();
    recordEdit(tr("Random shutter angles"));
}

// Reads a grid file into the model. The view's selection is kept; the view
// and the slider slots ignore an index the new grid does not have.
void TessivoDemo::loadGridSlot()
{
    if (!windowData)
        return;
    const QString title = tr("Load a grid file");
    const QString path = m_fileDialogs.open(this, FileDialogs::Kind::GridFile, title, tr("Grid file (*.txt)"));
    if (path.isEmpty())
        return;
    Failure failure;
    const bool read = windowData->loadGridFile(toNarrowPath(path), &failure);
    facadeView->updateGL();
    if (!read)
        UserMessages::warn(this, title, tr("The grid file could not be read."),
                           UserMessages::reasonText(failure.reason));
    recordEdit(tr("Load grid file"));
}

void TessivoDemo::saveGridSlot()
{
    if (!windowData)
        return;
    saveGridToChosenFile();
}

// A file that cannot be written is told on standard error and in a message,
// since the user can pick another place. A written file holds every edit.
bool TessivoDemo::saveGridToChosenFile()
{
    const QString title = tr("Save a grid file");
    const QString path = m_fileDialogs.save(this, FileDialogs::Kind::GridFile, title, tr("Grid file (*.txt)"));
    if (path.isEmpty())
        return false;
    const std::string file = toNarrowPath(path);
    Failure failure;
    if (!windowData->saveGridFile(file, &failure)) {
        logLine("Cannot write grid file " + file);
        UserMessages::warn(this, title, tr("The grid file could not be written."),
                           UserMessages::reasonText(failure.reason));
        return false;
    }
    m_session->history().markSaved();
    return true;
}

void TessivoDemo::dragAllBlindsToggledSlot(bool flag)
{
    facadeView->setDragAllBlinds(flag);
}

// The spin boxes drive the session's counts; without a case they only show
// them.
void TessivoDemo::gridRowChangedSlot(int row)
{
    if (!windowData) {
        m_session->keepCounts({ui.spinBoxRow->value(), ui.spinBoxCol->value()});
        return;
    }
    const int cols = ui.spinBoxCol->value();
    Failure refusal;
    m_session->changeRows(row, &refusal);
    facadeView->resetSelection();
    facadeView->updateGL();
    refuseCounts(row, cols, refusal);
    recordEdit(tr("Change rows"));
}

void TessivoDemo::gridColChangedSlot(int col)
{
    if (!windowData) {
        m_session->keepCounts({ui.spinBoxRow->value(), ui.spinBoxCol->value()});
        return;
    }
    const int rows = ui.spinBoxRow->value();
    Failure refusal;
    m_session->changeCols(col, &refusal);
    facadeView->resetSelection();
    facadeView->updateGL();
    refuseCounts(rows, col, refusal);
    recordEdit(tr("Change columns"));
}

void TessivoDemo::refuseCounts(int rowCount, int colCount, const Failure &refusal)
{
    if (refusal.reason.empty())
        return;
    UserMessages::warn(this, tr("Change the grid"),
                       tr("The grid cannot have %1 rows and %2 columns.").arg(rowCount).arg(colCount),
                       UserMessages::reasonText(refusal.reason));
}

// Returns to the loaded grid's counts, row first, as one step; the spin
// boxes follow the session.
void TessivoDemo::resetWindowGridStructureSlot()
{
    if (!windowData)
        return;
    const EditHistory::Step step(m_session->history(), tr("Reset grid"));
    m_session->resetCounts();
    facadeView->resetSelection();
    facadeView->updateGL();
    updateControlStates();
}

// Turns one leaf of the selected window, or of every window while
// rotateAllShutters is set. A selection the current grid does not have counts
// as no selection. A drag of the slider is one edit, recorded on release;
// each keyboard or wheel step is one.
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
    const QSlider *slider = left ? ui.horizontalSliderLeftShutter : ui.horizontalSliderRightShutter;
    if (!slider->isSliderDown())
        recordEdit(left ? tr("Turn left shutter") : tr("Turn right shutter"));
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

void TessivoDemo::recordEdit(const QString &name)
{
    m_session->history().record(name);
    updateControlStates();
}

// A window of the group the view may still point at after a step that
// changed the grid is forgotten, as a restructuring forgets it.
void TessivoDemo::followRestoredState()
{
    if (windowData) {
        const int selected = facadeView->selectedWindow;
        const int hovered = facadeView->hoveredWindow;
        if ((selected != -1 && !windowData->isWindowIndex(selected))
            || (hovered != -1 && !windowData->isWindowIndex(hovered)))
            facadeView->resetSelection();
        const int shown = selectedWindowInGrid();
        if (windowData->isShutterCase() && shown != -1) {
            const FacadeWindow &w = (*windowData->currentGroup())[std::size_t(shown)];
            const auto degrees = [](double angle) {
                return int(std::clamp(std::lround(angle * 180 / QWindowData2D::pi), 0L, 180L));
            };
            const QSignalBlocker leftBlocker(ui.horizontalSliderLeftShutter);
            const QSignalBlocker rightBlocker(ui.horizontalSliderRightShutter);
            ui.horizontalSliderLeftShutter->setValue(degrees(w.leftAngle));
            ui.horizontalSliderRightShutter->setValue(degrees(w.rightAngle));
        }
    }
    updateControlStates();
    facadeView->updateGL();
}

// Reset needs a case; the sliders turn nothing without a selected window of a
// shutter case. They are enabled only by a selection in the view.
void TessivoDemo::updateControlStates()
{
    ui.pushButtonResetStructure->setEnabled(windowData != nullptr);
    if (!windowData || !windowData->isShutterCase() || selectedWindowInGrid() == -1) {
        ui.horizontalSliderLeftShutter->setEnabled(false);
        ui.horizontalSliderRightShutter->setEnabled(false);
    }
    updateCommandStates();
}

// A mouse edit in the view, press to release, is one step; what the slider
// slots record on the press (a selection sets the sliders) joins it.
void TessivoDemo::beginMouseEdit()
{
    if (m_mouseEditOpen)
        return;
    m_mouseEditOpen = true;
    m_session->history().beginStep();
}

void TessivoDemo::finishMouseEdit()
{
    if (!m_mouseEditOpen)
        return;
    m_mouseEditOpen = false;
    QString name = tr("Select window");
    if (facadeView->draggingBlind)
        name = facadeView->dragAllBlinds ? tr("Drag all blinds") : tr("Drag blind");
    else if (facadeView->movingWindow)
        name = tr("Move window");
    m_session->history().endStep(name);
    updateControlStates();
}
