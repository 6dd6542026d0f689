// The two "Load" buttons on synthetic test-case trees: finding the root,
// the file names per entry, the enabled states after each outcome, the three
// warnings, and the restructuring that the spin boxes trigger.
#include "DialogFixture.h"
#include "FacadeGLWidget.h"
#include "KeepGLDriver.h"
#include "ModalAnswerer.h"
#include "QWindowData2D.h"
#include "TestCaseBuilder.h"

#include <QtTest>

#include <QCursor>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {

// Blind entries: A 5 x 4, B 3 x 4, C 2 x 3, all in bounds that also hold the
// lattices the spin boxes pass through. Shutter entries: 2 x 3 and 1 x 2.
const CasePlan kCaseA{5, 4, 16, 16, 200, 150, false};
const CasePlan kCaseB{3, 4, 16, 16, 200, 150, false};
const CasePlan kCaseC{2, 3, 16, 16, 200, 150, false};
const CasePlan kShutter1{2, 3, 16, 16, 200, 150, true};
const CasePlan kShutter2{1, 2, 16, 16, 200, 150, true};

bool writeTree(const QString &parent)
{
    const QString root = parent + QStringLiteral("/Tessivo_TestCases");
    return writeTestCase(root + "/blinds", "1_temp.jpg", kCaseA)
           && writeTestCase(root + "/blinds", "5.jpg", kCaseB)
           && writeTestCase(root + "/blinds", "7.jpg", kCaseC)
           && writeTestCase(root + "/shutters", "1.jpg", kShutter1)
           && writeTestCase(root + "/shutters", "6.jpg", kShutter2);
}

QString canonical(const QString &path)
{
    return QFileInfo(path).canonicalFilePath();
}


// One grid slot run, as seen right after it: the model's counts and windows.
struct Restructure {
    char spin;
    int rows;
    int cols;
    int windowCount;
    bool detected;
};

}

class TestTestCaseLoading : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void fileNamesOfEntries_data();
    void fileNamesOfEntries();
    void blindThenShutterStates();
    void rootFoundFromBelow();
    void fileNamedLikeRoot();
    void folderNotFound_data();
    void folderNotFound();
    void failedLoad_data();
    void failedLoad();
    void sameCaseTwice();
    void rowThenColumnRestructuring();
    void denseLatticesLoadAsWritten_data();
    void denseLatticesLoadAsWritten();

private:
    void recordRestructures(TessivoDemo &dialog);

    QTemporaryDir workDir;
    QString treeParent;  // holds Tessivo_TestCases
    QString emptyDir;    // no root above it
    std::unique_ptr<ModalAnswerer> answerer;
    std::vector<Restructure> restructures;
};

void TestTestCaseLoading::initTestCase()
{
    QVERIFY(workDir.isValid());
    if (rootEntryAbove(workDir.path()))
        QSKIP("a Tessivo_TestCases entry lies above the temporary folder");
    treeParent = workDir.path() + QStringLiteral("/tree");
    QVERIFY(writeTree(treeParent));
    emptyDir = workDir.path() + QStringLiteral("/empty");
    QVERIFY(QDir().mkpath(emptyDir));
}

void TestTestCaseLoading::cleanupTestCase()
{
    keepGLDriverLoaded();
}

void TestTestCaseLoading::init()
{
    std::srand(4711);
    answerer = std::make_unique<ModalAnswerer>();
    restructures.clear();
}

void TestTestCaseLoading::cleanup()
{
    answerer.reset();
}

// Runs after the dialog's own grid slots, so it sees what they did.
void TestTestCaseLoading::recordRestructures(TessivoDemo &dialog)
{
    const auto record = [this, &dialog](char spin) {
        const QWindowData2D *model = dialog.windowData.get();
        const int count = model && !model->windows.empty() ? int(model->windows[0].size()) : -1;
        restructures.push_back({spin, model ? model->rows : -1, model ? model->cols : -1, count,
                                model && windowsAreDetected(*model)});
    };
    connect(dialog.ui.spinBoxRow, QOverload<int>::of(&QSpinBox::valueChanged), &dialog,
            [record] { record('r'); });
    connect(dialog.ui.spinBoxCol, QOverload<int>::of(&QSpinBox::valueChanged), &dialog,
            [record] { record('c'); });
}

void TestTestCaseLoading::fileNamesOfEntries_data()
{
    QTest::addColumn<bool>("shutter");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");

    QTest::newRow("blind Facade1") << false << 0 << "1_temp.jpg" << kCaseA.rows << kCaseA.cols;
    QTest::newRow("blind Facade2") << false << 1 << "5.jpg" << kCaseB.rows << kCaseB.cols;
    QTest::newRow("blind Facade3") << false << 2 << "7.jpg" << kCaseC.rows << kCaseC.cols;
    QTest::newRow("shutter Facade1") << true << 0 << "1.jpg" << kShutter1.rows << kShutter1.cols;
    QTest::newRow("shutter Facade2") << true << 1 << "6.jpg" << kShutter2.rows << kShutter2.cols;
}

// Each entry loads its own case; the folder is the root's absolute path
// followed by the kind's sub-folder, and the view gets the model.
void TestTestCaseLoading::fileNamesOfEntries()
{
    QFETCH(bool, shutter);
    QFETCH(int, index);
    QFETCH(QString, fileName);
    QFETCH(int, rows);
    QFETCH(int, cols);

    DialogFixture fixture(treeParent);
    QVERIFY(fixture.exposed());
    TessivoDemo &dialog = fixture.dialog();
    fixture.clickLoad(shutter, index);
    QVERIFY(answerer->seen().empty());
    verifyLoadedCase(dialog, shutter);
    if (QTest::currentTestFailed())
        return;
    QWindowData2D *model = fixture.model();
    QCOMPARE(QString::fromStdString(dialog.imageFileName), fileName);
    const QString root = canonical(treeParent + "/Tessivo_TestCases");
    QCOMPARE(QString::fromStdString(dialog.testCaseFolder),
             root + (shutter ? QStringLiteral("/shutters") : QStringLiteral("/blinds")));
    QCOMPARE(canonical(dialog.testCaseDir.absolutePath()), root);
    QCOMPARE(dialog.ui.spinBoxRow->value(), rows);
    QCOMPARE(dialog.ui.spinBoxCol->value(), cols);
    QVERIFY(windowsAreDetected(*model));
}

// A shutter case after a blind case disables the spin boxes; the sliders stay
// disabled until a window is clicked in the view.
void TestTestCaseLoading::blindThenShutterStates()
{
    DialogFixture fixture(treeParent);
    QVERIFY(fixture.exposed());
    TessivoDemo &dialog = fixture.dialog();
    fixture.clickLoad(false, 0);
    QVERIFY(fixture.model());
    QVERIFY(dialog.ui.spinBoxRow->isEnabled());
    QVERIFY(dialog.ui.spinBoxCol->isEnabled());

    fixture.clickLoad(true, 0);
    QWindowData2D *model = fixture.model();
    QVERIFY(model);
    QVERIFY(!dialog.ui.spinBoxRow->isEnabled());
    QVERIFY(!dialog.ui.spinBoxCol->isEnabled());
    QVERIFY(!dialog.ui.horizontalSliderLeftShutter->isEnabled());
    QVERIFY(!dialog.ui.horizontalSliderRightShutter->isEnabled());
    QVERIFY(windowsAreDetected(*model));

    const FacadeWindow &w = model->windows[0][4];
    const QPoint centre(w.x + w.width / 2, w.y + w.height / 2);
    // The X server's own pointer is put there too, so that its motion events
    // agree with the synthetic ones; on a loaded machine its motion arrives
    // late, so the click waits until the pointer is there and its events are in.
    const QPoint global = dialog.facadeView->mapToGlobal(centre);
    QCursor::setPos(global);
    QTRY_COMPARE(QCursor::pos(), global);
    QTest::qWait(50);
    QTest::mouseMove(dialog.facadeView, centre);
    QTest::mouseClick(dialog.facadeView, Qt::LeftButton, Qt::NoModifier, centre);
    QCOMPARE(dialog.facadeView->selectedWindowIndex(), 4);
    QVERIFY(dialog.ui.horizontalSliderLeftShutter->isEnabled());
    QVERIFY(dialog.ui.horizontalSliderRightShutter->isEnabled());
    dialog.ui.horizontalSliderLeftShutter->setValue(120);
    QCOMPARE(model->windows[0][4].leftAngle, 120 * 3.1415926 / 180);
}

void TestTestCaseLoading::rootFoundFromBelow()
{
    const QString below = treeParent + QStringLiteral("/build/a/b");
    QVERIFY(QDir().mkpath(below));
    DialogFixture fixture(below);
    QVERIFY(fixture.exposed());
    fixture.clickLoad(false, 2);
    QVERIFY(answerer->seen().empty());
    QVERIFY(fixture.model());
    QCOMPARE(QString::fromStdString(fixture.dialog().testCaseFolder),
             canonical(treeParent + "/Tessivo_TestCases") + "/blinds");
}

// A file named like the root ends the search; the kind's folder is then
// looked for beside that file.
void TestTestCaseLoading::fileNamedLikeRoot()
{
    const QString parent = workDir.path() + QStringLiteral("/file-root");
    QVERIFY(writeTestCase(parent + "/blinds", "1_temp.jpg", kCaseC));
    QFile marker(parent + QStringLiteral("/Tessivo_TestCases"));
    QVERIFY(marker.open(QIODevice::WriteOnly));
    marker.close();

    DialogFixture fixture(parent);
    QVERIFY(fixture.exposed());
    fixture.clickLoad(false, 0);
    QVERIFY(answerer->seen().empty());
    QVERIFY(fixture.model());
    QCOMPARE(QString::fromStdString(fixture.dialog().testCaseFolder), canonical(parent) + "/blinds");
    QCOMPARE(fixture.model()->windows[0].size(), std::size_t(kCaseC.rows * kCaseC.cols));
}

void TestTestCaseLoading::folderNotFound_data()
{
    QTest::addColumn<bool>("shutter");
    QTest::newRow("blind") << false;
    QTest::newRow("shutter") << true;
}

// No root anywhere above: one warning, the loaded model stays, the names are
// emptied; the blind flow enables the spin boxes, the shutter flow leaves them.
void TestTestCaseLoading::folderNotFound()
{
    QFETCH(bool, shutter);
    DialogFixture fixture(treeParent);
    QVERIFY(fixture.exposed());
    TessivoDemo &dialog = fixture.dialog();
    fixture.clickLoad(true, 0);
    QWindowData2D *model = fixture.model();
    QVERIFY(model);
    QVERIFY(!dialog.ui.spinBoxRow->isEnabled());
    dialog.ui.horizontalSliderLeftShutter->setEnabled(true);
    dialog.ui.horizontalSliderRightShutter->setEnabled(true);

    QVERIFY(QDir::setCurrent(emptyDir));
    fixture.clickLoad(shutter, 0);
    QCOMPARE(int(answerer->seen().size()), 1);
    const ModalRecord &box = answerer->seen().front();
    QCOMPARE(box.className, QStringLiteral("QMessageBox"));
    QCOMPARE(box.title, QStringLiteral("Load test case"));
    QCOMPARE(box.text, QStringLiteral("Test case folder not found"));
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

    QCOMPARE(fixture.model(), model);
    QCOMPARE(dialog.facadeView->windowData, model);
    QVERIFY(dialog.imageFileName.empty());
    QVERIFY(dialog.testCaseFolder.empty());
    QCOMPARE(dialog.ui.spinBoxRow->isEnabled(), !shutter);
    QCOMPARE(dialog.ui.spinBoxCol->isEnabled(), !shutter);
    QVERIFY(!dialog.ui.horizontalSliderLeftShutter->isEnabled());
    QVERIFY(!dialog.ui.horizontalSliderRightShutter->isEnabled());
}

void TestTestCaseLoading::failedLoad_data()
{
    QTest::addColumn<bool>("shutter");
    QTest::addColumn<QString>("missingFile"); // inside the case's base folder
    QTest::addColumn<QString>("message");

    QTest::newRow("blind level image") << false << "windows/win_2_70.jpg" << "Blind data load error!";
    QTest::newRow("blind grid") << false << "grids.txt" << "Blind data load error!";
    QTest::newRow("shutter leaf image") << true << "windows/shutter_in_2.jpg"
                                        << "Shutter data load error!";
    QTest::newRow("shutter file") << true << "shutters.txt" << "Shutter data load error!";
}

// A load that fails leaves no model, also in the view; the commands that
// need a model then open nothing and change nothing, and the view is blank.
void TestTestCaseLoading::failedLoad()
{
    QFETCH(bool, shutter);
    QFETCH(QString, missingFile);
    QFETCH(QString, message);

    QTemporaryDir brokenDir;
    QVERIFY(brokenDir.isValid());
    const QString kindFolder = brokenDir.path() + "/Tessivo_TestCases/"
                               + (shutter ? QStringLiteral("shutters") : QStringLiteral("blinds"));
    const QString fileName = shutter ? QStringLiteral("1.jpg") : QStringLiteral("1_temp.jpg");
    QVERIFY(writeTestCase(kindFolder, fileName, shutter ? kShutter1 : kCaseC));
    const QString base = fileName.left(fileName.lastIndexOf(QLatin1Char('.')));
    QVERIFY(QFile::remove(kindFolder + "/" + base + "/" + missingFile));

    DialogFixture fixture(treeParent);
    QVERIFY(fixture.exposed());
    TessivoDemo &dialog = fixture.dialog();
    fixture.clickLoad(!shutter, 0); // a good case of the other kind first
    QVERIFY(fixture.model());
    const bool spinsBefore = dialog.ui.spinBoxRow->isEnabled();
    dialog.facadeView->selectedWindow = 1;

    QVERIFY(QDir::setCurrent(brokenDir.path()));
    fixture.clickLoad(shutter, 0);
    QCOMPARE(int(answerer->seen().size()), 1);
    QCOMPARE(answerer->seen().front().title, QStringLiteral("Load test case"));
    QCOMPARE(answerer->seen().front().text, message);
    QCOMPARE(answerer->seen().front().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(fixture.model() == nullptr);
    QVERIFY(dialog.facadeView->windowData == nullptr);
    QVERIFY(dialog.imageFileName.empty());
    QVERIFY(dialog.testCaseFolder.empty());
    QCOMPARE(dialog.ui.spinBoxRow->isEnabled(), shutter ? spinsBefore : true);
    QVERIFY(!dialog.ui.horizontalSliderLeftShutter->isEnabled());

    answerer->clear();
    for (const char *slot : {"saveToImageSlot", "loadGridSlot", "saveGridSlot", "randomShutterAngleSlot",
                             "resetWindowGridStructureSlot"})
        QVERIFY(QMetaObject::invokeMethod(&dialog, slot));
    dialog.ui.spinBoxRow->setValue(dialog.ui.spinBoxRow->value() == 4 ? 5 : 4);
    dialog.ui.horizontalSliderLeftShutter->setValue(90);
    QTest::qWait(50);
    QVERIFY(answerer->seen().empty());
    QCOMPARE(dialog.facadeView->selectedWindow, 1); // no grid slot got past its check
    dialog.facadeView->updateGL();
    const QImage frame = dialog.facadeView->grabFrameBuffer();
    QCOMPARE(frame.pixel(5, 5) & 0xffffff, 0xffffffu);
    QCOMPARE(frame.pixel(60, 40) & 0xffffff, 0xffffffu);
}

// The spin boxes already show the counts: the second load restructures
// nothing, so the view's selection survives it.
void TestTestCaseLoading::sameCaseTwice()
{
    DialogFixture fixture(treeParent);
    QVERIFY(fixture.exposed());
    TessivoDemo &dialog = fixture.dialog();
    fixture.clickLoad(false, 1);
    QVERIFY(fixture.model());
    recordRestructures(dialog);
    dialog.facadeView->selectedWindow = 2;
    fixture.clickLoad(false, 1);
    QVERIFY(fixture.model());
    QVERIFY(restructures.empty());
    QCOMPARE(dialog.facadeView->selectedWindow, 2);
    QVERIFY(windowsAreDetected(*fixture.model()));
}

// A (5 x 4), then B (3 x 4): only the rows change, one restructuring to B's
// own grid. Then C (2 x 3): first 2 rows with B's 4 columns, a lattice, then
// C's own grid.
void TestTestCaseLoading::rowThenColumnRestructuring()
{
    DialogFixture fixture(treeParent);
    QVERIFY(fixture.exposed());
    TessivoDemo &dialog = fixture.dialog();
    fixture.clickLoad(false, 0);
    QVERIFY(fixture.model());
    QCOMPARE(dialog.ui.spinBoxRow->value(), 5);
    QCOMPARE(dialog.ui.spinBoxCol->value(), 4);
    recordRestructures(dialog);

    fixture.clickLoad(false, 1);
    QVERIFY(fixture.model());
    QCOMPARE(int(restructures.size()), 1);
    QCOMPARE(restructures[0].spin, 'r');
    QCOMPARE(restructures[0].rows, 3);
    QCOMPARE(restructures[0].cols, 4);
    QCOMPARE(restructures[0].windowCount, 12);
    QVERIFY(restructures[0].detected);

    restructures.clear();
    fixture.clickLoad(false, 2);
    QVERIFY(fixture.model());
    QCOMPARE(int(restructures.size()), 2);
    QCOMPARE(restructures[0].spin, 'r');
    QCOMPARE(restructures[0].rows, 2);
    QCOMPARE(restructures[0].cols, 4);
    QCOMPARE(restructures[0].windowCount, 8);
    QVERIFY(!restructures[0].detected);
    QCOMPARE(restructures[1].spin, 'c');
    QCOMPARE(restructures[1].rows, 2);
    QCOMPARE(restructures[1].cols, 3);
    QCOMPARE(restructures[1].windowCount, 6);
    QVERIFY(restructures[1].detected);
    QVERIFY(windowsAreDetected(*fixture.model()));
}

// A lattice denser than the generated cases (only an import writes one)
// keeps its counts and windows: the spin boxes reach its counts instead of
// clamping them and scrambling the grid. The next case, with at most 10 rows
// and columns, brings the spin boxes' usual range back, and its own grid.
void TestTestCaseLoading::denseLatticesLoadAsWritten_data()
{
    QTest::addColumn<bool>("shutter");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::newRow("blinds 3 x 12") << false << 3 << 12;
    QTest::newRow("blinds 14 x 31") << false << 14 << 31;
    QTest::newRow("shutters 3 x 12") << true << 3 << 12;
    QTest::newRow("shutters 14 x 31") << true << 14 << 31;
}

void TestTestCaseLoading::denseLatticesLoadAsWritten()
{
    QFETCH(bool, shutter);
    QFETCH(int, rows);
    QFETCH(int, cols);
    const CasePlan dense{rows, cols, 8, 8, 10 * cols + 12, 10 * rows + 12, shutter};
    const CasePlan small{2, 3, 8, 8, 60, 40, shutter};
    const QString parent = workDir.path() + QStringLiteral("/dense/%1x%2%3").arg(rows).arg(cols).arg(shutter);
    const QString kind = parent + (shutter ? "/Tessivo_TestCases/shutters" : "/Tessivo_TestCases/blinds");
    QVERIFY(writeTestCase(kind, shutter ? "1.jpg" : "1_temp.jpg", dense));
    QVERIFY(writeTestCase(kind, shutter ? "6.jpg" : "5.jpg", small));

    DialogFixture fixture(parent);
    QVERIFY(fixture.exposed());
    TessivoDemo &dialog = fixture.dialog();
    fixture.clickLoad(shutter, 0);
    QVERIFY(fixture.model());
    QCOMPARE(fixture.model()->rows, rows);
    QCOMPARE(fixture.model()->cols, cols);
    QCOMPARE(int(fixture.model()->windows.at(0).size()), rows * cols);
    QVERIFY(windowsAreDetected(*fixture.model()));
    QCOMPARE(dialog.ui.spinBoxRow->value(), rows);
    QCOMPARE(dialog.ui.spinBoxCol->value(), cols);
    QCOMPARE(dialog.ui.spinBoxRow->maximum(), std::max(rows, 10));
    QCOMPARE(dialog.ui.spinBoxCol->maximum(), std::max(cols, 10));
    verifyLoadedCase(dialog, shutter);

    fixture.clickLoad(shutter, 1);
    QVERIFY(fixture.model());
    QVERIFY(windowsAreDetected(*fixture.model()));
    QCOMPARE(dialog.ui.spinBoxRow->value(), 2);
    QCOMPARE(dialog.ui.spinBoxCol->value(), 3);
    QCOMPARE(dialog.ui.spinBoxRow->maximum(), 10);
    QCOMPARE(dialog.ui.spinBoxCol->maximum(), 10);
}

QTEST_MAIN(TestTestCaseLoading)
#include "tst_testcaseloading.moc"
