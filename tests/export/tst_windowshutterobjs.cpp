// Window quads and shutter-leaf boxes: files byte for byte, leaf placement at
// the angles that matter, short model lists and files that cannot be created.
#include "ExportTestSupport.h"
#include "PngFile.h"
#include "StderrCapture.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <random>

namespace {

const char *const kLeafTail = "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nvt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n"
                              "f 1/1 2/2 3/3 4/4\nf 5/5 8/8 7/7 6/6\n"
                              "f 1 5 6 2\nf 2 6 7 3\nf 3 7 8 4\nf 4 8 5 1\n";

// Window 0 with straight hinges on its edges; window 1 with slanted hinges, so
// that the box, the inner hinge x and the hinge y differ.
std::unique_ptr<QWindowData2D> twoWindowModel(double leftAngle, double rightAngle)
{
    auto model = makeShutterModel(200, 100, {{10, 20, 50, 80}, {110, 20, 152, 80}}, leftAngle, rightAngle);
    ShutterPair &slanted = model->shutters[1];
    slanted.left.hinge1 = QPoint(112, 20);
    slanted.left.hinge2 = QPoint(110, 80);
    slanted.right.hinge1 = QPoint(150, 22);
    slanted.right.hinge2 = QPoint(152, 78);
    return model;
}

// The eight corners of a leaf file, in order.
std::vector<std::array<double, 3>> leafCorners(const QString &path)
{
    ObjData obj;
    if (!readObj(path, obj))
        return {};
    return obj.v;
}

double distance(const std::array<double, 3> &a, const std::array<double, 3> &b)
{
    return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) + (a[2] - b[2]) * (a[2] - b[2]));
}

QStringList entriesOf(const QString &dir)
{
    QStringList names = QDir(dir).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

} // namespace

class TestWindowShutterObjs : public QObject
{
    Q_OBJECT

private slots:
    void windowFiles_data();
    void windowFiles();
    void closedLeaves_data();
    void closedLeaves();
    void leavesAtZeroAndRightAngle();
    void leavesStayRigid();
    void noWindowsStillWritesLeafMaterials();
    void shortListsExportTheWindowsThatHaveAll();
    void filesThatCannotBeCreated();
    void wholeExportEqualsItsParts_data();
    void wholeExportEqualsItsParts();
    void texturesAreLosslessPng_data();
    void texturesAreLosslessPng();
};

void TestWindowShutterObjs::windowFiles_data()
{
    QTest::addColumn<int>("window");
    QTest::addColumn<QByteArray>("obj");
    QTest::newRow("straight hinges") << 0
                                     << QByteArray("mtllib window_0.mtl\nusemtl window_0\n"
                                                   "v 10 20 0\nvt 0 1\nv 10 80 0\nvt 0 0\n"
                                                   "v 50 80 0\nvt 1 0\nv 50 20 0\nvt 1 1\n"
                                                   "f 1/1 2/2 3/3 4/4\n");
    QTest::newRow("slanted hinges: bounding box") << 1
                                                  << QByteArray("mtllib window_1.mtl\nusemtl window_1\n"
                                                                "v 110 20 0\nvt 0 1\nv 110 80 0\nvt 0 0\n"
                                                                "v 152 80 0\nvt 1 0\nv 152 20 0\nvt 1 1\n"
                                                                "f 1/1 2/2 3/3 4/4\n");
}

void TestWindowShutterObjs::windowFiles()
{
    QFETCH(int, window);
    QFETCH(QByteArray, obj);
    QTemporaryDir dir;
    auto model = twoWindowModel(3.1415926, 3.1415926);
    QVERIFY(model->writeWindowObjs(dir.path().toStdString()));
    const QString stem = dir.filePath(QString("window_%1").arg(window));
    QCOMPARE(fileBytes(stem + ".obj"), obj);
    QCOMPARE(fileBytes(stem + ".mtl"), QString("newmtl window_%1\nmap_Kd window_%1.png\n").arg(window).toUtf8());
    const QImage texture(stem + ".png");
    QCOMPARE(texture.convertToFormat(QImage::Format_RGB32), *model->currentImages[std::size_t(window)]);
    QCOMPARE(entriesOf(dir.path()), QStringList({"window_0.mtl", "window_0.obj", "window_0.png", "window_1.mtl",
                                                 "window_1.obj", "window_1.png"}));
}

void TestWindowShutterObjs::closedLeaves_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("left 0") << "leftshutter_0.obj"
                            << QByteArray("mtllib leftshutter.mtl\nusemtl leftshutter\n"
                                          "v 10.000000 80.000000 0.000000\nv 30.000000 80.000000 0.000000\n"
                                          "v 30.000000 20.000000 0.000000\nv 10.000000 20.000000 0.000000\n"
                                          "v 10.000000 80.000000 -1.000000\nv 30.000000 80.000000 -1.000000\n"
                                          "v 30.000000 20.000000 -1.000000\nv 10.000000 20.000000 -1.000000\n");
    QTest::newRow("right 0") << "rightshutter_0.obj"
                             << QByteArray("mtllib rightshutter.mtl\nusemtl rightshutter\n"
                                           "v 50.000000 80.000000 0.000000\nv 30.000000 80.000000 0.000000\n"
                                           "v 30.000000 20.000000 0.000000\nv 50.000000 20.000000 0.000000\n"
                                           "v 50.000000 80.000000 -1.000000\nv 30.000000 80.000000 -1.000000\n"
                                           "v 30.000000 20.000000 -1.000000\nv 50.000000 20.000000 -1.000000\n");
    // Inner hinge x (112 of 112 and 110), hinge y of hinge1, half of the box width 42.
    QTest::newRow("left 1 slanted") << "leftshutter_1.obj"
                                    << QByteArray("mtllib leftshutter.mtl\nusemtl leftshutter\n"
                                                  "v 112.000000 80.000000 0.000000\nv 133.000000 80.000000 0.000000\n"
                                                  "v 133.000000 20.000000 0.000000\nv 112.000000 20.000000 0.000000\n"
                                                  "v 112.000000 80.000000 -1.000000\nv 133.000000 80.000000 -1.000000\n"
                                                  "v 133.000000 20.000000 -1.000000\nv 112.000000 20.000000 -1.000000\n");
    QTest::newRow("right 1 slanted") << "rightshutter_1.obj"
                                     << QByteArray("mtllib rightshutter.mtl\nusemtl rightshutter\n"
                                                   "v 150.000000 82.000000 0.000000\nv 129.000000 82.000000 0.000000\n"
                                                   "v 129.000000 22.000000 0.000000\nv 150.000000 22.000000 0.000000\n"
                                                   "v 150.000000 82.000000 -1.000000\nv 129.000000 82.000000 -1.000000\n"
                                                   "v 129.000000 22.000000 -1.000000\nv 150.000000 22.000000 -1.000000\n");
}

void TestWindowShutterObjs::closedLeaves()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, expected);
    QTemporaryDir dir;
    auto model = twoWindowModel(3.1415926, 3.1415926);
    QVERIFY(model->writeShutterObjs(dir.path().toStdString()));
    QCOMPARE(fileBytes(dir.filePath(file)), expected + kLeafTail);
}

void TestWindowShutterObjs::leavesAtZeroAndRightAngle()
{
    QTemporaryDir dir;
    // Window 0: box x 10..50, y 20..80, hinges (10, 20) and (50, 20), leaves 20 wide.
    auto model = twoWindowModel(0.0, 0.0);
    QVERIFY(model->writeShutterObjs(dir.path().toStdString()));
    auto left = leafCorners(dir.filePath("leftshutter_0.obj"));
    auto right = leafCorners(dir.filePath("rightshutter_0.obj"));
    QCOMPARE(int(left.size()), 8);
    QCOMPARE(int(right.size()), 8);
    // Opened flat: outside the rectangle next to the hinge, z from 0 to 1.
    const double tolerance = 1e-5;
    for (int i = 0; i < 8; ++i) {
        QVERIFY(left[i][0] >= -10 - tolerance && left[i][0] <= 10 + tolerance);
        QVERIFY(right[i][0] >= 50 - tolerance && right[i][0] <= 70 + tolerance);
        QVERIFY(left[i][2] >= -tolerance && left[i][2] <= 1 + tolerance);
        QVERIFY(right[i][2] >= -tolerance && right[i][2] <= 1 + tolerance);
    }
    QVERIFY(std::abs(left[1][0] - -10) < tolerance && std::abs(left[4][2] - 1) < tolerance);
    QVERIFY(std::abs(right[1][0] - 70) < tolerance && std::abs(right[4][2] - 1) < tolerance);

    // At a right angle the leaves stand out of the wall towards negative z.
    model = twoWindowModel(3.1415926 / 2, 3.1415926 / 2);
    QVERIFY(model->writeShutterObjs(dir.path().toStdString()));
    left = leafCorners(dir.filePath("leftshutter_0.obj"));
    right = leafCorners(dir.filePath("rightshutter_0.obj"));
    for (int i = 0; i < 8; ++i) {
        QVERIFY(left[i][0] >= 9 - tolerance && left[i][0] <= 10 + tolerance);
        QVERIFY(right[i][0] >= 50 - tolerance && right[i][0] <= 51 + tolerance);
        QVERIFY(left[i][2] >= -20 - tolerance && left[i][2] <= tolerance);
        QVERIFY(right[i][2] >= -20 - tolerance && right[i][2] <= tolerance);
    }
    QVERIFY(std::abs(left[1][2] - -20) < tolerance && std::abs(right[1][2] - -20) < tolerance);
}

void TestWindowShutterObjs::leavesStayRigid()
{
    // Whatever the angle, a leaf keeps its hinge corner, its width, height and
    // thickness, and its y values.
    std::mt19937 random(7u);
    std::uniform_real_distribution<double> angles(0.0, 3.1415926);
    QTemporaryDir dir;
    for (int round = 0; round < 20; ++round) {
        auto model = twoWindowModel(angles(random), angles(random));
        QVERIFY(model->writeShutterObjs(dir.path().toStdString()));
        for (const char *file : {"leftshutter_1.obj", "rightshutter_1.obj"}) {
            const auto c = leafCorners(dir.filePath(file));
            QCOMPARE(int(c.size()), 8);
            const bool left = file[0] == 'l';
            QCOMPARE(c[3][0], left ? 112.0 : 150.0);
            QCOMPARE(c[3][1], left ? 20.0 : 22.0);
            QVERIFY(std::abs(distance(c[0], c[1]) - 21.0) < 1e-5);
            QVERIFY(std::abs(distance(c[0], c[3]) - 60.0) < 1e-5);
            QVERIFY(std::abs(distance(c[0], c[4]) - 1.0) < 1e-5);
            QVERIFY(std::abs(distance(c[2], c[4]) - std::sqrt(21.0 * 21 + 60 * 60 + 1)) < 1e-5);
            QCOMPARE(c[6][1], c[2][1]);
        }
    }
}

void TestWindowShutterObjs::noWindowsStillWritesLeafMaterials()
{
    QTemporaryDir dir;
    auto model = makeShutterModel(100, 80, {});
    QVERIFY(model->writeWindowObjs(dir.path().toStdString()));
    QVERIFY(entriesOf(dir.path()).isEmpty());
    QVERIFY(model->writeShutterObjs(dir.path().toStdString()));
    QCOMPARE(entriesOf(dir.path()),
             QStringList({"leftshutter.mtl", "leftshutter.png", "rightshutter.mtl", "rightshutter.png"}));
    QCOMPARE(fileBytes(dir.filePath("leftshutter.mtl")), QByteArray("newmtl leftshutter\nmap_Kd leftshutter.png\n"));
    QCOMPARE(fileBytes(dir.filePath("rightshutter.mtl")),
             QByteArray("newmtl rightshutter\nmap_Kd rightshutter.png\n"));
    QCOMPARE(QImage(dir.filePath("leftshutter.png")).convertToFormat(QImage::Format_RGB32), model->leftShutterImage);
    QCOMPARE(QImage(dir.filePath("rightshutter.png")).convertToFormat(QImage::Format_RGB32),
             model->rightShutterImage);
}

void TestWindowShutterObjs::shortListsExportTheWindowsThatHaveAll()
{
    // More images than window records (a restructured grid whose windows[0] was
    // cut), then more than shutter pairs, then no window group at all.
    auto model = makeShutterModel(300, 100, {{10, 10, 50, 60}, {110, 10, 150, 60}, {210, 10, 250, 60}});
    model->windows[0].pop_back();
    {
        QTemporaryDir dir;
        StderrCapture errors;
        QVERIFY(model->saveFacadeToMesh(dir.filePath("scene.obj").toStdString()));
        const QString said = QString::fromStdString(errors.text());
        QCOMPARE(said.count('\n'), 1);
        QVERIFY2(said.contains("1 of 3 windows left out"), qPrintable(said));
        QVERIFY(QFileInfo::exists(dir.filePath("window_1.obj")));
        QVERIFY(QFileInfo::exists(dir.filePath("rightshutter_1.obj")));
        QVERIFY(!QFileInfo::exists(dir.filePath("window_2.obj")));
        QVERIFY(!QFileInfo::exists(dir.filePath("leftshutter_2.obj")));
    }
    model->shutters.resize(1);
    {
        QTemporaryDir dir;
        QVERIFY(model->writeWindowObjs(dir.path().toStdString()));
        QVERIFY(model->writeShutterObjs(dir.path().toStdString()));
        QVERIFY(QFileInfo::exists(dir.filePath("window_0.obj")));
        QVERIFY(!QFileInfo::exists(dir.filePath("window_1.obj")));
        QVERIFY(!QFileInfo::exists(dir.filePath("rightshutter_1.obj")));
    }
    model->windows.clear();
    {
        QTemporaryDir dir;
        QVERIFY(model->writeShutterObjs(dir.path().toStdString()));
        QCOMPARE(entriesOf(dir.path()),
                 QStringList({"leftshutter.mtl", "leftshutter.png", "rightshutter.mtl", "rightshutter.png"}));
    }
}

void TestWindowShutterObjs::wholeExportEqualsItsParts_data()
{
    QTest::addColumn<bool>("withTexture"); // false: a null wall texture, which cannot be saved
    QTest::newRow("every texture") << true;
    QTest::newRow("no wall texture") << false;
}

// The whole export, which encodes the wall's texture beside the rest, writes
// the files its parts write one after the other, byte for byte; a wall
// texture that cannot be saved is told in one line and fails nothing.
void TestWindowShutterObjs::wholeExportEqualsItsParts()
{
    QFETCH(bool, withTexture);
    auto model = twoWindowModel(30.0, 120.0);
    if (!withTexture)
        model->background = QImage();
    QTemporaryDir whole;
    QTemporaryDir parts;
    StderrCapture errors;
    QVERIFY(model->saveFacadeToMesh(whole.filePath("scene.obj").toStdString()));
    const std::string told = errors.text();
    const std::string textureLine =
        "Export: cannot save texture " + whole.filePath("materialFacade.png").toStdString() + "\n";
    QCOMPARE(told, withTexture ? std::string() : textureLine);

    QVERIFY(model->writeFacadeObj(parts.filePath("scene.obj").toStdString()));
    QVERIFY(model->writeWindowObjs(parts.path().toStdString()));
    QVERIFY(model->writeShutterObjs(parts.path().toStdString()));
    const QStringList names = entriesOf(whole.path());
    QCOMPARE(names, entriesOf(parts.path()));
    QCOMPARE(names.contains("materialFacade.png"), withTexture);
    QVERIFY(names.contains("scene.obj") && names.contains("window_1.png") && names.contains("rightshutter_1.obj"));
    for (const QString &name : names)
        QVERIFY2(fileBytes(whole.filePath(name)) == fileBytes(parts.filePath(name)), qPrintable(name));
}

void TestWindowShutterObjs::filesThatCannotBeCreated()
{
    auto model = twoWindowModel(1.0, 2.0);
    QTemporaryDir dir;
    QVERIFY(!model->writeWindowObjs(dir.filePath("missing").toStdString()));
    QVERIFY(!model->writeShutterObjs(dir.filePath("missing").toStdString()));

    // A folder in the way of window 0's material: its OBJ stays empty, window 1 is not written.
    QVERIFY(QDir(dir.path()).mkdir("window_0.mtl"));
    QVERIFY(!model->writeWindowObjs(dir.path().toStdString()));
    QCOMPARE(fileBytes(dir.filePath("window_0.obj")), QByteArray());
    QVERIFY(!QFileInfo::exists(dir.filePath("window_1.obj")));

    // A folder in the way of a right leaf: the left leaf before it stays, nothing after it.
    QVERIFY(QDir(dir.path()).mkdir("rightshutter_0.obj"));
    QVERIFY(!model->writeShutterObjs(dir.path().toStdString()));
    QVERIFY(QFileInfo(dir.filePath("leftshutter_0.obj")).size() > 0);
    QVERIFY(!QFileInfo::exists(dir.filePath("leftshutter_1.obj")));
    QVERIFY(!QFileInfo::exists(dir.filePath("leftshutter.mtl")));

    // The shared materials come last.
    QTemporaryDir other;
    QVERIFY(QDir(other.path()).mkdir("rightshutter.mtl"));
    QVERIFY(!model->writeShutterObjs(other.path().toStdString()));
    QVERIFY(QFileInfo::exists(other.filePath("rightshutter_1.obj")));
    QVERIFY(QFileInfo::exists(other.filePath("leftshutter.png")));
    QVERIFY(!QFileInfo::exists(other.filePath("rightshutter.png")));
}

// The export's PNG writer: every pixel comes back as written, in grey, RGB
// and RGBA, for sizes whose rows are no multiple of anything; a null image
// or a folder that is not there writes nothing.
void TestWindowShutterObjs::texturesAreLosslessPng_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("writes");
    QTest::newRow("grey 1 x 1") << int(QImage::Format_Grayscale8) << QSize(1, 1) << true;
    QTest::newRow("RGB 7 x 5") << int(QImage::Format_RGB32) << QSize(7, 5) << true;
    QTest::newRow("RGB 257 x 33") << int(QImage::Format_RGB888) << QSize(257, 33) << true;
    QTest::newRow("RGBA with alpha 3 x 4") << int(QImage::Format_ARGB32) << QSize(3, 4) << true;
    QTest::newRow("null image") << int(QImage::Format_RGB32) << QSize(0, 0) << false;
}

void TestWindowShutterObjs::texturesAreLosslessPng()
{
    QFETCH(int, format);
    QFETCH(QSize, size);
    QFETCH(bool, writes);
    QImage image(size, QImage::Format(format));
    std::mt19937 random(unsigned(size.width() * 131 + size.height()));
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const unsigned value = unsigned(random());
            if (format == QImage::Format_Grayscale8)
                image.scanLine(y)[x] = uchar(value);
            else
                image.setPixel(x, y, value);
        }
    }
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const std::string path = dir.filePath("texture.png").toStdString();
    Failure failure;
    QCOMPARE(PngFile::write(image, path, &failure), writes);
    QCOMPARE(failure.reason.empty(), writes);
    QVERIFY(!PngFile::write(image, dir.filePath("missing/texture.png").toStdString()));
    if (!writes) {
        QVERIFY(!QFileInfo::exists(dir.filePath("texture.png")));
        return;
    }
    QImageReader reader(dir.filePath("texture.png"));
    QCOMPARE(reader.format(), QByteArray("png"));
    const QImage back = reader.read();
    QVERIFY2(!back.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(back.size(), image.size());
    QCOMPARE(back.convertToFormat(QImage::Format_ARGB32), image.convertToFormat(QImage::Format_ARGB32));
}

QTEST_GUILESS_MAIN(TestWindowShutterObjs)
#include "tst_windowshutterobjs.moc"
