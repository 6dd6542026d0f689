// Every command within reach of the real dialog: its key, the context menu of
// the view and of the control panel, the help, the states of the commands;
// stray keys and closing lose no edit; failures name their file; the small
// faults of use stay fixed.
#include "DialogFixture.h"
#include "DialogInput.h"
#include "FacadeGLWidget.h"
#include "KeepGLDriver.h"
#include "ModalAnswerer.h"
#include "QWindowData2D.h"
#include "TestCaseBuilder.h"
#include "TestFiles.h"

#include <QtTest>

#include <QAction>
#include <QLabel>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <cstdlib>
#include <functional>
#include <memory>

using namespace DialogInput;

namespace {

const CasePlan kBlind{2, 3, 20, 24, 160, 120, false};
const CasePlan kShutter{2, 3, 20, 24, 160, 120, true};

enum Load { NoCase, BlindCase, ShutterCase };

// One command of the dialog: its key, the case it needs, and how the user
// sees that it ran (a file dialog with this title, or a check).
struct CommandCase {
    const char *action;
    QKeySequence keys;
    Load load;
    const char *dialogTitle;
    std::function<void(TessivoDemo &)> prepare;
    std::function<bool(TessivoDemo &)> ran;
};

QAction *actionNamed(TessivoDemo &dialog, const QString &name)
{
    return dialog.findChild<QAction *>(name);
}

bool anglesTurned(TessivoDemo &dialog)
{
    for (const FacadeWindow &w : dialog.windowData->windows[0]) {
        if (w.leftAngle != 0.0 || w.rightAngle != 0.0)
            return true;
    }
    return false;
}

QString helpText(TessivoDemo &dialog)
{
    auto *help = dialog.findChild<QWidget *>(QStringLiteral("helpWindow"));
    auto *text = help ? help->findChild<QLabel *>(QStringLiteral("helpText")) : nullptr;
    return help && help->isVisible() && text ? text->text() : QString();
}

// The commands in menu order.
const std::vector<CommandCase> &commandCases()
{
    static const std::vector<CommandCase> cases{
        {"openTestCase", QKeySequence(QKeySequence::Open), NoCase, "Open test case", nullptr, nullptr},
        {"importPhotograph", QKeySequence("Ctrl+I"), NoCase, "Import photograph", nullptr, nullptr},
        {"loadGridFile", QKeySequence("Ctrl+L"), BlindCase, "Load a grid file", nullptr, nullptr},
        {"saveGridFile", QKeySequence(QKeySequence::Save), BlindCase, "Save a grid file", nullptr, nullptr},
        {"saveViewAsImage", QKeySequence("Ctrl+Shift+S"), BlindCase, "Save to image", nullptr, nullptr},
        {"exportFacadeMesh", QKeySequence("Ctrl+E"), ShutterCase, "Save facade to mesh file", nullptr, nullptr},
        {"exportGltf", QKeySequence("Ctrl+Alt+E"), ShutterCase, "Export for 3D tools (glTF)", nullptr, nullptr},
        {"placeWindowObjects", QKeySequence("Ctrl+Shift+E"), ShutterCase, "Load window obj", nullptr, nullptr},
        {"randomShutterAngles", QKeySequence("Ctrl+R"), ShutterCase, nullptr, nullptr, anglesTurned},
        {"undo", QKeySequence(QKeySequence::Undo), BlindCase, nullptr,
         [](TessivoDemo &d) { d.ui.spinBoxRow->setValue(3); },
         [](TessivoDemo &d) { return d.windowData->rows == 2 && d.ui.spinBoxRow->value() == 2; }},
        {"redo", QKeySequence(QKeySequence::Redo), BlindCase, nullptr,
         [](TessivoDemo &d) {
             d.ui.spinBoxRow->setValue(3);
             actionNamed(d, QStringLiteral("undo"))->trigger();
         },
         [](TessivoDemo &d) { return d.windowData->rows == 3 && d.ui.spinBoxRow->value() == 3; }},
        {"dragAllBlinds", QKeySequence("Ctrl+B"), BlindCase, nullptr, nullptr,
         [](TessivoDemo &d) { return d.facadeView->dragAllBlinds; }},
        {"turnAllShutters", QKeySequence("Ctrl+T"), ShutterCase, nullptr, nullptr,
         [](TessivoDemo &d) { return d.rotateAllShutters; }},
        {"showOriginalPhotograph", QKeySequence("Ctrl+P"), NoCase, nullptr, nullptr,
         [](TessivoDemo &d) { return d.facadeView->showOriginalImage; }},
        {"showGrid", QKeySequence("Ctrl+G"), NoCase, nullptr, nullptr,
         [](TessivoDemo &d) { return !d.ui.checkBoxShowGrid->isChecked() && !d.facadeView->showGrid; }},
        {"showInOriginalView", QKeySequence("Ctrl+Shift+O"), NoCase, nullptr, nullptr,
         [](TessivoDemo &d) {
             return d.ui.checkBoxShowInOriginalView->isChecked() && d.facadeView->showInOriginalView;
         }},
        {"help", QKeySequence(QKeySequence::HelpContents), NoCase, nullptr, nullptr,
         [](TessivoDemo &d) {
             // The help lists the key of every command that has one.
             const QString text = helpText(d);
             for (const CommandCase &c : commandCases()) {
                 if (text.isEmpty() || !text.contains(c.keys.toString(QKeySequence::NativeText).toHtmlEscaped()))
                     return false;
             }
             return true;
         }},
    };
    return cases;
}

enum Way { ByKey, ByViewMenu, ByPanelMenu };

} // namespace

class TestDialogReach : public QObject
{
    Q_OBJECT

public:
    static void initMain() { QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs); }

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void everyCommandRuns_data();
    void everyCommandRuns();
    void commandsThatCannotApplyAreDisabled_data();
    void commandsThatCannotApplyAreDisabled();
    void optionsFollowTheirCheckBoxes();
    void strayKeysLoseNothing_data();
    void strayKeysLoseNothing();
    void unsavedEditsAskFirst_data();
    void unsavedEditsAskFirst();
    void openTestCaseLoadsLikeTheLoadButton_data();
    void openTestCaseLoadsLikeTheLoadButton();
    void failureMessagesNameTheirFile_data();
    void failureMessagesNameTheirFile();
    void exportAsksOnceBeforeReplacing();
    void fileDialogsStartInTheWorkingDirectory();
    void cursorsAndControlsFollowTheSelection();

private:
    void load(Load what);

    QTemporaryDir workDir;
    QString root;    // Tessivo_TestCases
    QString scratch; // files the tests write
    std::unique_ptr<DialogFixture> fixture;
    std::unique_ptr<ModalAnswerer> answerer;
};

void TestDialogReach::initTestCase()
{
    QVERIFY(workDir.isValid());
    root = workDir.path() + QStringLiteral("/Tessivo_TestCases");
    QVERIFY(writeTestCase(root + "/blinds", "1_temp.jpg", kBlind));
    QVERIFY(writeTestCase(root + "/shutters", "1.jpg", kShutter));
    scratch = workDir.path() + QStringLiteral("/scratch");
    QVERIFY(QDir().mkpath(scratch));
}

void TestDialogReach::cleanupTestCase()
{
    keepGLDriverLoaded();
}

void TestDialogReach::init()
{
    std::srand(77);
    fixture = std::make_unique<DialogFixture>(workDir.path());
    QVERIFY(fixture->exposed());
    answerer = std::make_unique<ModalAnswerer>();
}

void TestDialogReach::cleanup()
{
    answerer.reset();
    fixture.reset();
}

void TestDialogReach::load(Load what)
{
    if (what == NoCase)
        return;
    fixture->clickLoad(what == ShutterCase, 0);
    QVERIFY(fixture->model());
    QVERIFY(answerer->seen().empty());
}

void TestDialogReach::everyCommandRuns_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("way");
    for (std::size_t i = 0; i < commandCases().size(); ++i) {
        const char *name = commandCases()[i].action;
        QTest::addRow("%s by key", name) << int(i) << int(ByKey);
        QTest::addRow("%s from the view's menu", name) << int(i) << int(ByViewMenu);
        QTest::addRow("%s from the panel's menu", name) << int(i) << int(ByPanelMenu);
    }
}

// Each command runs from its key and from both context menus, which list
// every command of the dialog in order; a right press changes nothing.
void TestDialogReach::everyCommandRuns()
{
    QFETCH(int, command);
    QFETCH(int, way);
    const CommandCase &c = commandCases()[std::size_t(command)];
    TessivoDemo &dialog = fixture->dialog();
    load(c.load);
    QVERIFY(activate(dialog));
    if (c.prepare)
        c.prepare(dialog);
    QAction *action = actionNamed(dialog, QLatin1String(c.action));
    QVERIFY(action);
    QCOMPARE(action->shortcut(), c.keys);
    const bool wasChecked = action->isChecked();

    if (way == ByKey) {
        QVERIFY(typeKeys(dialog, c.keys));
    } else {
        FacadeGLWidget *view = dialog.facadeView;
        QWidget *widget = way == ByViewMenu ? static_cast<QWidget *>(view) : dialog.ui.label;
        const QPoint pos = way == ByViewMenu ? caseWindowRect(kBlind, 1, 1).center() : QPoint(2, 2);
        const QByteArray gridBefore = dialog.windowData ? gridText(*dialog.windowData) : QByteArray();
        if (way == ByViewMenu) {
            move(*view, pos);
            press(*view, pos, Qt::RightButton);
            release(*view, pos, Qt::RightButton);
            QCOMPARE(view->selectedWindowIndex(), -1);
            QCOMPARE(dialog.windowData ? gridText(*dialog.windowData) : QByteArray(), gridBefore);
        }
        bool enabled = false;
        const QStringList shown = chooseFromMenu(*widget, pos, QLatin1String(c.action), &enabled);
        QVERIFY(enabled);
        QStringList expected;
        for (const CommandCase &each : commandCases())
            expected << QLatin1String(each.action);
        QCOMPARE(shown.filter(QRegularExpression("^[^-]")), expected);
    }

    if (c.dialogTitle) {
        QVERIFY(!answerer->seen().empty());
        QCOMPARE(answerer->seen().front().title, QLatin1String(c.dialogTitle));
    } else {
        QVERIFY(answerer->seen().empty());
        QVERIFY(c.ran(dialog));
    }
    if (action->isCheckable()) // the option turned, and its check mark with it
        QCOMPARE(action->isChecked(), !wasChecked);
}

void TestDialogReach::commandsThatCannotApplyAreDisabled_data()
{
    QTest::addColumn<int>("load");
    QTest::addColumn<QStringList>("enabled");
    const QStringList always{"openTestCase", "importPhotograph", "showOriginalPhotograph", "showGrid", "showInOriginalView", "help"};
    const QStringList withCase{"loadGridFile", "saveGridFile", "saveViewAsImage"};
    QTest::newRow("no case") << int(NoCase) << always;
    QTest::newRow("blind case") << int(BlindCase) << always + withCase + QStringList{"dragAllBlinds"};
    QTest::newRow("shutter case") << int(ShutterCase)
                                  << always + withCase
                                         + QStringList{"exportFacadeMesh", "exportGltf", "placeWindowObjects",
                                                       "randomShutterAngles", "turnAllShutters"};
}

// The enabled commands of each state; undo and redo only with a step to take.
void TestDialogReach::commandsThatCannotApplyAreDisabled()
{
    QFETCH(int, load);
    QFETCH(QStringList, enabled);
    TessivoDemo &dialog = fixture->dialog();
    this->load(Load(load));
    const auto enabledNow = [&dialog] {
        QStringList names;
        for (const CommandCase &c : commandCases()) {
            if (actionNamed(dialog, QLatin1String(c.action))->isEnabled())
                names << QLatin1String(c.action);
        }
        names.sort();
        return names;
    };
    enabled.sort();
    QCOMPARE(enabledNow(), enabled);
    QCOMPARE(dialog.ui.pushButtonResetStructure->isEnabled(), load != NoCase);
    if (load != BlindCase)
        return;
    dialog.ui.spinBoxRow->setValue(3);
    QVERIFY(actionNamed(dialog, "undo")->isEnabled());
    QVERIFY(!actionNamed(dialog, "redo")->isEnabled());
    actionNamed(dialog, "undo")->trigger();
    QVERIFY(!actionNamed(dialog, "undo")->isEnabled());
    QVERIFY(actionNamed(dialog, "redo")->isEnabled());
}

// A check box clicked, the menu shows the option's new state; the option's
// key turns the check box back.
void TestDialogReach::optionsFollowTheirCheckBoxes()
{
    TessivoDemo &dialog = fixture->dialog();
    QVERIFY(activate(dialog));
    const struct {
        QCheckBox *box;
        const char *action;
        QKeySequence keys;
    } options[] = {{dialog.ui.checkBoxShowGrid, "showGrid", QKeySequence("Ctrl+G")},
                   {dialog.ui.checkBoxShowInOriginalView, "showInOriginalView", QKeySequence("Ctrl+Shift+O")}};
    for (const auto &option : options) {
        QAction *action = actionNamed(dialog, option.action);
        const bool was = option.box->isChecked();
        QTest::mouseClick(option.box, Qt::LeftButton);
        QCOMPARE(option.box->isChecked(), !was);
        chooseFromMenu(*dialog.ui.label, QPoint(2, 2), QStringLiteral("none"));
        QCOMPARE(action->isChecked(), !was);
        QVERIFY(typeKeys(dialog, option.keys));
        QCOMPARE(option.box->isChecked(), was);
        QCOMPARE(action->isChecked(), was);
    }
    QCOMPARE(dialog.facadeView->showGrid, dialog.ui.checkBoxShowGrid->isChecked());
    QCOMPARE(dialog.facadeView->showInOriginalView, dialog.ui.checkBoxShowInOriginalView->isChecked());
}

void TestDialogReach::strayKeysLoseNothing_data()
{
    QTest::addColumn<QString>("focus"); // "view", "rows", "cols"
    QTest::addColumn<QString>("typed"); // digits typed over the spin box's text first
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("rows"); // the grid's rows afterwards
    QTest::addColumn<int>("cols");

    QTest::newRow("Escape in the view") << "view" << "" << int(Qt::Key_Escape) << 3 << 3;
    QTest::newRow("Escape in a spin box") << "rows" << "" << int(Qt::Key_Escape) << 3 << 3;
    QTest::newRow("Return in the view") << "view" << "" << int(Qt::Key_Return) << 3 << 3;
    QTest::newRow("Return after typing rows") << "rows" << "4" << int(Qt::Key_Return) << 4 << 3;
    QTest::newRow("Enter after typing columns") << "cols" << "2" << int(Qt::Key_Enter) << 3 << 2;
}

// With an unsaved edit (3 rows), the key neither closes the window nor
// presses a Load button: the edit stays, and a typed count is applied.
void TestDialogReach::strayKeysLoseNothing()
{
    QFETCH(QString, focus);
    QFETCH(QString, typed);
    QFETCH(int, key);
    QFETCH(int, rows);
    QFETCH(int, cols);
    TessivoDemo &dialog = fixture->dialog();
    load(BlindCase);
    QVERIFY(activate(dialog));
    dialog.ui.spinBoxRow->setValue(3);
    const QWindowData2D *model = fixture->model();
    QSignalSpy blindLoad(dialog.ui.pushButton2DWindowBlindLoad, &QPushButton::released);
    QSignalSpy shutterLoad(dialog.ui.pushButton2DWindowShutterLoad, &QPushButton::released);
    QSignalSpy blindClick(dialog.ui.pushButton2DWindowBlindLoad, &QPushButton::clicked);

    QWidget *target = focus == "view" ? static_cast<QWidget *>(dialog.facadeView)
                      : focus == "rows" ? static_cast<QWidget *>(dialog.ui.spinBoxRow)
                                        : static_cast<QWidget *>(dialog.ui.spinBoxCol);
    target->setFocus();
    QTRY_VERIFY(target->hasFocus());
    if (!typed.isEmpty()) {
        QTest::keyClick(target, Qt::Key_A, Qt::ControlModifier); // select the text
        QTest::keyClicks(target, typed);
    }
    QTest::keyClick(target, Qt::Key(key));
    QTest::qWait(50);

    QVERIFY(dialog.isVisible());
    QCOMPARE(blindLoad.count() + shutterLoad.count() + blindClick.count(), 0);
    QCOMPARE(fixture->model(), model);
    QCOMPARE(model->rows, rows);
    QCOMPARE(model->cols, cols);
    QVERIFY(answerer->seen().empty());
    QVERIFY(actionNamed(dialog, "undo")->isEnabled());
}

void TestDialogReach::unsavedEditsAskFirst_data()
{
    QTest::addColumn<QString>("request"); // "close" or "load"
    QTest::addColumn<bool>("edit");
    QTest::addColumn<bool>("savedFirst");
    QTest::addColumn<int>("answer"); // the button queued for the question
    QTest::addColumn<bool>("fileChosen");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("done"); // the window closed, or the other case loaded
    QTest::addColumn<bool>("written");

    QTest::newRow("close without an edit") << "close" << false << false << 0 << false << false << true << false;
    QTest::newRow("close after saving") << "close" << true << true << 0 << false << false << true << true;
    QTest::newRow("close, Cancel") << "close" << true << false << int(QMessageBox::Cancel) << false << true
                                   << false << false;
    QTest::newRow("close, Discard") << "close" << true << false << int(QMessageBox::Discard) << false << true
                                    << true << false;
    QTest::newRow("close, Save") << "close" << true << false << int(QMessageBox::Save) << true << true << true
                                 << true;
    QTest::newRow("close, Save but no file") << "close" << true << false << int(QMessageBox::Save) << false
                                             << true << false << false;
    QTest::newRow("load, Cancel") << "load" << true << false << int(QMessageBox::Cancel) << false << true
                                  << false << false;
    QTest::newRow("load, Save") << "load" << true << false << int(QMessageBox::Save) << true << true << true
                                << true;
    QTest::newRow("load after saving") << "load" << true << true << 0 << false << false << true << true;
}

// The question comes only with unsaved edits; Cancel keeps everything,
// Discard goes on, Save writes the grid file first (and a save that does not
// happen stops).
void TestDialogReach::unsavedEditsAskFirst()
{
    QFETCH(QString, request);
    QFETCH(bool, edit);
    QFETCH(bool, savedFirst);
    QFETCH(int, answer);
    QFETCH(bool, fileChosen);
    QFETCH(bool, asked);
    QFETCH(bool, done);
    QFETCH(bool, written);
    TessivoDemo &dialog = fixture->dialog();
    load(BlindCase);
    const QString path = scratch + QStringLiteral("/unsaved-%1.txt").arg(QTest::currentDataTag());
    QFile::remove(path);
    if (edit)
        dialog.ui.spinBoxCol->setValue(2);
    QWindowData2D *model = fixture->model();
    const QByteArray grid = gridText(*model);
    if (savedFirst) {
        answerer->queueFileName(path);
        QVERIFY(QMetaObject::invokeMethod(&dialog, "saveGridSlot"));
        QVERIFY(QFileInfo::exists(path));
        answerer->clear();
    }
    if (answer != 0)
        answerer->queueButton(QMessageBox::StandardButton(answer));
    if (answer == QMessageBox::Save)
        answerer->queueFileName(fileChosen ? path : QString());

    bool closed = false;
    if (request == "close") {
        closed = dialog.close();
        QCOMPARE(closed, done);
        QCOMPARE(dialog.isVisible(), !done);
    } else {
        fixture->clickLoad(true, 0);
        QCOMPARE(fixture->model()->isShutterCase(), done);
        if (!done) {
            QCOMPARE(fixture->model(), model);
            QCOMPARE(gridText(*model), grid);
        }
    }
    const bool questionSeen = !answerer->seen().empty() && answerer->seen().front().className == "QMessageBox";
    QCOMPARE(questionSeen, asked);
    if (asked) {
        QCOMPARE(answerer->seen().front().buttons, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
        QVERIFY(!answerer->seen().front().text.isEmpty());
    }
    QCOMPARE(QFileInfo::exists(path), written);
    if (written)
        QCOMPARE(fileBytes(path), grid);
}

void TestDialogReach::openTestCaseLoadsLikeTheLoadButton_data()
{
    QTest::addColumn<bool>("shutter");
    QTest::newRow("blind") << false;
    QTest::newRow("shutter") << true;
}

// A photograph of any test-case tree, here one that the dialog's search would
// never find; its folder gives the kind.
void TestDialogReach::openTestCaseLoadsLikeTheLoadButton()
{
    QFETCH(bool, shutter);
    const QString kindFolder = scratch + (shutter ? "/elsewhere/shutters" : "/elsewhere/blinds");
    const QString photo = shutter ? "6.jpg" : "7.jpg";
    QVERIFY(writeTestCase(kindFolder, photo, shutter ? kShutter : kBlind));
    TessivoDemo &dialog = fixture->dialog();
    QVERIFY(activate(dialog));
    answerer->queueFileName(kindFolder + "/" + photo);
    QVERIFY(typeKeys(dialog, QKeySequence(QKeySequence::Open)));
    QCOMPARE(int(answerer->seen().size()), 1);
    verifyLoadedCase(dialog, shutter);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(windowsAreDetected(*fixture->model()));
    QCOMPARE(QString::fromStdString(dialog.imageFileName), photo);
    QCOMPARE(QString::fromStdString(dialog.testCaseFolder), kindFolder);
    QCOMPARE(dialog.ui.spinBoxRow->value(), 2);
    QCOMPARE(dialog.ui.spinBoxCol->value(), 3);
    QVERIFY(!actionNamed(dialog, "undo")->isEnabled());
}

namespace {
enum Failing {
    ExportOfBlindCase,
    PlacementInBlindCase,
    GridFileUnwritable,
    ScreenshotUnwritable,
    ExportUnwritable,
    TemplateOverwritten,
    RootMissing,
    CaseBroken,
    RowsDoNotFit,
    NotATestCase
};
}

void TestDialogReach::failureMessagesNameTheirFile_data()
{
    QTest::addColumn<int>("failing");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text"); // the message itself, when the program fixes it
    QTest::addColumn<QStringList>("named");

    const QString missing = QStringLiteral("/no-such-folder/");
    QTest::newRow("export of a blind case") << int(ExportOfBlindCase) << "Save facade to mesh file" << ""
                                            << QStringList{"1_temp.jpg"};
    QTest::newRow("placement in a blind case") << int(PlacementInBlindCase) << "Gen 3D window objs"
                                               << "Only support for shutter type now!!"
                                               << QStringList{"1_temp.jpg"};
    QTest::newRow("grid file") << int(GridFileUnwritable) << "Save a grid file" << ""
                               << QStringList{missing + "grid.txt"};
    QTest::newRow("screenshot") << int(ScreenshotUnwritable) << "Save to image" << ""
                                << QStringList{missing + "shot.png"};
    QTest::newRow("export") << int(ExportUnwritable) << "Save facade to mesh file" << ""
                            << QStringList{missing + "facade.obj"};
    QTest::newRow("template overwritten") << int(TemplateOverwritten) << "Gen 3D window objs" << ""
                                          << QStringList{"leftshutter_0.obj"};
    QTest::newRow("no test-case root") << int(RootMissing) << "Load test case" << "Test case folder not found"
                                       << QStringList{"Tessivo_TestCases"}; // and the folder it started in
    QTest::newRow("broken test case") << int(CaseBroken) << "Load test case" << "Blind data load error!"
                                      << QStringList{"grids.txt"};
    QTest::newRow("rows that do not fit") << int(RowsDoNotFit) << "Change the grid" << ""
                                          << QStringList{"6 rows of 24 pixels", "120 pixels high", "5 rows fit"};
    QTest::newRow("photograph outside a test case") << int(NotATestCase) << "Open test case" << ""
                                                    << QStringList{"/photos/1.jpg"};
}

// The message that stops a command names its file (or its count) and the
// reason; the program's own message texts stay as they are.
void TestDialogReach::failureMessagesNameTheirFile()
{
    QFETCH(int, failing);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(QStringList, named);
    TessivoDemo &dialog = fixture->dialog();
    const QString missing = scratch + "/no-such-folder/";
    switch (Failing(failing)) {
    case ExportOfBlindCase:
        load(BlindCase);
        QVERIFY(QMetaObject::invokeMethod(&dialog, "saveFacadeToMeshSlot"));
        break;
    case PlacementInBlindCase:
        load(BlindCase);
        QVERIFY(QMetaObject::invokeMethod(&dialog, "gen3DWindowObjsSlot"));
        break;
    case GridFileUnwritable:
        load(BlindCase);
        answerer->queueFileName(missing + "grid.txt");
        QVERIFY(QMetaObject::invokeMethod(&dialog, "saveGridSlot"));
        break;
    case ScreenshotUnwritable:
        load(BlindCase);
        answerer->queueFileName(missing + "shot.png");
        QVERIFY(QMetaObject::invokeMethod(&dialog, "saveToImageSlot"));
        break;
    case ExportUnwritable:
        load(ShutterCase);
        answerer->queueFileName(missing + "facade.obj");
        QVERIFY(QMetaObject::invokeMethod(&dialog, "saveFacadeToMeshSlot"));
        break;
    case TemplateOverwritten: {
        load(ShutterCase);
        // The left template is named like the first left leaf it would write.
        const QString folder = scratch + "/templates";
        QVERIFY(QDir().mkpath(folder));
        const QByteArray quad("v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nf 1 2 3 4\n");
        QVERIFY(writeBytes(folder + "/window.obj", quad));
        QVERIFY(writeBytes(folder + "/leftshutter_0.obj", quad));
        for (const char *name : {"/window.obj", "/leftshutter_0.obj", "/window.obj"})
            answerer->queueFileName(folder + name);
        QVERIFY(QMetaObject::invokeMethod(&dialog, "gen3DWindowObjsSlot"));
        QCOMPARE(fileBytes(folder + "/leftshutter_0.obj"), quad);
        break;
    }
    case RootMissing: {
        QTemporaryDir empty;
        QVERIFY(empty.isValid());
        if (rootEntryAbove(empty.path()))
            QSKIP("a Tessivo_TestCases entry lies above the temporary folder");
        QVERIFY(QDir::setCurrent(empty.path()));
        named << QDir(empty.path()).absolutePath();
        fixture->clickLoad(false, 0);
        break;
    }
    case CaseBroken: {
        const QString broken = scratch + "/broken/Tessivo_TestCases/blinds";
        QVERIFY(writeTestCase(broken, "1_temp.jpg", kBlind));
        QVERIFY(QFile::remove(broken + "/1_temp/grids.txt"));
        QVERIFY(QDir::setCurrent(scratch + "/broken"));
        fixture->clickLoad(false, 0);
        break;
    }
    case RowsDoNotFit: {
        load(BlindCase);
        QVERIFY(activate(dialog));
        const std::vector<FacadeWindow> before = fixture->model()->windows[0];
        QSignalSpy rows(dialog.ui.spinBoxRow, QOverload<int>::of(&QSpinBox::valueChanged));
        dialog.ui.spinBoxRow->setFocus();
        QTest::keyClick(dialog.ui.spinBoxRow, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(dialog.ui.spinBoxRow, "6");
        QCOMPARE(rows.count(), 1); // no second restructuring to put the count back
        QCOMPARE(dialog.ui.spinBoxRow->value(), 2);
        QCOMPARE(fixture->model()->windows[0].size(), before.size());
        QVERIFY(!actionNamed(dialog, "undo")->isEnabled());
        break;
    }
    case NotATestCase: {
        const QString photos = scratch + "/photos";
        QVERIFY(QDir().mkpath(photos));
        QVERIFY(QFile::copy(root + "/shutters/1.jpg", photos + "/1.jpg") || QFileInfo::exists(photos + "/1.jpg"));
        answerer->queueFileName(photos + "/1.jpg");
        QVERIFY(activate(dialog));
        QVERIFY(typeKeys(dialog, QKeySequence(QKeySequence::Open)));
        QVERIFY(!fixture->model());
        break;
    }
    }
    QVERIFY(!answerer->seen().empty());
    const ModalRecord &message = answerer->seen().back();
    QCOMPARE(message.className, QStringLiteral("QMessageBox"));
    QCOMPARE(message.title, title);
    QCOMPARE(message.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    if (!text.isEmpty())
        QCOMPARE(message.text, text);
    for (const QString &name : named)
        QVERIFY2((message.text + " " + message.informativeText).contains(name),
                 qPrintable(message.text + " / " + message.informativeText + " lacks " + name));
}

// The first export into a folder asks nothing; the next asks once, saying how
// many files of which names it replaces; Cancel leaves them as they are.
void TestDialogReach::exportAsksOnceBeforeReplacing()
{
    TessivoDemo &dialog = fixture->dialog();
    load(ShutterCase);
    const QString out = scratch + "/export-once";
    QVERIFY(QDir().mkpath(out));
    const QString obj = out + "/facade.obj";
    answerer->queueFileName(obj);
    QVERIFY(QMetaObject::invokeMethod(&dialog, "saveFacadeToMeshSlot"));
    QCOMPARE(int(answerer->seen().size()), 1);
    const QStringList written = QDir(out).entryList(QDir::Files);
    QCOMPARE(written.size(), 3 + 5 * 6 + 4);
    const QByteArray window0 = fileBytes(out + "/window_0.obj");
    QVERIFY(!window0.isEmpty());
    QVERIFY(writeBytes(out + "/window_0.obj", "kept"));

    for (const QMessageBox::StandardButton answer : {QMessageBox::Cancel, QMessageBox::Yes}) {
        answerer->clear();
        answerer->queueFileName(obj);
        answerer->queueButton(answer);
        QVERIFY(QMetaObject::invokeMethod(&dialog, "saveFacadeToMeshSlot"));
        QCOMPARE(int(answerer->seen().size()), 2);
        const ModalRecord &question = answerer->seen().back();
        QCOMPARE(question.className, QStringLiteral("QMessageBox"));
        QCOMPARE(question.text, QStringLiteral("%1 files will be replaced.").arg(written.size()));
        QVERIFY(question.informativeText.contains("facade.obj, facade.mtl, materialFacade.png"));
        for (const QString &name : written)
            QVERIFY2(question.detailedText.contains(out + "/" + name), qPrintable(name));
        QCOMPARE(fileBytes(out + "/window_0.obj"), answer == QMessageBox::Yes ? window0 : QByteArray("kept"));
    }
}

// Before any choice a dialog opens in the working directory; then each kind
// of file opens where its last file was chosen. A screenshot named without
// an extension gets ".png".
void TestDialogReach::fileDialogsStartInTheWorkingDirectory()
{
    TessivoDemo &dialog = fixture->dialog();
    load(BlindCase);
    const QString shots = scratch + "/shots";
    QVERIFY(QDir().mkpath(shots));
    QFile::remove(shots + "/view.png");
    answerer->queueFileName(shots + "/view");
    QVERIFY(QMetaObject::invokeMethod(&dialog, "saveToImageSlot"));
    QVERIFY(QFileInfo::exists(shots + "/view.png"));
    QVERIFY(!QFileInfo::exists(shots + "/view"));
    QVERIFY(!QImage(shots + "/view.png").isNull());

    answerer->queueFileName(QString());
    QVERIFY(QMetaObject::invokeMethod(&dialog, "saveToImageSlot"));
    answerer->queueFileName(QString());
    QVERIFY(QMetaObject::invokeMethod(&dialog, "loadGridSlot"));
    // The working directory changes: a kind not yet used follows it.
    QVERIFY(QDir::setCurrent(scratch));
    answerer->queueFileName(QString());
    QVERIFY(QMetaObject::invokeMethod(&dialog, "saveGridSlot"));
    const std::vector<ModalRecord> &seen = answerer->seen();
    QCOMPARE(int(seen.size()), 4);
    QCOMPARE(seen[0].directory, QDir(workDir.path()).absolutePath());
    QCOMPARE(seen[1].directory, shots);
    QCOMPARE(seen[2].directory, QDir(workDir.path()).absolutePath());
    QCOMPARE(seen[3].directory, scratch);
}

// The edit shapes of the cursor and the enabled controls follow the
// selection: Reset leaves the arrow and disables the sliders; a shutter case
// shows no shape a blind case left.
void TestDialogReach::cursorsAndControlsFollowTheSelection()
{
    TessivoDemo &dialog = fixture->dialog();
    FacadeGLWidget &view = *dialog.facadeView;
    load(BlindCase);
    const QRect window = caseWindowRect(kBlind, 1, 1);
    click(view, window.center());
    move(view, window.center() + QPoint(1, 0));
    QCOMPARE(view.cursor().shape(), Qt::SizeAllCursor);
    QTest::mouseClick(dialog.ui.pushButtonResetStructure, Qt::LeftButton);
    QCOMPARE(view.cursor().shape(), Qt::ArrowCursor);

    click(view, window.center());
    move(view, QPoint(window.center().x(), window.y() + 1));
    QCOMPARE(view.cursor().shape(), Qt::SizeVerCursor);
    fixture->clickLoad(true, 0); // same counts: the selection survives the load
    QCOMPARE(view.selectedWindowIndex(), 4);
    move(view, QPoint(window.center().x(), window.y() + 1));
    QCOMPARE(view.cursor().shape(), Qt::ArrowCursor);

    click(view, window.center());
    QVERIFY(dialog.ui.horizontalSliderLeftShutter->isEnabled());
    QTest::mouseClick(dialog.ui.pushButtonResetStructure, Qt::LeftButton);
    QVERIFY(!dialog.ui.horizontalSliderLeftShutter->isEnabled());
    QVERIFY(!dialog.ui.horizontalSliderRightShutter->isEnabled());
    QVERIFY(dialog.ui.pushButtonResetStructure->isEnabled());
}

QTEST_MAIN(TestDialogReach)
#include "tst_dialogreach.moc"
