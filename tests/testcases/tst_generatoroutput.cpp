// What the generator writes and where: the reconstruction and shutter files
// read back by the program's own readers, the plan of every case, and the
// rules that protect a Tessivo_TestCases folder the generator did not make.
#include "Camera.h"
#include "CaseDesign.h"
#include "FacadeRenderer.h"
#include "CaseWriter.h"
#include "OutputTree.h"
#include "TestFiles.h"

#include <QWindowData2D.h>

#include <QtTest>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <set>
#include <sstream>

using namespace TestCases;

Q_DECLARE_METATYPE(FillTree)

namespace {

// A fill step that writes one file, or fails without writing anything.
FillTree fillWith(const QByteArray &content, bool succeed = true)
{
    return [content, succeed](const QString &tree, Failure *failure) {
        if (!succeed)
            return fail(failure, "stopped on purpose");
        return writeBytes(tree + "/content.txt", content);
    };
}

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

class TestGeneratorOutput : public QObject
{
    Q_OBJECT

private slots:
    void reconstructionReadsBack_data();
    void reconstructionReadsBack();
    void shutterFileReadsBack();

    void planOfEveryCase_data();
    void planOfEveryCase();
    void casesDiffer();

    void newTreeIsMadeWithMarker();
    void ownTreeIsReplaced();
    void foreignTreeIsRefused_data();
    void foreignTreeIsRefused();
    void forceReplacesForeignFolder();
    void forceRemovesLinkNotTarget();
    void failedReplaceKeepsOldTree_data();
    void failedReplaceKeepsOldTree();
};

void TestGeneratorOutput::reconstructionReadsBack_data()
{
    QTest::addColumn<int>("index");
    const std::vector<CaseDesign> cases = allCases();
    for (std::size_t i = 0; i < cases.size(); ++i)
        QTest::newRow(cases[i].fileName.c_str()) << int(i);
}

void TestGeneratorOutput::reconstructionReadsBack()
{
    QFETCH(int, index);
    const CaseDesign design = allCases()[std::size_t(index)];
    const CameraModel cam = placeCamera(design.camera, design.layout.width(), design.layout.height(), design.pixelScale);
    QWindowData2D written;
    setReconstruction(written, cam);
    std::ostringstream out;
    QVERIFY(written.saveReconstruction(out));
    const std::string text = out.str();
    QVERIFY(text.rfind("#Camera K:\n", 0) == 0);
    QVERIFY(text.find("\n#x1 in rectified image, x2 in original image, then x2 = H * x1 \n") != std::string::npos);

    QWindowData2D model;
    std::istringstream in(text);
    QVERIFY(model.loadReconstruction(in));
    const Mat3 H = cam.homography();
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            const auto a = std::size_t(i), b = std::size_t(j);
            QVERIFY(std::abs(model.cameraK[i][j] - cam.K.m[a][b]) <= 1e-12 * std::max(1.0, std::abs(cam.K.m[a][b])));
            QVERIFY(std::abs(model.cameraR[i][j] - cam.R.m[a][b]) <= 1e-14);
            QVERIFY(std::abs(model.homography[i][j] - H.m[a][b]) <= 1e-13 * std::max(1.0, std::abs(H.m[a][b])));
        }
    QCOMPARE(model.colMin, cam.colMin);
    QCOMPARE(model.rowMin, cam.rowMin);
    // The model's mapping agrees with the camera to a small fraction of a pixel.
    for (const QPoint p : {QPoint(0, 0), QPoint(design.layout.width(), 0), QPoint(123, 456)}) {
        const Vec2 q = cam.project(cam.wallPoint(p.x(), p.y()));
        const QPointF m = model.rectifiedToOriginal(p);
        QVERIFY(std::abs(m.x() - q.x) < 1e-6 && std::abs(m.y() - q.y) < 1e-6);
    }
}

void TestGeneratorOutput::shutterFileReadsBack()
{
    ShutterLeaf left;
    left.hinge1 = QPoint(100, 50);
    left.hinge2 = QPoint(100, 160);
    ShutterLeaf right = left;
    right.hinge1 = QPoint(160, 50);
    right.hinge2 = QPoint(160, 160);
    for (int k = 0; k < 19; ++k) {
        left.angles.push_back(degreesToRadians(10 * k));
        left.outer1.push_back(QPoint(70 + k, 160 - k));
        left.outer2.push_back(QPoint(70 + k, 50 + k));
        right.angles.push_back(degreesToRadians(10 * k));
        right.outer1.push_back(QPoint(190 - k, 161));
        right.outer2.push_back(QPoint(190 - k, -3));
    }
    const std::vector<ShutterPair> pairs = {{left, right}, {right, left}};
    QWindowData2D written;
    written.shutters = pairs;
    std::ostringstream out;
    QVERIFY(written.saveShutters(out));
    const std::string text = out.str();
    QVERIFY(text.rfind("window 0\nshutter 1\n100 50 100 160\n0 70 160 70 50\n10 71 159 71 51\n", 0) == 0);

    QWindowData2D model;
    model.detectedWindows = {std::vector<FacadeWindow>(2)};
    std::istringstream in(text);
    QVERIFY(model.loadShutters(in));
    QCOMPARE(model.shutters.size(), std::size_t(2));
    const ShutterLeaf &l = model.shutters[0].left;
    const ShutterLeaf &r = model.shutters[1].left;
    QCOMPARE(l.hinge1, left.hinge1);
    QCOMPARE(r.hinge2, right.hinge2);
    QCOMPARE(l.outer1, left.outer1);
    QCOMPARE(l.outer2, left.outer2);
    QCOMPARE(r.outer2, right.outer2);
    QCOMPARE(l.angles.size(), std::size_t(19));
    for (std::size_t k = 0; k < 19; ++k)
        QVERIFY(std::abs(l.angles[k] - left.angles[k]) < 1e-12);
}

void TestGeneratorOutput::planOfEveryCase_data()
{
    reconstructionReadsBack_data();
}

// Row by row, inside the facade, and with blinds or leaf angles that vary.
void TestGeneratorOutput::planOfEveryCase()
{
    QFETCH(int, index);
    const CaseDesign design = allCases()[std::size_t(index)];
    const FacadeLayout &l = design.layout;
    QVERIFY(l.rows >= 2 && l.rows <= 8 && l.cols >= 2 && l.cols <= 8);
    QVERIFY(l.width() <= 1100 && l.height() <= 820);
    QVERIFY(design.camera.photoWidth <= 1100 && design.camera.photoHeight <= 820);
    QVERIFY(std::abs(design.camera.yawDeg) >= 10.0 && std::abs(design.camera.yawDeg) <= 25.0);

    const FacadePlan plan = planFacade(design);
    QCOMPARE(int(plan.windows.size()), l.rows * l.cols);
    std::set<int> extents;
    std::set<std::pair<int, int>> angles;
    for (std::size_t i = 0; i < plan.windows.size(); ++i) {
        const PlannedWindow &w = plan.windows[i];
        QCOMPARE(w.col + w.row * l.cols, int(i));
        QVERIFY(QRect(0, 0, l.width(), l.height()).contains(w.rect));
        QVERIFY(l.bounds().contains(w.rect));
        if (i > 0 && w.row == plan.windows[i - 1].row)
            QVERIFY(w.rect.left() > plan.windows[i - 1].rect.right());
        if (design.kind == TestCaseKind::Blind) {
            QVERIFY(w.look.blindExtent >= 0 && w.look.blindExtent <= w.rect.height());
            extents.insert(w.look.blindExtent);
        } else {
            QCOMPARE(w.rect.width() % 2, 0); // leaves of whole pixels
            for (int d : {w.leftDegrees, w.rightDegrees})
                QVERIFY(d >= 0 && d <= 180 && d % 10 == 0);
            angles.insert({w.leftDegrees, w.rightDegrees});
            // Leaves folded flat must not reach the neighbour or the edge.
            QVERIFY(l.gapX() >= w.rect.width());
            QVERIFY(w.rect.x() - w.rect.width() / 2 > 0);
            QVERIFY(w.rect.x() + w.rect.width() + w.rect.width() / 2 < l.width());
        }
    }
    if (design.kind == TestCaseKind::Blind)
        QVERIFY(extents.size() >= 3);
    else
        QVERIFY(angles.size() >= 3);
    // The same plan every time.
    const FacadePlan again = planFacade(design);
    for (std::size_t i = 0; i < plan.windows.size(); ++i) {
        QCOMPARE(again.windows[i].look.blindExtent, plan.windows[i].look.blindExtent);
        QCOMPARE(again.windows[i].leftDegrees, plan.windows[i].leftDegrees);
    }
}

void TestGeneratorOutput::casesDiffer()
{
    const std::vector<CaseDesign> cases = allCases();
    QCOMPARE(cases.size(), std::size_t(5));
    const char *names[] = {"1_temp.jpg", "5.jpg", "7.jpg", "1.jpg", "6.jpg"};
    std::set<std::pair<int, int>> grids;
    std::set<int> materials;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        QCOMPARE(cases[i].fileName, std::string(names[i]));
        QCOMPARE(cases[i].kind, i < 3 ? TestCaseKind::Blind : TestCaseKind::Shutter);
        grids.insert({cases[i].layout.rows, cases[i].layout.cols});
        materials.insert(int(cases[i].wall.kind));
    }
    QCOMPARE(grids.size(), std::size_t(5));
    QCOMPARE(materials.size(), std::size_t(3));
}

void TestGeneratorOutput::newTreeIsMadeWithMarker()
{
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    const QString parent = tmp.path() + "/not/yet/there";
    QString placed;
    Failure failure;
    QVERIFY2(replaceTree(parent, false, fillWith("one"), &placed, &failure), failure.reason.c_str());
    const QString root = parent + "/Tessivo_TestCases";
    QCOMPARE(placed, root);
    QCOMPARE(inspectTree(root), TreeState::Ours);
    QCOMPARE(fileBytes(root + "/content.txt"), QByteArray("one"));
    QCOMPARE(entries(parent), QStringList{"Tessivo_TestCases"}); // no working folder left behind
}

void TestGeneratorOutput::ownTreeIsReplaced()
{
    QTemporaryDir tmp;
    QVERIFY(replaceTree(tmp.path(), false, fillWith("one")));
    QVERIFY(writeBytes(tmp.path() + "/Tessivo_TestCases/stale.txt", "old"));
    QVERIFY(replaceTree(tmp.path(), false, fillWith("two")));
    const QString root = tmp.path() + "/Tessivo_TestCases";
    QCOMPARE(fileBytes(root + "/content.txt"), QByteArray("two"));
    QVERIFY(!QFile::exists(root + "/stale.txt"));
    QCOMPARE(entries(tmp.path()), QStringList{"Tessivo_TestCases"});
}

void TestGeneratorOutput::foreignTreeIsRefused_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("folder of photos") << "folder";
    QTest::newRow("plain file") << "file";
    QTest::newRow("link to a folder") << "link";
}

void TestGeneratorOutput::foreignTreeIsRefused()
{
    QFETCH(QString, kind);
    QTemporaryDir tmp;
    const QString root = tmp.path() + "/Tessivo_TestCases";
    const QString elsewhere = tmp.path() + "/elsewhere";
    QVERIFY(QDir().mkpath(elsewhere));
    QVERIFY(writeBytes(elsewhere + "/photo.jpg", "mine"));
    if (kind == "folder") {
        QVERIFY(QDir().mkpath(root));
        QVERIFY(writeBytes(root + "/photo.jpg", "mine"));
    } else if (kind == "file") {
        QVERIFY(writeBytes(root, "mine"));
    } else {
        QVERIFY(QFile::link(elsewhere, root));
    }
    QCOMPARE(inspectTree(root), TreeState::Foreign);
    const QStringList before = entries(tmp.path());

    bool filled = false;
    Failure failure;
    QVERIFY(!replaceTree(
        tmp.path(), false,
        [&filled](const QString &, Failure *) {
            filled = true;
            return true;
        },
        nullptr, &failure));
    const QString message = QString::fromStdString(failure.reason);
    QVERIFY(message.contains("was not made by this program"));
    QVERIFY(message.contains("--force"));
    QVERIFY(!filled); // refused before any work
    QCOMPARE(entries(tmp.path()), before);
    QCOMPARE(fileBytes(elsewhere + "/photo.jpg"), QByteArray("mine"));
    if (kind == "folder")
        QCOMPARE(entries(root), QStringList{"photo.jpg"});
}

void TestGeneratorOutput::forceReplacesForeignFolder()
{
    QTemporaryDir tmp;
    const QString root = tmp.path() + "/Tessivo_TestCases";
    QVERIFY(QDir().mkpath(root + "/deep/er"));
    QVERIFY(writeBytes(root + "/deep/er/photo.jpg", "mine"));
    Failure failure;
    QVERIFY2(replaceTree(tmp.path(), true, fillWith("new"), nullptr, &failure), failure.reason.c_str());
    QCOMPARE(inspectTree(root), TreeState::Ours);
    QVERIFY(!QFile::exists(root + "/deep"));
}

void TestGeneratorOutput::forceRemovesLinkNotTarget()
{
    QTemporaryDir tmp;
    const QString root = tmp.path() + "/Tessivo_TestCases";
    const QString elsewhere = tmp.path() + "/elsewhere";
    QVERIFY(QDir().mkpath(elsewhere));
    QVERIFY(writeBytes(elsewhere + "/photo.jpg", "mine"));
    QVERIFY(QFile::link(elsewhere, root));
    QVERIFY(replaceTree(tmp.path(), true, fillWith("new")));
    QVERIFY(!QFileInfo(root).isSymLink());
    QCOMPARE(inspectTree(root), TreeState::Ours);
    QCOMPARE(fileBytes(elsewhere + "/photo.jpg"), QByteArray("mine"));
}

void TestGeneratorOutput::failedReplaceKeepsOldTree_data()
{
    QTest::addColumn<FillTree>("fill");
    QTest::addColumn<QString>("reason");
    QTest::newRow("fill fails") << fillWith("two", false) << "stopped on purpose";
    // The new tree is complete but cannot be moved into place (here it is
    // gone when the move comes): the old tree must survive the failed move.
    QTest::newRow("new tree cannot be moved in")
        << FillTree([](const QString &tree, Failure *) { return QDir(tree).removeRecursively(); })
        << "cannot move the new tree to";
}

void TestGeneratorOutput::failedReplaceKeepsOldTree()
{
    QFETCH(FillTree, fill);
    QFETCH(QString, reason);
    QTemporaryDir tmp;
    QVERIFY(replaceTree(tmp.path(), false, fillWith("one")));
    Failure failure;
    QVERIFY(!replaceTree(tmp.path(), false, fill, nullptr, &failure));
    QVERIFY2(QString::fromStdString(failure.reason).startsWith(reason), failure.reason.c_str());
    QCOMPARE(inspectTree(tmp.path() + "/Tessivo_TestCases"), TreeState::Ours);
    QCOMPARE(fileBytes(tmp.path() + "/Tessivo_TestCases/content.txt"), QByteArray("one"));
    QCOMPARE(entries(tmp.path()), QStringList{"Tessivo_TestCases"});
}

QTEST_GUILESS_MAIN(TestGeneratorOutput)
#include "tst_generatoroutput.moc"
