#ifndef TESSIVO_TESTS_DIALOGINPUT_H
#define TESSIVO_TESTS_DIALOGINPUT_H

#include "ViewFixtures.h"

#include <QImage>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QTimer>

class FacadeGLWidget;
class QAction;
class QKeySequence;
class QSlider;
class QWidget;
class QWindowData2D;
class TessivoDemo;

// Input for the dialog suites as a user gives it, and what the user sees.
namespace DialogInput {

// Mouse events sent to the view as Qt delivers them (the view suites' own).
using ViewFixtures::click;
using ViewFixtures::move;
using ViewFixtures::press;
using ViewFixtures::release;

// Presses a slider's handle, drags it in `steps` moves of pixelsPerStep
// pixels along the slider and releases it.
void dragSlider(QSlider &slider, int steps, int pixelsPerStep);

// Makes the dialog the active window, so that its keys work; false when the
// window system does not activate it.
bool activate(TessivoDemo &dialog);
// Types a key sequence into the widget that has the focus in the dialog,
// activating the dialog first (a closed popup may have left it inactive, and
// shortcuts only reach the active window); false when it cannot be activated.
bool typeKeys(TessivoDemo &dialog, const QKeySequence &keys);

// The picture of the model: a repaint with neither selection nor hover (they
// belong to the pointer, not to the model), read back from GL.
QImage modelFrame(FacadeGLWidget &view);
// The model's grid as its grid file holds it.
QByteArray gridText(const QWindowData2D &model);
// The same with the session section, as a recovery file holds it.
QByteArray sessionText(const QWindowData2D &model);

// Opens the dialog's context menu over widget (at pos in its coordinates) as a
// right click does, and chooses the action with the given object name once
// the menu shows. Returns the object names of the menu's actions in order,
// separators as "-"; `chosenEnabled` tells whether the chosen one could run.
QStringList chooseFromMenu(QWidget &widget, const QPoint &pos, const QString &actionName,
                           bool *chosenEnabled = nullptr);

} // namespace DialogInput

#endif
