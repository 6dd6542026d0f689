// Every command of the dialog within reach: one table row per command, made
// into an action of the dialog with its key, shown in the context menu of the
// view and of the control panel and in the help window. A new command is one
// row here (and its handler).
#include "TessivoDemo.h"

#include "CaseSession.h"
#include "EditHistory.h"
#include "FacadeGLWidget.h"
#include "HelpWindow.h"
#include "QWindowData2D.h"

#include <QAction>
#include <QEvent>
#include <QMenu>

#include <functional>

// A command runs `run`; an option (checkable) is turned on or off with `turn`
// and reads its state with `isOn`, so that its check mark always shows the
// state the dialog really has; a step of the edit history (undo, redo) is an
// action `create` takes from the history, which steps it. `applies` disables
// what cannot do anything.
struct TessivoDemo::Command {
    // The key of a command: the platform's standard key where Qt has one,
    // else a portable sequence such as "Ctrl+E".
    struct Keys {
        Keys(QKeySequence::StandardKey key) : standard(key) {}
        Keys(const char *text) : portable(text) {}
        QKeySequence::StandardKey standard = QKeySequence::UnknownKey;
        const char *portable = nullptr;
    };

    const char *name; // the action's object name
    const char *text; // translated in the context "TessivoDemo"
    Keys keys;
    void (TessivoDemo::*run)();
    void (TessivoDemo::*turn)(bool);
    bool (TessivoDemo::*isOn)() const;
    bool (TessivoDemo::*applies)() const;
    bool startsGroup; // a separator before it in the menu
    QAction *(TessivoDemo::*create)(const QString &text) = nullptr;
};

namespace {

using Command = TessivoDemo::Command;

Command command(const char *name, const char *text, Command::Keys keys, void (TessivoDemo::*run)(),
                bool (TessivoDemo::*applies)() const, bool startsGroup = false)
{
    return {name, text, keys, run, nullptr, nullptr, applies, startsGroup};
}

Command option(const char *name, const char *text, Command::Keys keys, void (TessivoDemo::*turn)(bool),
               bool (TessivoDemo::*isOn)() const, bool (TessivoDemo::*applies)() const, bool startsGroup = false)
{
    return {name, text, keys, nullptr, turn, isOn, applies, startsGroup};
}

Command historyStep(const char *name, const char *text, Command::Keys keys,
                    QAction *(TessivoDemo::*create)(const QString &), bool (TessivoDemo::*applies)() const,
                    bool startsGroup = false)
{
    return {name, text, keys, nullptr, nullptr, nullptr, applies, startsGroup, create};
}

// Ends the view's mouse edit before the key of an action reaches it: the
// edit is then a step of its own, which the action's step can take back.
class MouseEditEndsFirst : public QObject
{
public:
    MouseEditEndsFirst(QObject *parent, std::function<void()> endMouseEdit)
        : QObject(parent), m_endMouseEdit(std::move(endMouseEdit))
    {
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Shortcut)
            m_endMouseEdit();
        return false;
    }

private:
    std::function<void()> m_endMouseEdit;
};

} // namespace

#define TEXT(text) QT_TRANSLATE_NOOP("TessivoDemo", text)

const std::vector<TessivoDemo::Command> &TessivoDemo::commandTable()
{
    using D = TessivoDemo;
    static const std::vector<Command> table{
        command("openTestCase", TEXT("Open test case..."), QKeySequence::Open, &D::openTestCase, &D::always),
        command("importPhotograph", TEXT("Import photograph..."), "Ctrl+I", &D::importPhotograph, &D::always),
        command("loadGridFile", TEXT("Load grid file..."), "Ctrl+L", &D::loadGridSlot, &D::hasCase),
        command("saveGridFile", TEXT("Save grid file..."), QKeySequence::Save, &D::saveGridSlot, &D::hasCase),
        command("saveViewAsImage", TEXT("Save view as image..."), "Ctrl+Shift+S", &D::saveToImageSlot, &D::hasCase),
        command("exportFacadeMesh", TEXT("Export facade mesh..."), "Ctrl+E", &D::saveFacadeToMeshSlot,
                &D::hasShutterCase, true),
        command("exportGltf", TEXT("Export for 3D tools (glTF)..."), "Ctrl+Alt+E", &D::exportGltf,
                &D::hasShutterCase),
        command("placeWindowObjects", TEXT("Place 3D window objects..."), "Ctrl+Shift+E", &D::gen3DWindowObjsSlot,
                &D::hasShutterCase),
        command("randomShutterAngles", TEXT("Random shutter angles"), "Ctrl+R", &D::randomShutterAngleSlot,
                &D::hasShutterCase),
        historyStep("undo", TEXT("Undo"), QKeySequence::Undo, &D::createUndoAction, &D::canUndo, true),
        historyStep("redo", TEXT("Redo"), QKeySequence::Redo, &D::createRedoAction, &D::canRedo),
        option("dragAllBlinds", TEXT("Drag all blinds"), "Ctrl+B", &D::dragAllBlindsToggledSlot,
               &D::dragAllBlindsOn, &D::hasBlindCase, true),
        option("turnAllShutters", TEXT("Turn all shutters together"), "Ctrl+T", &D::rotateAllShuttersToggledSlot,
               &D::rotateAllShuttersOn, &D::hasShutterCase),
        option("showOriginalPhotograph", TEXT("Show original photograph"), "Ctrl+P",
               &D::showOriginalImageToggledSlot, &D::originalImageShown, &D::always),
        option("showGrid", TEXT("Show grid"), "Ctrl+G", &D::showGridOption, &D::gridShown, &D::always),
        option("showInOriginalView", TEXT("Show in original view"), "Ctrl+Shift+O", &D::showOriginalViewOption,
               &D::originalViewShown, &D::always),
        command("help", TEXT("Help"), QKeySequence::HelpContents, &D::showHelp, &D::always, true),
    };
    return table;
}

#undef TEXT

// The actions belong to the dialog, so that their keys work wherever the
// focus is in it.
void TessivoDemo::buildCommands()
{
    auto *endsFirst = new MouseEditEndsFirst(this, [this] { facadeView->endMouseEdit(); });
    for (const Command &c : commandTable()) {
        QAction *action = c.create ? (this->*c.create)(tr(c.text)) : new QAction(tr(c.text), this);
        action->setObjectName(QLatin1String(c.name));
        if (c.keys.portable)
            action->setShortcut(QKeySequence(QLatin1String(c.keys.portable)));
        else
            action->setShortcuts(c.keys.standard);
        // A mouse edit still open (a key pressed while the button is held)
        // ends first: a command may open a modal dialog, which takes the
        // mouse, so the release would never reach the view. The history's
        // steps end it themselves, but the key ends it before: the edit is
        // then a step the key takes back.
        if (c.create) {
            action->installEventFilter(endsFirst);
        } else if (c.run) {
            connect(action, &QAction::triggered, this, [this, run = c.run] {
                facadeView->endMouseEdit();
                (this->*run)();
            });
        } else {
            action->setCheckable(true);
            // The state the dialog has decides, not the action's own check mark.
            connect(action, &QAction::triggered, this, [this, turn = c.turn, isOn = c.isOn] {
                facadeView->endMouseEdit();
                (this->*turn)(!(this->*isOn)());
                updateCommandStates();
            });
        }
        addAction(action);
        m_commands.push_back(action);
    }
}

void TessivoDemo::updateCommandStates()
{
    const std::vector<Command> &table = commandTable();
    for (std::size_t i = 0; i < table.size() && i < m_commands.size(); ++i) {
        m_commands[i]->setEnabled((this->*table[i].applies)());
        if (table[i].isOn)
            m_commands[i]->setChecked((this->*table[i].isOn)());
    }
}

// A mouse edit still open in the view ends first: the menu takes the mouse,
// so its release would never reach the view.
void TessivoDemo::showCommands(const QPoint &globalPos)
{
    facadeView->endMouseEdit();
    updateCommandStates();
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("commandMenu"));
    const std::vector<Command> &table = commandTable();
    for (std::size_t i = 0; i < table.size() && i < m_commands.size(); ++i) {
        if (table[i].startsGroup)
            menu.addSeparator();
        menu.addAction(m_commands[i]);
    }
    menu.exec(globalPos);
}

// The help lists the keys of the same actions the menus show.
void TessivoDemo::showHelp()
{
    if (!m_helpWindow) {
        std::vector<std::pair<QString, QString>> keys;
        for (const QAction *action : m_commands) {
            if (!action->shortcut().isEmpty())
                keys.emplace_back(action->text().remove(QStringLiteral("...")),
                                  action->shortcut().toString(QKeySequence::NativeText));
        }
        m_helpWindow = new HelpWindow(keys, this);
    }
    m_helpWindow->show();
    m_helpWindow->raise();
    m_helpWindow->activateWindow();
}

QAction *TessivoDemo::createUndoAction(const QString &text)
{
    return m_session->history().createUndoAction(this, text);
}

QAction *TessivoDemo::createRedoAction(const QString &text)
{
    return m_session->history().createRedoAction(this, text);
}

bool TessivoDemo::always() const
{
    return true;
}

bool TessivoDemo::hasCase() const
{
    return windowData != nullptr;
}

bool TessivoDemo::hasBlindCase() const
{
    return windowData && windowData->isBlindCase();
}

bool TessivoDemo::hasShutterCase() const
{
    return windowData && windowData->isShutterCase();
}

bool TessivoDemo::canUndo() const
{
    return m_session->history().canUndo();
}

bool TessivoDemo::canRedo() const
{
    return m_session->history().canRedo();
}

bool TessivoDemo::dragAllBlindsOn() const
{
    return facadeView->dragAllBlinds;
}

bool TessivoDemo::rotateAllShuttersOn() const
{
    return rotateAllShutters;
}

bool TessivoDemo::originalImageShown() const
{
    return facadeView->showOriginalImage;
}

bool TessivoDemo::gridShown() const
{
    return ui.checkBoxShowGrid->isChecked();
}

bool TessivoDemo::originalViewShown() const
{
    return ui.checkBoxShowInOriginalView->isChecked();
}

// The two options with a check box go through it, so that box, option and
// menu agree.
void TessivoDemo::showGridOption(bool flag)
{
    ui.checkBoxShowGrid->setChecked(flag);
}

void TessivoDemo::showOriginalViewOption(bool flag)
{
    ui.checkBoxShowInOriginalView->setChecked(flag);
}
