// The dialog's commands on small synthetic test cases: image and screenshot
// files, grid files, restructuring and "Reset", shutter sliders, random
// angles and display options, driven through the real widgets and slots.
#include "DialogFixture.h"
#include "DialogInput.h"
#include "EditHistory.h"
#include "FacadeGLWidget.h"
#include "KeepGLDriver.h"
#include "ModalAnswerer.h"
#include "QWindowData2D.h"
#include "StderrCapture.h"
#include "TestCaseBuilder.h"

#include <QtTest>

#include <QAction>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <cstdlib>
#include <memory>

namespace {

constexpr double kPi = 3.1415926;

// Blind cases: 2 x 3 with room for other shapes, 12 x 2 (more rows than the
// spin box shows), 3 x 2 in the same bounds as the first.
const CasePlan kBlind23{2, 3, 20, 24, 160, 120, false};
const CasePlan kBlind122{12, 2, 10, 8, 60, 130, false};
const CasePlan kBlind32{3, 2, 20, 24, 160, 120, false};
const CasePlan kShutter23{2, 3, 20, 24, 160, 120, true};

bool sameRgb(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if ((a.pixel(x, y) & 0xffffff) != (b.pixel(x, y) & 0xffffff))
                return false;
    return true;
}

QImage frameOf(FacadeGLWidget *view)
{
    view->updateGL();
    return view->grabFrameBuffer();
}

}

class TestDialogCommands : public QObject
{
    Q_OBJECT

public:
    // The tests answer Qt's own file dialogs, never a platform dialog.
    static void initMain() { QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs); }

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void testSlotLoadsAndReplacesImage();
    void commandsWithoutModelDoNothing();
    void saveToImageWritesTheFrame();
    void gridFileRoundTrip();
    void gridFileThatCannotBeWritten();
    void staleSelectionAfterGridFile();
    void randomShutterAngles();
    void slidersTurnLeaves();
    void resetWithMatchingCounts();
    void resetWithOnlyRowDiffering();
    void resetWithCountsAboveTen();
    void resetAfterGridFile();
    void displayOptions();
    void dialogCommandsEndTheMouseEdit_data();
    void dialogCommandsEndTheMouseEdit();

private:
    QTemporaryDir workDir;
    QString scratch; // files the tests write
    std::unique_ptr<DialogFixture> fixture;
    std::unique_ptr<ModalAnswerer> answerer;
};

void TestDialogCommands::initTestCase()
{
    QVERIFY(workDir.isValid());
    const QString root = workDir.path() + QStringLiteral("/Tessivo_TestCases");
    QVERIFY(writeTestCase(root + "/blinds", "1_temp.jpg", kBlind23));
    QVERIFY(writeTestCase(root + "/blinds", "5.jpg", kBlind122));
    QVERIFY(writeTestCase(root + "/blinds", "7.jpg", kBlind32));
    QVERIFY(writeTestCase(root + "/shutters", "1.jpg", kShutter23));
    scratch = workDir.path() + QStringLiteral("/scratch");
    QVERIFY(QDir().mkpath(scratch));
}

void TestDialogCommands::cleanupTestCase()
{
    keepGLDriverLoaded();
}

void TestDialogCommands::init()
{
    std::srand(20240611);
    fixture = std::make_unique<DialogFixture>(workDir.path());
    QVERIFY(fixture->exposed());
    answerer = std::make_unique<ModalAnswerer>();
}

void TestDialogCommands::cleanup()
{
    answerer.reset();
    fixture.reset();
}

// testSlot works without a model, hands the view the image it read and frees
// the one it replaces; a cancelled dialog changes nothing, an unreadable file
// gives an empty image.
void TestDialogCommands::testSlotLoadsAndReplacesImage()
{
    TessivoDemo &dialog = fixture->dialog();
    FacadeGLWidget *view = dialog.facadeView;
    const QString first = scratch + "/first.png";
    const QString second = scratch + "/second.bmp";
    const QString broken = scratch + "/broken.png";
    QImage a(37, 23, QImage::Format_RGB32);
    a.fill(Qt::red);
    QVERIFY(a.save(first));
    QImage b(11, 13, QImage::Format_RGB32);
    b.fill(Qt::blue);
    QVERIFY(b.save(second));
    QFile text(broken);
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("not an image");
    text.close();

    answerer->queueFileName(first);
    QVERIFY(QMetaObject::invokeMethod(&dialog, "testSlot"));
    QCOMPARE(int(answerer->seen().size()), 1);
    const ModalRecord &record = answerer->seen().front();
    QCOMPARE(record.title, QStringLiteral("Load an image"));
    QCOMPARE(record.nameFilters, QStringList{"Image file (*.png *.bmp *.jpg)"});
    QVERIFY(!record.saveDialog);
    QVERIFY(view->loadedImage);
    QCOMPARE(view->loadedImage->size(), QSize(37, 23));
    QCOMPARE(view->loadedImage->pixel(3, 3), a.pixel(3, 3));

    answerer->queueFileName(second);
    QVERIFY(QMetaObject::invokeMethod(&dialog, "testSlot"));
    QVERIFY(view->loadedImage);
    QCOMPARE(view->loadedImage->size(), QSize(11, 13));
    QCOMPARE(view->loadedImage->pixel(3, 3), b.pixel(3, 3));

    const QImage *kept = view->loadedImage;
    answerer->queueFileName(QString()); // cancel
    QVERIFY(QMetaObject::invokeMethod(&dialog, "testSlot"));
    QCOMPARE(int(answerer->seen().size()), 3);
    QCOMPARE(view->loadedImage, kept);
    QCOMPARE(view->loadedImage->size(), QSize(11, 13));

    answerer->queueFileName(broken);
    QVERIFY(QMetaObject::invokeMethod(&dialog, "testSlot"));
    QVERIFY(view->loadedImage);
    QVERIFY(view->loadedImage->isNull());
}

// Without a model the commands that need one open no dialog and change
// nothing; the option slots still set the view's options.
void TestDialogCommands::commandsWithoutModelDoNothing()
{
    TessivoDemo &dialog = fixture->dialog();
    FacadeGLWidget *view = dialog.facadeView;
    view->selectedWindow = 2;
    for (const char *slot : {"saveToImageSlot", "loadGridSlot", "saveGridSlot",
                             "randomShutterAngleSlot", "resetWindowGridStructureSlot"})
        QVERIFY2(QMetaObject::invokeMethod(&dialog, slot), slot);
    QVERIFY(QMetaObject::invokeMethod(&dialog, "gridRowChangedSlot", Q_ARG(int, 3)));
    QVERIFY(QMetaObject::invokeMethod(&dialog, "gridColChangedSlot", Q_ARG(int, 3)));
    dialog.ui.horizontalSliderLeftShutter->setValue(40);
    QTest::qWait(50);
    QVERIFY(answerer->seen().empty());
    QCOMPARE(view->selectedWindow, 2); // no restructuring ran
    QVERIFY(dialog.windowData == nullptr);

    QVERIFY(QMetaObject::invokeMethod(&dialog, "dragAllBlindsToggledSlot", Q_ARG(bool, true)));
    QVERIFY(view->dragAllBlinds);
    QVERIFY(QMetaObject::invokeMethod(&dialog, "showOriginalImageToggledSlot", Q_ARG(bool, true)));
    QVERIFY(view->showOriginalImage);
    QVERIFY(QMetaObject::invokeMethod(&dialog, "rotateAllShuttersToggledSlot", Q_ARG(bool, true)));
    QVERIFY(dialog.rotateAllShutters);
}

// The screenshot is the background-sized part of what the view shows.
void TestDialogCommands::saveToImageWritesTheFrame()
{
    TessivoDemo &dialog = fixture->dialog();
    fixture->clickLoad(false, 0);
    QVERIFY(fixture->model());
    const QImage background = fixture->model()->background;
    const QString path = scratch + "/shot.png";
    QFile::remove(path);

    answerer->queueFileName(QString());
    QVERIFY(QMetaObject::invokeMethod(&dialog, "saveToImageSlot"));
    QVERIFY(!QFileInfo::exists(path));

    answerer->queueFileName(path);
    QVERIFY(QMetaObject::invokeMethod(&dialog, "saveToImageSlot"));
    QCOMPARE(int(answerer->seen().size()), 2);
    const ModalRecord &record = answerer->seen().back();
    QCOMPARE(record.title, QStringLiteral("Save to image"));
    QCOMPARE(record.nameFilters, QStringList{"Image file (*.png)"});
    QVERIFY(record.saveDialog);

    const QImage saved(path);
    QVERIFY(!saved.isNull());
    QCOMPARE(saved.size(), background.size());
    const QImage frame = frameOf(dialog.facadeView).copy(QRect(QPoint(0, 0), background.size()));
    QVERIFY(sameRgb(saved, frame));
    // A corner outside every window shows the background image.
    QCOMPARE(saved.pixel(2, 2) & 0xffffff, background.pixel(2, 2) & 0xffffff);
}

// A grid written through the dialog reads back through the dialog; cancelled
// dialogs touch neither the file nor the model.
void TestDialogCommands::gridFileRoundTrip()
{
    TessivoDemo &dialog = fixture->dialog();
    fixture->clickLoad(false, 0);
    QWindowData2D *model = fixture->model();
    QVERIFY(model);
    FacadeWindow &moved = model->windows[0][4];
    moved.x += 3;
    moved.y += 2;
    moved.blindExtent = 9;
    const FacadeWindow saved = moved;
    const QString path = scratch + "/grid.txt";
    QFile::remove(path);

    answerer->queueFileName(QString());
    QVERIFY(QMetaObject::invokeMethod(&dialog, "saveGridSlot"));
    QVERIFY(!QFileInfo::exists(path));
    answerer->queueFileName(path);
    QVERIFY(QMetaObject::invokeMethod(&dialog, "saveGridSlot"));
    QVERIFY(QFileInfo::exists(path));
    const ModalRecord saveRecord = answerer->seen().back();
    QCOMPARE(saveRecord.title, QStringLiteral("Save a grid file"));
    QCOMPARE(saveRecord.nameFilters, QStringList{"Grid file (*.txt)"});
    QVERIFY(saveRecord.saveDialog);

    dialog.ui.spinBoxRow->setValue(3); // a 3 x 3 lattice replaces the grid
    QCOMPARE(int(model->windows[0].size()), 9);

    answerer->queueFileName(QString());
    QVERIFY(QMetaObject::invokeMethod(&dialog, "loadGridSlot"));
    QCOMPARE(int(model->windows[0].size()), 9);

    answerer->queueFileName(path);
    QVERIFY(QMetaObject::invokeMethod(&dialog, "loadGridSlot"));
    const ModalRecord loadRecord = answerer->seen().back();
    QCOMPARE(loadRecord.title, QStringLiteral("Load a grid file"));
    QCOMPARE(loadRecord.nameFilters, QStringList{"Grid file (*.txt)"});
    QVERIFY(!loadRecord.saveDialog);
    QCOMPARE(int(answerer->seen().size()), 4);

    QCOMPARE(int(model->windows[0].size()), 6);
    const FacadeWindow &back = model->windows[0][4];
    QCOMPARE(back.x, saved.x);
    QCOMPARE(back.y, saved.y);
    QCOMPARE(back.blindExtent, 9);
    QCOMPARE(model->rows, 2);
    QCOMPARE(model->cols, 3);
    // The spin boxes keep what they showed.
    QCOMPARE(dialog.ui.spinBoxRow->value(), 3);
}

// A grid file that cannot be written is told on standard error, once, and
// in a message that names the file.
void TestDialogCommands::gridFileThatCannotBeWritten()
{
    TessivoDemo &dialog = fixture->dialog();
    fixture->clickLoad(false, 0);
    QVERIFY(fixture->model());
    const QString path = workDir.path() + "/no-such-folder/grid.txt";
    answerer->queueFileName(path);
    StderrCapture capture;
    QVERIFY(QMetaObject::invokeMethod(&dialog, "saveGridSlot"));
    const QString err = QString::fromStdString(capture.text());
    QCOMPARE(int(answerer->seen().size()), 2);
    const ModalRecord &message = answerer->seen().back();
    QCOMPARE(message.className, QStringLiteral("QMessageBox"));
    QCOMPARE(message.title, QStringLiteral("Save a grid file"));
    QVERIFY2(message.informativeText.contains(path), qPrintable(message.informativeText));
    QVERIFY(!QFileInfo::exists(path));
    QCOMPARE(err.count(QLatin1Char('\n')), 1);
    QVERIFY2(err.startsWith(QStringLiteral("Cannot write grid file ")), qPrintable(err));
    QVERIFY2(err.trimmed().endsWith(QStringLiteral("no-such-folder/grid.txt")), qPrintable(err));
}

// After a grid file with fewer windows the view's selection points past
// windows[0]: the sliders then turn nothing, and "Reset" still works.
void TestDialogCommands::staleSelectionAfterGridFile()
{
    TessivoDemo &dialog = fixture->dialog();
    fixture->clickLoad(true, 0);
    QWindowData2D *model = fixture->model();
    QVERIFY(model);
    const QString path = scratch + "/small-grid.txt";
    const CasePlan small{1, 2, 20, 24, 160, 120, false};
    QVERIFY(writeGridFile(path, small));

    dialog.facadeView->selectedWindow = 5;
    answerer->queueFileName(path);
    QVERIFY(QMetaObject::invokeMethod(&dialog, "loadGridSlot"));
    QCOMPARE(int(model->windows[0].size()), 2);
    QCOMPARE(dialog.facadeView->selectedWindow, 5);

    for (const bool all : {false, true}) {
        dialog.rotateAllShutters = all;
        dialog.ui.horizontalSliderLeftShutter->setValue(all ? 120 : 60);
        dialog.ui.horizontalSliderRightShutter->setValue(all ? 150 : 90);
        for (const FacadeWindow &w : model->windows[0]) {
            QCOMPARE(w.leftAngle, 0.0);
            QCOMPARE(w.rightAngle, 0.0);
        }
    }

    QTest::mouseClick(dialog.ui.pushButtonResetStructure, Qt::LeftButton);
    QCOMPARE(dialog.ui.spinBoxRow->value(), 1);
    QCOMPARE(dialog.ui.spinBoxCol->value(), 2);
    QCOMPARE(int(model->windows[0].size()), 2);
    QCOMPARE(model->windows[0][1].x, caseWindowRect(small, 0, 1).x());
    QCOMPARE(dialog.facadeView->selectedWindow, -1);
}

// Every call gives every window new angles in whole degrees below 180; a
// blind case keeps its angles.
void TestDialogCommands::randomShutterAngles()
{
    TessivoDemo &dialog = fixture->dialog();
    fixture->clickLoad(true, 0);
    QWindowData2D *model = fixture->model();
    QVERIFY(model);
    for (int call = 0; call < 3; ++call) {
        const std::vector<FacadeWindow> before = model->windows[0];
        QVERIFY(QMetaObject::invokeMethod(&dialog, "randomShutterAngleSlot"));
        QCOMPARE(model->windows[0].size(), before.size());
        for (std::size_t i = 0; i < before.size(); ++i) {
            const FacadeWindow &w = model->windows[0][i];
            QVERIFY(w.leftAngle != before[i].leftAngle || w.rightAngle != before[i].rightAngle);
            for (const double angle : {w.leftAngle, w.rightAngle}) {
                QVERIFY(angle >= 0.0 && angle <= 179 * kPi / 180 + 1e-12);
                const double degrees = angle * 180 / kPi;
                QVERIFY(qAbs(degrees - qRound(degrees)) < 1e-6);
            }
        }
    }

    // The random angles are unsaved edits: the next load asks first.
    answerer->clear();
    answerer->queueButton(QMessageBox::Discard);
    fixture->clickLoad(false, 0);
    QCOMPARE(int(answerer->seen().size()), 1);
    QCOMPARE(answerer->seen().front().buttons,
             QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    model = fixture->model();
    QVERIFY(model && model->caseKind == int(TestCaseKind::Blind));
    QVERIFY(QMetaObject::invokeMethod(&dialog, "randomShutterAngleSlot"));
    for (const FacadeWindow &w : model->windows[0]) {
        QCOMPARE(w.leftAngle, 0.0);
        QCOMPARE(w.rightAngle, 0.0);
    }
}

// Sliders turn the selected window's leaf, every window's with
// rotateAllShutters, and nothing without a selection or in a blind case.
void TestDialogCommands::slidersTurnLeaves()
{
    TessivoDemo &dialog = fixture->dialog();
    QSlider *left = dialog.ui.horizontalSliderLeftShutter;
    QSlider *right = dialog.ui.horizontalSliderRightShutter;
    fixture->clickLoad(true, 0);
    QWindowData2D *model = fixture->model();
    QVERIFY(model);
    const auto &windows = model->windows[0];

    left->setValue(50);
    right->setValue(60);
    for (const FacadeWindow &w : windows) {
        QCOMPARE(w.leftAngle, 0.0);
        QCOMPARE(w.rightAngle, 0.0);
    }

    dialog.facadeView->selectedWindow = 4;
    left->setValue(90);
    QCOMPARE(windows[4].leftAngle, 90 * kPi / 180);
    QCOMPARE(windows[4].rightAngle, 0.0);
    right->setValue(30);
    QCOMPARE(windows[4].rightAngle, 30 * kPi / 180);
    for (int i : {0, 1, 2, 3, 5}) {
        QCOMPARE(windows[i].leftAngle, 0.0);
        QCOMPARE(windows[i].rightAngle, 0.0);
    }

    QVERIFY(QMetaObject::invokeMethod(&dialog, "rotateAllShuttersToggledSlot", Q_ARG(bool, true)));
    left->setValue(40);
    for (std::size_t i = 0; i < windows.size(); ++i) {
        QCOMPARE(windows[i].leftAngle, 40 * kPi / 180);
        QCOMPARE(windows[i].rightAngle, i == 4 ? 30 * kPi / 180 : 0.0);
    }
    // A value outside 0..180 reaching the slot is clamped.
    QVERIFY(QMetaObject::invokeMethod(&dialog, "rightShutterValueChanged", Q_ARG(int, 400)));
    for (const FacadeWindow &w : windows)
        QCOMPARE(w.rightAngle, 180 * kPi / 180);
    QVERIFY(QMetaObject::invokeMethod(&dialog, "leftShutterValueChanged", Q_ARG(int, -20)));
    for (const FacadeWindow &w : windows)
        QCOMPARE(w.leftAngle, 0.0);

    answerer->queueButton(QMessageBox::Discard); // the turned leaves are unsaved
    fixture->clickLoad(false, 0);
    model = fixture->model();
    QVERIFY(model && model->caseKind == int(TestCaseKind::Blind));
    dialog.facadeView->selectedWindow = 1;
    left->setValue(170);
    right->setValue(10);
    for (const FacadeWindow &w : model->windows[0]) {
        QCOMPARE(w.leftAngle, 0.0);
        QCOMPARE(w.rightAngle, 0.0);
    }
}

// Spin boxes already on the loaded counts: "Reset" rebuilds the grid itself.
void TestDialogCommands::resetWithMatchingCounts()
{
    TessivoDemo &dialog = fixture->dialog();
    fixture->clickLoad(false, 0);
    QWindowData2D *model = fixture->model();
    QVERIFY(model);
    QCOMPARE(dialog.ui.spinBoxRow->value(), 2);
    QCOMPARE(dialog.ui.spinBoxCol->value(), 3);
    model->windows[0][0].x += 5;
    model->windows[0][0].blindExtent = 7;
    dialog.facadeView->selectedWindow = 1;
    QSignalSpy rowSpy(dialog.ui.spinBoxRow, QOverload<int>::of(&QSpinBox::valueChanged));
    QSignalSpy colSpy(dialog.ui.spinBoxCol, QOverload<int>::of(&QSpinBox::valueChanged));

    QTest::mouseClick(dialog.ui.pushButtonResetStructure, Qt::LeftButton);
    QCOMPARE(rowSpy.count(), 0);
    QCOMPARE(colSpy.count(), 0);
    QCOMPARE(int(model->windows[0].size()), 6);
    QCOMPARE(model->windows[0][0].x, model->detectedWindows[0][0].x);
    QCOMPARE(model->windows[0][0].blindExtent, 0);
    QCOMPARE(dialog.facadeView->selectedWindow, -1);
}

// Only the row count differs: the row spin box's slot rebuilds the grid.
void TestDialogCommands::resetWithOnlyRowDiffering()
{
    TessivoDemo &dialog = fixture->dialog();
    fixture->clickLoad(false, 0);
    QWindowData2D *model = fixture->model();
    QVERIFY(model);
    dialog.ui.spinBoxRow->setValue(3);
    QCOMPARE(int(model->windows[0].size()), 9);
    QCOMPARE(model->rows, 3);
    dialog.facadeView->selectedWindow = 2;

    QSignalSpy rowSpy(dialog.ui.spinBoxRow, QOverload<int>::of(&QSpinBox::valueChanged));
    QSignalSpy colSpy(dialog.ui.spinBoxCol, QOverload<int>::of(&QSpinBox::valueChanged));
    QTest::mouseClick(dialog.ui.pushButtonResetStructure, Qt::LeftButton);
    QCOMPARE(rowSpy.count(), 1);
    QCOMPARE(rowSpy.at(0).at(0).toInt(), 2);
    QCOMPARE(colSpy.count(), 0);
    QCOMPARE(int(model->windows[0].size()), 6);
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(model->windows[0][i].x, model->detectedWindows[0][i].x);
        QCOMPARE(model->windows[0][i].y, model->detectedWindows[0][i].y);
        QCOMPARE(model->windows[0][i].sourceIndex, i);
    }
    QCOMPARE(dialog.facadeView->selectedWindow, -1);
}

// 12 detected rows: the row spin box reaches 12, so the case loads as
// written; "Reset" after a lattice of 10 rows brings its 12 rows back.
void TestDialogCommands::resetWithCountsAboveTen()
{
    TessivoDemo &dialog = fixture->dialog();
    fixture->clickLoad(false, 1);
    QWindowData2D *model = fixture->model();
    QVERIFY(model);
    QCOMPARE(int(model->rowValues[0].size()), 12);
    QCOMPARE(dialog.ui.spinBoxRow->maximum(), 12);
    QCOMPARE(dialog.ui.spinBoxRow->value(), 12);
    QCOMPARE(dialog.ui.spinBoxCol->value(), 2);
    QCOMPARE(model->rows, 12);
    QCOMPARE(model->cols, 2);
    QVERIFY(windowsAreDetected(*model));

    dialog.ui.spinBoxRow->setValue(10);
    QCOMPARE(model->rows, 10);
    QCOMPARE(int(model->windows[0].size()), 20);
    dialog.facadeView->selectedWindow = 3;
    QTest::mouseClick(dialog.ui.pushButtonResetStructure, Qt::LeftButton);
    QCOMPARE(dialog.ui.spinBoxRow->value(), 12);
    QCOMPARE(model->rows, 12);
    QCOMPARE(int(model->windows[0].size()), 24);
    QVERIFY(windowsAreDetected(*model));
    QCOMPARE(dialog.facadeView->selectedWindow, -1);
}

// After a grid file the spin boxes keep the old counts; "Reset" moves them
// to the counts just read and rebuilds that grid.
void TestDialogCommands::resetAfterGridFile()
{
    TessivoDemo &dialog = fixture->dialog();
    fixture->clickLoad(false, 0);
    QWindowData2D *model = fixture->model();
    QVERIFY(model);
    const QString path = scratch + "/grid32.txt";
    QVERIFY(writeGridFile(path, kBlind32));
    answerer->queueFileName(path);
    QVERIFY(QMetaObject::invokeMethod(&dialog, "loadGridSlot"));
    QCOMPARE(dialog.ui.spinBoxRow->value(), 2);
    QCOMPARE(dialog.ui.spinBoxCol->value(), 3);

    QString order; // the row is set before the column
    connect(dialog.ui.spinBoxRow, QOverload<int>::of(&QSpinBox::valueChanged), this,
            [&order] { order += QLatin1Char('r'); });
    connect(dialog.ui.spinBoxCol, QOverload<int>::of(&QSpinBox::valueChanged), this,
            [&order] { order += QLatin1Char('c'); });
    QTest::mouseClick(dialog.ui.pushButtonResetStructure, Qt::LeftButton);
    disconnect(dialog.ui.spinBoxRow, nullptr, this, nullptr);
    disconnect(dialog.ui.spinBoxCol, nullptr, this, nullptr);
    QCOMPARE(order, QStringLiteral("rc"));
    QCOMPARE(dialog.ui.spinBoxRow->value(), 3);
    QCOMPARE(dialog.ui.spinBoxCol->value(), 2);
    QCOMPARE(model->rows, 3);
    QCOMPARE(model->cols, 2);
    QCOMPARE(int(model->windows[0].size()), 6);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 2; ++c) {
            const FacadeWindow &w = model->windows[0][c + 2 * r];
            QCOMPARE(QPoint(w.x, w.y), caseWindowRect(kBlind32, r, c).topLeft());
            QCOMPARE(w.sourceIndex, c + 2 * r);
        }
}

// The original photograph shown alone, and the check boxes' options.
void TestDialogCommands::displayOptions()
{
    TessivoDemo &dialog = fixture->dialog();
    FacadeGLWidget *view = dialog.facadeView;
    fixture->clickLoad(false, 0);
    QWindowData2D *model = fixture->model();
    QVERIFY(model);
    const QRect area(QPoint(0, 0), model->originalImage.size());

    QVERIFY(QMetaObject::invokeMethod(&dialog, "showOriginalImageToggledSlot", Q_ARG(bool, true)));
    QVERIFY(view->showOriginalImage);
    QVERIFY(sameRgb(frameOf(view).copy(area), model->originalImage));

    QVERIFY(QMetaObject::invokeMethod(&dialog, "showOriginalImageToggledSlot", Q_ARG(bool, false)));
    QVERIFY(!view->showOriginalImage);
    const QImage rectified = frameOf(view);
    QVERIFY(!sameRgb(rectified.copy(area), model->originalImage));
    QCOMPARE(rectified.pixel(2, 2) & 0xffffff, model->background.pixel(2, 2) & 0xffffff);

    dialog.ui.checkBoxShowGrid->setChecked(false);
    QVERIFY(!view->showGrid);
    dialog.ui.checkBoxShowInOriginalView->setChecked(true);
    QVERIFY(view->showInOriginalView);
    QCOMPARE(frameOf(view).pixel(2, 2) & 0xffffff, model->originalBackground.pixel(2, 2) & 0xffffff);
}

void TestDialogCommands::dialogCommandsEndTheMouseEdit_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("load grid file") << "loadGridFile";
    QTest::newRow("save grid file") << "saveGridFile";
    QTest::newRow("save view as image") << "saveViewAsImage";
    QTest::newRow("open test case") << "openTestCase";
}

// A command key pressed while the button still holds a window drag opens its
// dialog (here cancelled); the drag ends first, so undo, redo and the kept
// edits do not wait for the next click in the view.
void TestDialogCommands::dialogCommandsEndTheMouseEdit()
{
    QFETCH(QString, command);
    TessivoDemo &dialog = fixture->dialog();
    fixture->clickLoad(false, 0);
    QWindowData2D *model = fixture->model();
    QVERIFY(model);
    FacadeGLWidget &view = *dialog.facadeView;
    const QRect window = caseWindowRect(kBlind23, 0, 0);
    DialogInput::click(view, window.center());
    DialogInput::press(view, window.center());
    DialogInput::move(view, window.center() + QPoint(7, 5), Qt::LeftButton);
    QVERIFY(dialog.editHistory().stepOpen());

    auto *action = dialog.findChild<QAction *>(command);
    QVERIFY(action);
    action->trigger();
    QVERIFY(!dialog.editHistory().stepOpen());
    // The next edit is a step of its own, and undo takes it back.
    dialog.ui.spinBoxRow->setValue(3);
    QVERIFY(dialog.editHistory().canUndo());
    dialog.editHistory().undo();
    QCOMPARE(dialog.ui.spinBoxRow->value(), 2);
    QCOMPARE(model->rows, 2);
}

QTEST_MAIN(TestDialogCommands)
#include "tst_dialogcommands.moc"
