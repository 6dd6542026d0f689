#include "QWindowData2D.h"

#include "ModelTestUtil.h"
#include "StderrCapture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <cstdio>
#include <random>
#include <sstream>

using namespace ModelTestUtil;

namespace {

constexpr double kPi = 3.1415926;

// Corner coordinates that differ for every window, leaf, sample and corner.
int coordinate(int window, int leaf, int sample, int corner)
{
    return window * 1000 + leaf * 100 + sample * 4 + corner;
}

// A shutter file in the layout of the format, written with its format strings.
std::string shutterFile(int windows, int samplesLastLeaf = 19)
{
    std::string text;
    char line[128];
    for (int i = 0; i < windows; ++i) {
        std::snprintf(line, sizeof line, "window %d\n", i);
        text += line;
        for (int leaf = 0; leaf < 2; ++leaf) {
            std::snprintf(line, sizeof line, "shutter %d\n%d %d %d %d\n", leaf + 1, i, leaf, -i, 7);
            text += line;
            const bool last = i == windows - 1 && leaf == 1;
            for (int k = 0; k < (last ? samplesLastLeaf : 19); ++k) {
                std::snprintf(line, sizeof line, "%lf %d %d %d %d\n", 10.0 * k, coordinate(i, leaf, k, 0),
                              coordinate(i, leaf, k, 1), coordinate(i, leaf, k, 2), coordinate(i, leaf, k, 3));
                text += line;
            }
        }
    }
    return text;
}

void setDetected(QWindowData2D &model, int count)
{
    model.detectedWindows = {std::vector<FacadeWindow>(std::size_t(count))};
}

bool loadShutterText(QWindowData2D &model, const std::string &text)
{
    std::istringstream in(text);
    return model.loadShutters(in);
}

std::string reconstructionFile(const double k[3][3], const double r[3][3], const double h[3][3],
                               int colMin, int rowMin, const char *lineEnd = "\n")
{
    std::string text;
    char line[256];
    auto matrix = [&](const double m[3][3]) {
        for (int row = 0; row < 3; ++row) {
            std::snprintf(line, sizeof line, "%.17g %.17g %.17g%s", m[row][0], m[row][1], m[row][2], lineEnd);
            text += line;
        }
    };
    text += std::string("#Camera K:") + lineEnd;
    matrix(k);
    text += std::string("#Camera R:") + lineEnd;
    matrix(r);
    text += std::string("#Homography H for rectification") + lineEnd;
    text += std::string("#x1 in rectified image, x2 in original image, then x2 = H * x1 ") + lineEnd;
    matrix(h);
    text += std::string("#Offsets: col_min row_min") + lineEnd;
    std::snprintf(line, sizeof line, "%d %d%s", colMin, rowMin, lineEnd);
    text += line;
    return text;
}

bool loadReconstructionText(QWindowData2D &model, const std::string &text)
{
    std::istringstream in(text);
    return model.loadReconstruction(in);
}

const double kK[3][3] = {{800, 0, 320}, {0, 810, 240}, {0, 0, 1}};
const double kR[3][3] = {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}};
const double kH[3][3] = {{1.5, 0.25, 30}, {-0.125, 2, 40}, {0.0001, 0.0002, 1}};

void writeFile(const QString &path, const std::string &text)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text.data(), qint64(text.size()));
}

} // namespace

class TestShutterReconstruction : public QObject
{
    Q_OBJECT

private slots:
    void shutterLayout_data();
    void shutterLayout();
    void extraBlocksIgnored();
    void statedAnglesStored();
    void truncatedShutterFile();
    void shutterWithoutDetectedWindows();
    void shutterUnopenable();
    void shutterPathForm();

    void reconstructionLayout_data();
    void reconstructionLayout();
    void inverseOfRandomHomography();
    void singularHomographyRefused_data();
    void singularHomographyRefused();
    void reconstructionUnopenable();
    void reconstructionPathForm();
};

void TestShutterReconstruction::shutterLayout_data()
{
    QTest::addColumn<QByteArray>("text");
    const QByteArray plain = QByteArray::fromStdString(shutterFile(3));
    QByteArray crlf = plain;
    crlf.replace("\n", "\r\n");
    QByteArray oneLine = plain;
    oneLine.replace('\n', ' ');
    QTest::newRow("as written") << plain;
    QTest::newRow("CR LF") << crlf;
    QTest::newRow("one line") << oneLine;
}

void TestShutterReconstruction::shutterLayout()
{
    QFETCH(QByteArray, text);
    QWindowData2D model;
    setDetected(model, 3);
    model.shutters.resize(9);
    QVERIFY(loadShutterText(model, text.toStdString()));
    QCOMPARE(model.shutters.size(), std::size_t(3));
    for (int i = 0; i < 3; ++i) {
        const ShutterPair &pair = model.shutters[std::size_t(i)];
        for (int leaf = 0; leaf < 2; ++leaf) {
            const ShutterLeaf &l = leaf == 0 ? pair.left : pair.right;
            QCOMPARE(l.hinge1, QPoint(i, leaf));
            QCOMPARE(l.hinge2, QPoint(-i, 7));
            QCOMPARE(l.angles.size(), std::size_t(19));
            QCOMPARE(l.outer1.size(), std::size_t(19));
            QCOMPARE(l.outer2.size(), std::size_t(19));
            for (int k = 0; k < 19; ++k) {
                QCOMPARE(l.angles[std::size_t(k)], 10.0 * k / 180 * kPi);
                QCOMPARE(l.outer1[std::size_t(k)], QPoint(coordinate(i, leaf, k, 0), coordinate(i, leaf, k, 1)));
                QCOMPARE(l.outer2[std::size_t(k)], QPoint(coordinate(i, leaf, k, 2), coordinate(i, leaf, k, 3)));
            }
        }
    }
}

void TestShutterReconstruction::extraBlocksIgnored()
{
    QWindowData2D five;
    setDetected(five, 5);
    QVERIFY(loadShutterText(five, shutterFile(5)));
    QWindowData2D two;
    setDetected(two, 2);
    QVERIFY(loadShutterText(two, shutterFile(5)));
    QCOMPARE(two.shutters.size(), std::size_t(2));
    for (std::size_t i = 0; i < 2; ++i) {
        QCOMPARE(two.shutters[i].right.outer2, five.shutters[i].right.outer2);
        QCOMPARE(two.shutters[i].left.angles, five.shutters[i].left.angles);
    }
}

// Angles are stored as the lines state them, in file order, whatever they say.
void TestShutterReconstruction::statedAnglesStored()
{
    std::string text = "window 0\nshutter 1\n1 2 3 4\n";
    char line[64];
    for (int k = 0; k < 19; ++k) {
        std::snprintf(line, sizeof line, "%.2f 1 1 1 1\n", 45.5 - 5 * k);
        text += line;
    }
    text += "shutter 2\n1 2 3 4\n45 1 1 1 1\n-12.25 1 1 1 1\n";
    for (int k = 2; k < 19; ++k)
        text += "180 1 1 1 1\n";
    QWindowData2D model;
    setDetected(model, 1);
    QVERIFY(loadShutterText(model, text));
    const ShutterLeaf &left = model.shutters.at(0).left;
    for (int k = 0; k < 19; ++k)
        QCOMPARE(left.angles[std::size_t(k)], (45.5 - 5 * k) / 180 * kPi);
    const ShutterLeaf &right = model.shutters.at(0).right;
    QCOMPARE(right.angles[0], 45 / 180.0 * kPi);
    QCOMPARE(right.angles[1], -12.25 / 180 * kPi);
    QCOMPARE(right.angles[18], kPi);
}

// A short file still gives one pair per window and 19 samples per leaf.
void TestShutterReconstruction::truncatedShutterFile()
{
    const std::string full = shutterFile(2);
    const std::string cut = full.substr(0, full.find("window 1")) + "window 1\nshutter 1\n5 6 7 8\n0 1 2";
    QWindowData2D model;
    setDetected(model, 4);
    QVERIFY(loadShutterText(model, cut));
    QCOMPARE(model.shutters.size(), std::size_t(4));
    for (const ShutterPair &pair : model.shutters) {
        for (const ShutterLeaf *leaf : {&pair.left, &pair.right}) {
            QCOMPARE(leaf->angles.size(), std::size_t(19));
            QCOMPARE(leaf->outer1.size(), std::size_t(19));
            QCOMPARE(leaf->outer2.size(), std::size_t(19));
        }
    }
    QCOMPARE(model.shutters[0].right.outer1[18], QPoint(coordinate(0, 1, 18, 0), coordinate(0, 1, 18, 1)));
    QCOMPARE(model.shutters[1].left.hinge2, QPoint(7, 8));
    QCOMPARE(model.shutters[1].left.outer1[0], QPoint(1, 2));
    QCOMPARE(model.shutters[1].left.outer2[0], QPoint(0, 0));
    QCOMPARE(model.shutters[1].left.angles[1], 0.0);
    QCOMPARE(model.shutters[3].right.hinge1, QPoint(0, 0));

    // Garbage instead of the words: still four pairs of 19 samples.
    QVERIFY(loadShutterText(model, "windw 0 leaf 1 x"));
    QCOMPARE(model.shutters.size(), std::size_t(4));
    QCOMPARE(model.shutters[2].left.angles.size(), std::size_t(19));
}

// Without an "e" section there are no detected windows and so no pairs.
void TestShutterReconstruction::shutterWithoutDetectedWindows()
{
    QWindowData2D model;
    model.shutters.resize(2);
    QVERIFY(loadShutterText(model, shutterFile(2)));
    QVERIFY(model.shutters.empty());
}

void TestShutterReconstruction::shutterUnopenable()
{
    QWindowData2D model;
    setDetected(model, 1);
    StderrCapture capture;
    QVERIFY(!model.loadShutters("/nonexistent", "5.jpg"));
    QCOMPARE(capture.text(), std::string("Can't open input file!\n"));
}

void TestShutterReconstruction::shutterPathForm()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    writeFile(dir.filePath("a.b/shutters.txt"), shutterFile(1));
    QWindowData2D model;
    setDetected(model, 1);
    QVERIFY(model.loadShutters(dir.path().toStdString(), "a.b.jpg"));
    QCOMPARE(model.shutters.at(0).right.hinge1, QPoint(0, 1));
}

void TestShutterReconstruction::reconstructionLayout_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("LF") << QByteArray::fromStdString(reconstructionFile(kK, kR, kH, 12, -34));
    QTest::newRow("CR LF") << QByteArray::fromStdString(reconstructionFile(kK, kR, kH, 12, -34, "\r\n"));
    QTest::newRow("blanks") << QByteArray::fromStdString(reconstructionFile(kK, kR, kH, 12, -34, " \t "));
}

void TestShutterReconstruction::reconstructionLayout()
{
    QFETCH(QByteArray, text);
    QWindowData2D model;
    QVERIFY(loadReconstructionText(model, text.toStdString()));
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            QCOMPARE(model.cameraK[r][c], kK[r][c]);
            QCOMPARE(model.cameraR[r][c], kR[r][c]);
            QCOMPARE(model.homography[r][c], kH[r][c]);
        }
    }
    QCOMPARE(model.colMin, 12);
    QCOMPARE(model.rowMin, -34);
    // The stored inverse undoes H.
    const QPointF there = model.rectifiedToOriginal(QPoint(112, 66));
    const double hx = 1.5 * 100 + 0.25 * 100 + 30;
    const double hy = -0.125 * 100 + 2 * 100 + 40;
    const double hw = 0.0001 * 100 + 0.0002 * 100 + 1;
    QVERIFY(std::abs(there.x() - hx / hw) < 1e-9);
    QVERIFY(std::abs(there.y() - hy / hw) < 1e-9);
}

void TestShutterReconstruction::inverseOfRandomHomography()
{
    std::mt19937 random(20240607);
    std::uniform_real_distribution<double> entry(-10.0, 10.0);
    int tested = 0;
    while (tested < 200) {
        double h[3][3];
        for (auto &row : h)
            for (double &v : row)
                v = entry(random);
        const double det = h[0][0] * (h[1][1] * h[2][2] - h[1][2] * h[2][1])
            - h[0][1] * (h[1][0] * h[2][2] - h[1][2] * h[2][0])
            + h[0][2] * (h[1][0] * h[2][1] - h[1][1] * h[2][0]);
        if (std::abs(det) < 1.0)
            continue;
        ++tested;
        QWindowData2D model;
        QVERIFY(loadReconstructionText(model, reconstructionFile(kK, kR, h, 0, 0)));
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 3; ++c) {
                double product = 0.0;
                for (int l = 0; l < 3; ++l)
                    product += model.homographyInv[r][l] * model.homography[l][c];
                QVERIFY2(std::abs(product - (r == c ? 1.0 : 0.0)) < 1e-9,
                         qPrintable(QString("entry %1,%2 is %3").arg(r).arg(c).arg(product)));
            }
        }
    }
}

// A singular or non-finite H is refused and nothing is stored.
void TestShutterReconstruction::singularHomographyRefused_data()
{
    QTest::addColumn<QByteArray>("text");
    const double zero[3][3] = {};
    const double rank2[3][3] = {{1, 2, 3}, {2, 4, 6}, {0, 0, 1}};
    const double overflow[3][3] = {{1e300, 0, 0}, {0, 1e300, 0}, {0, 0, 1e300}};
    const double underflow[3][3] = {{1e-200, 0, 0}, {0, 1e-200, 0}, {0, 0, 1e-200}};
    QTest::newRow("zero") << QByteArray::fromStdString(reconstructionFile(kK, kR, zero, 1, 2));
    QTest::newRow("rank 2") << QByteArray::fromStdString(reconstructionFile(kK, kR, rank2, 1, 2));
    QTest::newRow("determinant overflows") << QByteArray::fromStdString(reconstructionFile(kK, kR, overflow, 1, 2));
    QTest::newRow("determinant underflows") << QByteArray::fromStdString(reconstructionFile(kK, kR, underflow, 1, 2));
    QByteArray wrongComment = QByteArray::fromStdString(reconstructionFile(kK, kR, kH, 1, 2));
    wrongComment.replace("#Camera R:", "#Camera Q:");
    QTest::newRow("comment does not match") << wrongComment;
    QTest::newRow("empty") << QByteArray();
}

void TestShutterReconstruction::singularHomographyRefused()
{
    QFETCH(QByteArray, text);
    QWindowData2D model;
    QVERIFY(loadReconstructionText(model, reconstructionFile(kK, kR, kH, 5, 6)));
    const QPointF before = model.originalToRectified(QPoint(300, 200));
    StderrCapture capture;
    QVERIFY(!loadReconstructionText(model, text.toStdString()));
    const std::string message = capture.text();
    QVERIFY2(message.find("singular") != std::string::npos, message.c_str());
    QCOMPARE(model.homography[0][2], 30.0);
    QCOMPARE(model.cameraK[0][0], 800.0);
    QCOMPARE(model.colMin, 5);
    QCOMPARE(model.originalToRectified(QPoint(300, 200)), before);
}

void TestShutterReconstruction::reconstructionUnopenable()
{
    QWindowData2D model;
    StderrCapture capture;
    QVERIFY(!model.loadReconstruction("/nonexistent", "5.jpg"));
    QCOMPARE(capture.text(), std::string("Can't open input file!\n"));
}

void TestShutterReconstruction::reconstructionPathForm()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    writeFile(dir.filePath("5/5.reconstruction.txt"), reconstructionFile(kK, kR, kH, 3, 4));
    writeFile(dir.filePath("noext/noext.reconstruction.txt"), reconstructionFile(kK, kR, kH, 7, 8));
    QWindowData2D model;
    QVERIFY(model.loadReconstruction(dir.path().toStdString(), "5.jpg"));
    QCOMPARE(model.rowMin, 4);
    QVERIFY(model.loadReconstruction(dir.path().toStdString(), "noext"));
    QCOMPARE(model.rowMin, 8);
}

QTEST_GUILESS_MAIN(TestShutterReconstruction)
#include "tst_shutterreconstruction.moc"
