// The "Load" buttons on the generated test-case tree: every entry of both
// combo boxes loads, in any order, with the controls in their expected state.
#include "DialogFixture.h"
#include "FacadeGLWidget.h"
#include "KeepGLDriver.h"
#include "ModalAnswerer.h"
#include "QWindowData2D.h"

#include <QtTest>

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {

int count0(const std::vector<std::vector<int>> &lists)
{
    return lists.empty() ? 0 : int(lists[0].size());
}


}

class TestGeneratedCases : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void everyEntry_data();
    void everyEntry();
    void allEntriesInTurn();

private:
    QTemporaryDir workDir;
    std::unique_ptr<ModalAnswerer> answerer;
};

void TestGeneratedCases::initTestCase()
{
    const QString tree = qEnvironmentVariable("TESSIVO_TESTDATA") + QStringLiteral("/Tessivo_TestCases");
    QVERIFY2(QFileInfo(tree).isDir(), qPrintable(tree + " is missing"));
    QVERIFY(workDir.isValid());
    // The dialog finds the tree through a link in its working directory.
    QVERIFY(QFile::link(tree, workDir.path() + QStringLiteral("/Tessivo_TestCases")));
}

void TestGeneratedCases::cleanupTestCase()
{
    keepGLDriverLoaded();
}

void TestGeneratedCases::init()
{
    std::srand(99);
    answerer = std::make_unique<ModalAnswerer>();
}

void TestGeneratedCases::cleanup()
{
    answerer.reset();
}

void TestGeneratedCases::everyEntry_data()
{
    QTest::addColumn<bool>("shutter");
    QTest::addColumn<int>("index");
    QTest::newRow("blind Facade1") << false << 0;
    QTest::newRow("blind Facade2") << false << 1;
    QTest::newRow("blind Facade3") << false << 2;
    QTest::newRow("shutter Facade1") << true << 0;
    QTest::newRow("shutter Facade2") << true << 1;
}

// The case loads without a warning, the spin boxes show its counts, the
// view has the model and its textures and shows the background; loading it
// again restructures nothing.
void TestGeneratedCases::everyEntry()
{
    QFETCH(bool, shutter);
    QFETCH(int, index);

    DialogFixture fixture(workDir.path());
    QVERIFY(fixture.exposed());
    TessivoDemo &dialog = fixture.dialog();
    fixture.clickLoad(shutter, index);
    QVERIFY(answerer->seen().empty());
    verifyLoadedCase(dialog, shutter);
    if (QTest::currentTestFailed())
        return;
    QWindowData2D *model = fixture.model();
    const int rows = count0(model->rowValues);
    const int cols = count0(model->colValues);
    QVERIFY(rows >= 1 && cols >= 1);
    QCOMPARE(dialog.ui.spinBoxRow->value(), std::min(rows, 10));
    QCOMPARE(dialog.ui.spinBoxCol->value(), std::min(cols, 10));
    if (rows <= 10 && cols <= 10)
        QVERIFY(windowsAreDetected(*model));

    // A background pixel outside every window (and its outline) is shown.
    const QSize shown = model->background.size().boundedTo(dialog.facadeView->size());
    QPoint probe(-1, -1);
    for (int y = 0; y < shown.height() && probe.x() < 0; y += 5)
        for (int x = 0; x < shown.width() && probe.x() < 0; x += 5) {
            bool clear = true;
            for (const FacadeWindow &w : model->windows[0])
                clear = clear && !QRect(w.x - 3, w.y - 3, w.width + 6, w.height + 6).contains(x, y);
            if (clear)
                probe = QPoint(x, y);
        }
    QVERIFY(probe.x() >= 0);
    dialog.facadeView->updateGL();
    const QImage frame = dialog.facadeView->grabFrameBuffer();
    QCOMPARE(frame.pixel(probe) & 0xffffff, model->background.pixel(probe) & 0xffffff);

    QSignalSpy rowSpy(dialog.ui.spinBoxRow, QOverload<int>::of(&QSpinBox::valueChanged));
    QSignalSpy colSpy(dialog.ui.spinBoxCol, QOverload<int>::of(&QSpinBox::valueChanged));
    fixture.clickLoad(shutter, index);
    QVERIFY(fixture.model());
    QCOMPARE(rowSpy.count() + colSpy.count(), 0);
    QVERIFY(answerer->seen().empty());
}

// Every load replaces the previous case entirely, whatever came before.
void TestGeneratedCases::allEntriesInTurn()
{
    DialogFixture fixture(workDir.path());
    QVERIFY(fixture.exposed());
    TessivoDemo &dialog = fixture.dialog();
    const std::pair<bool, int> order[] = {{false, 0}, {true, 1}, {false, 2}, {false, 1},
                                          {true, 0},  {false, 0}, {true, 1}};
    for (const auto &[shutter, index] : order) {
        fixture.clickLoad(shutter, index);
        verifyLoadedCase(dialog, shutter);
        if (QTest::currentTestFailed())
            return;
        QWindowData2D *model = fixture.model();
        if (count0(model->rowValues) <= 10 && count0(model->colValues) <= 10)
            QVERIFY(windowsAreDetected(*model));
        dialog.facadeView->updateGL();
    }
    QVERIFY(answerer->seen().empty());
}

QTEST_MAIN(TestGeneratedCases)
#include "tst_generatedcases.moc"
