#include "DialogInput.h"

#include "FacadeGLWidget.h"
#include "QWindowData2D.h"
#include "TessivoDemo.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>

#include <sstream>

namespace DialogInput {

namespace {

void sendMouse(QWidget &widget, QEvent::Type type, const QPoint &pos, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(type, pos, widget.mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

// QAbstractSlider's style option is protected; a pointer to it, formed in a
// subclass, has the type "member of QSlider" and may be called on any slider.
struct SliderOption : QSlider {
    static QStyleOptionSlider of(const QSlider &slider)
    {
        QStyleOptionSlider option;
        const auto init = &SliderOption::initStyleOption;
        (slider.*init)(&option);
        return option;
    }
};

QPoint handleCentre(QSlider &slider)
{
    const QStyleOptionSlider option = SliderOption::of(slider);
    return slider.style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, &slider).center();
}

} // namespace

void dragSlider(QSlider &slider, int steps, int pixelsPerStep)
{
    QPoint pointer = handleCentre(slider);
    sendMouse(slider, QEvent::MouseButtonPress, pointer, Qt::LeftButton, Qt::LeftButton);
    for (int i = 0; i < steps; ++i) {
        pointer.rx() += pixelsPerStep;
        sendMouse(slider, QEvent::MouseMove, pointer, Qt::NoButton, Qt::LeftButton);
    }
    sendMouse(slider, QEvent::MouseButtonRelease, pointer, Qt::LeftButton, Qt::NoButton);
}

bool activate(TessivoDemo &dialog)
{
    dialog.activateWindow();
    QApplication::setActiveWindow(&dialog);
    return QTest::qWaitForWindowActive(&dialog);
}

bool typeKeys(TessivoDemo &dialog, const QKeySequence &keys)
{
    if (QApplication::activeWindow() != &dialog && !activate(dialog))
        return false;
    QWidget *focus = QApplication::focusWidget();
    QTest::keySequence(focus && focus->window() == &dialog ? focus : &dialog, keys);
    return true;
}

QImage modelFrame(FacadeGLWidget &view)
{
    const int selected = view.selectedWindow;
    const int hovered = view.hoveredWindow;
    view.selectedWindow = -1;
    view.hoveredWindow = -1;
    view.updateGL();
    const QImage frame = view.grabFrameBuffer();
    view.selectedWindow = selected;
    view.hoveredWindow = hovered;
    return frame;
}

QByteArray gridText(const QWindowData2D &model)
{
    std::ostringstream text;
    model.saveGridFile(text);
    return QByteArray::fromStdString(text.str());
}

QByteArray sessionText(const QWindowData2D &model)
{
    std::ostringstream text;
    model.saveSessionGridFile(text);
    return QByteArray::fromStdString(text.str());
}

QStringList chooseFromMenu(QWidget &widget, const QPoint &pos, const QString &actionName, bool *chosenEnabled)
{
    QStringList names;
    bool enabled = false;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu || !menu->isVisible() || !names.isEmpty())
            return;
        QAction *chosen = nullptr;
        for (QAction *action : menu->actions()) {
            names << (action->isSeparator() ? QStringLiteral("-") : action->objectName());
            if (action->objectName() == actionName)
                chosen = action;
        }
        enabled = chosen && chosen->isEnabled();
        if (enabled)
            QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(chosen).center());
        else
            menu->close();
    });
    poll.start();
    QContextMenuEvent event(QContextMenuEvent::Mouse, pos, widget.mapToGlobal(pos));
    QApplication::sendEvent(&widget, &event);
    poll.stop();
    if (chosenEnabled)
        *chosenEnabled = enabled;
    return names;
}

} // namespace DialogInput
