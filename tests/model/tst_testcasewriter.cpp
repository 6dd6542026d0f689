// The case writer: a case's content written in the layout the model's
// loaders read back, and content that lacks a part refused before any file.
#include "ModelBuilder.h"
#include "TestCasePaths.h"
#include "TestCaseWriter.h"

#include <QtTest>

#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>

namespace {

// Every file below dir, relative to it, sorted.
QStringList filesBelow(const QString &dir)
{
    QStringList files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(dir).relativeFilePath(it.next());
    files.sort();
    return files;
}

// The files a case of two windows has, from the layout catalogue.
QStringList expectedFiles(TestCaseKind kind, const std::string &folder)
{
    namespace P = TestCasePaths;
    const std::string photo = "2.jpg";
    std::vector<std::string> paths = {P::photograph(folder, photo), P::rectifiedImage(folder, photo),
                                      P::background(folder, photo), P::originalBackground(folder, photo),
                                      P::gridFile(folder, photo), P::reconstructionFile(folder, photo)};
    for (int i = 0; i < 2; ++i) {
        if (kind == TestCaseKind::Blind) {
            paths.push_back(P::inputWindowImage(folder, photo, i));
            for (int level = 0; level < P::kBlindLevels; ++level)
                paths.push_back(P::blindLevelImage(folder, photo, i, P::kBlindLevelStep * level));
        } else {
            paths.push_back(P::interiorImage(folder, photo, i));
        }
    }
    if (kind == TestCaseKind::Shutter)
        paths.insert(paths.end(), {P::interiorImage(folder, photo), P::leftShutterImage(folder, photo),
                                   P::rightShutterImage(folder, photo), P::shutterFile(folder, photo)});
    QStringList files;
    for (const std::string &path : paths)
        files << QDir(QString::fromStdString(folder)).relativeFilePath(QString::fromStdString(path));
    files.sort();
    return files;
}

// A leaf hinged on x, sampled at every angle of the layout.
ShutterLeaf leaf(int x, int width)
{
    ShutterLeaf l;
    l.hinge1 = QPoint(x, 10);
    l.hinge2 = QPoint(x, 50);
    for (int k = 0; k < TestCasePaths::kLeafSamples; ++k) {
        l.angles.push_back(TestCasePaths::kLeafSampleStep * k * QWindowData2D::pi / 180.0);
        l.outer1.push_back(QPoint(x + width, 50));
        l.outer2.push_back(QPoint(x + width, 10));
    }
    return l;
}

// Two windows side by side on a 120 x 60 facade, every part of the kind.
void fill(TestCaseContent &c, TestCaseKind kind)
{
    c.kind = kind;
    c.photograph = plainImage(160, 90, Qt::gray);
    c.rectified = plainImage(120, 60, Qt::darkGray);
    c.background = plainImage(120, 60, Qt::lightGray);
    c.originalBackground = plainImage(160, 90, Qt::white);
    QWindowData2D &m = c.model;
    m.gridBounds = {QRect(10, 10, 90, 40)};
    m.windowTemplates = {QRect(10, 10, 30, 40)};
    m.rowValues = {{30}};
    m.colValues = {{25, 75}};
    std::vector<FacadeWindow> windows(2);
    for (int i = 0; i < 2; ++i) {
        windows[std::size_t(i)].x = 10 + 50 * i;
        windows[std::size_t(i)].y = 10;
        windows[std::size_t(i)].width = 30;
        windows[std::size_t(i)].height = 40;
        windows[std::size_t(i)].col = i;
    }
    m.detectedWindows = {windows};
    m.windows = {windows};
    m.rows = 1;
    m.cols = 2;
    for (int i = 0; i < 3; ++i)
        m.cameraK[i][i] = m.cameraR[i][i] = m.homography[i][i] = 1.0;
    for (int i = 0; i < 2; ++i) {
        c.windowImages.push_back(plainImage(30, 40, QColor(0, 0, 100 + 100 * i)));
        if (kind == TestCaseKind::Blind) {
            c.blindLevels.emplace_back();
            for (int level = 0; level < TestCasePaths::kBlindLevels; ++level)
                c.blindLevels.back().push_back(plainImage(30, 40, QColor(20 * level, 100, 0)));
        } else {
            m.shutters.push_back({leaf(10 + 50 * i, 15), leaf(40 + 50 * i, -15)});
        }
    }
    if (kind == TestCaseKind::Shutter) {
        c.interior = plainImage(30, 40, Qt::yellow);
        c.leftLeaf = plainImage(45, 120, Qt::green);
        c.rightLeaf = plainImage(45, 120, Qt::magenta);
    }
}

} // namespace

Q_DECLARE_METATYPE(TestCaseKind)

class TestTestCaseWriter : public QObject
{
    Q_OBJECT

private slots:
    void writtenCaseLoads_data();
    void writtenCaseLoads();
    void incompleteContentIsRefused_data();
    void incompleteContentIsRefused();
};

void TestTestCaseWriter::writtenCaseLoads_data()
{
    QTest::addColumn<TestCaseKind>("kind");
    QTest::newRow("blinds") << TestCaseKind::Blind;
    QTest::newRow("shutters") << TestCaseKind::Shutter;
}

void TestTestCaseWriter::writtenCaseLoads()
{
    QFETCH(TestCaseKind, kind);
    QTemporaryDir box;
    const std::string folder = (box.path() + "/" + QString::fromStdString(TestCasePaths::kindFolder(kind))).toStdString();
    TestCaseContent content;
    fill(content, kind);
    int files = 0;
    Failure failure;
    QVERIFY2(writeTestCase(content, folder, "2.jpg", &files, &failure), failure.reason.c_str());
    const QStringList expected = expectedFiles(kind, folder);
    QCOMPARE(filesBelow(QString::fromStdString(folder)), expected);
    QCOMPARE(files, expected.size());

    QWindowData2D loaded;
    const bool ok = kind == TestCaseKind::Blind ? loaded.loadBlindTestCase(folder, "2.jpg", &failure)
                                                : loaded.loadShutterTestCase(folder, "2.jpg", &failure);
    QVERIFY2(ok, failure.reason.c_str());
    QCOMPARE(loaded.windowCount(), 2);
    QCOMPARE(loaded.rows, 1);
    QCOMPARE(loaded.cols, 2);
    QCOMPARE(loaded.windows.front()[1].x, 60);
    if (kind == TestCaseKind::Blind) {
        QCOMPARE(loaded.blindImages.size(), std::size_t(2));
        QCOMPARE(loaded.blindImages[1].size(), std::size_t(TestCasePaths::kBlindLevels));
    } else {
        QCOMPARE(loaded.shutters.size(), std::size_t(2));
        QCOMPARE(loaded.shutters[1].left.hinge1, QPoint(60, 10));
        QCOMPARE(loaded.shutters[1].right.angles.size(), std::size_t(TestCasePaths::kLeafSamples));
    }
}

void TestTestCaseWriter::incompleteContentIsRefused_data()
{
    QTest::addColumn<TestCaseKind>("kind");
    QTest::addColumn<QString>("lack");
    QTest::addColumn<QString>("reason");
    QTest::newRow("no kind") << TestCaseKind::None << "" << "lacks a kind";
    QTest::newRow("a window picture") << TestCaseKind::Blind << "window" << "lacks a picture of every window";
    QTest::newRow("a window's blind levels") << TestCaseKind::Blind << "levels" << "lacks the blind levels";
    QTest::newRow("one blind level") << TestCaseKind::Blind << "level" << "lacks every blind level";
    QTest::newRow("a window's leaves") << TestCaseKind::Shutter << "leaves" << "lacks the leaves";
}

void TestTestCaseWriter::incompleteContentIsRefused()
{
    QFETCH(TestCaseKind, kind);
    QFETCH(QString, lack);
    QFETCH(QString, reason);
    QTemporaryDir box;
    TestCaseContent content;
    fill(content, kind == TestCaseKind::None ? TestCaseKind::Blind : kind);
    content.kind = kind;
    if (lack == "window")
        content.windowImages.pop_back();
    else if (lack == "levels")
        content.blindLevels.pop_back();
    else if (lack == "level")
        content.blindLevels.back().pop_back();
    else if (lack == "leaves")
        content.model.shutters.pop_back();
    int files = 0;
    Failure failure;
    QVERIFY(!writeTestCase(content, (box.path() + "/blinds").toStdString(), "2.jpg", &files, &failure));
    QVERIFY2(QString::fromStdString(failure.reason).contains(reason), failure.reason.c_str());
    QCOMPARE(files, 0);
    QCOMPARE(filesBelow(box.path()), QStringList());
}

QTEST_GUILESS_MAIN(TestTestCaseWriter)
#include "tst_testcasewriter.moc"
