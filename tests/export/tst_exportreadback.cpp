// The exported scene of each generated shutter test case, read back by two
// real OBJ readers: OpenMesh and the assimp command-line tool.
#include "ExportTestSupport.h"
#include "FacadeMesh.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <set>

namespace {

// Counts of what assimp's "info" command reports, -1 when a line is missing.
struct AssimpInfo {
    bool loaded = false;
    int vertices = -1;
    int faces = -1;
    QString output;
};

AssimpInfo assimpInfo(const QString &path)
{
    AssimpInfo info;
    QProcess assimp;
    assimp.start("assimp", {"info", path});
    if (!assimp.waitForFinished(60000))
        return info;
    info.output = QString::fromUtf8(assimp.readAllStandardOutput() + assimp.readAllStandardError());
    info.loaded = assimp.exitStatus() == QProcess::NormalExit && assimp.exitCode() == 0
                  && !info.output.contains("ERROR");
    const auto number = [&](const char *label) {
        const QRegularExpressionMatch match =
            QRegularExpression(QString("^%1:\\s+(\\d+)$").arg(label), QRegularExpression::MultilineOption)
                .match(info.output);
        return match.hasMatch() ? match.captured(1).toInt() : -1;
    };
    info.vertices = number("Vertices");
    info.faces = number("Faces");
    return info;
}

// Vertices that some face uses: assimp keeps only those.
int usedVertexCount(const ObjData &obj)
{
    std::set<int> used;
    for (const auto &face : obj.faces)
        for (const auto &corner : face)
            used.insert(corner[0]);
    return int(used.size());
}

} // namespace

class TestExportReadback : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void generatedCase_data();
    void generatedCase();

private:
    QString shutterFolder;
};

void TestExportReadback::initTestCase()
{
    const QByteArray data = qgetenv("TESSIVO_TESTDATA");
    if (data.isEmpty())
        QSKIP("TESSIVO_TESTDATA is not set: run through ctest, which generates the test cases");
    shutterFolder = QString::fromLocal8Bit(data) + "/Tessivo_TestCases/shutters";
    QVERIFY2(QDir(shutterFolder).exists(), qPrintable(shutterFolder));
    QProcess probe;
    probe.start("assimp", {"version"});
    QVERIFY2(probe.waitForFinished(30000) && probe.exitCode() == 0,
             "the assimp command-line tool is missing (scripts/setup.sh installs assimp-utils)");
}

void TestExportReadback::generatedCase_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::newRow("Facade1") << "1.jpg";
    QTest::newRow("Facade2") << "6.jpg";
}

void TestExportReadback::generatedCase()
{
    QFETCH(QString, fileName);
    QWindowData2D model;
    QVERIFY(model.loadShutterTestCase(shutterFolder.toStdString(), fileName.toStdString()));
    const int windows = int(model.currentImages.size());
    QVERIFY(windows > 0);
    QTemporaryDir out;
    const QString scene = out.filePath("scene.obj");
    QVERIFY(model.saveFacadeToMesh(scene.toStdString()));

    ObjData obj;
    QVERIFY(readObj(scene, obj));
    QVERIFY(int(obj.v.size()) >= 4 + 4 * windows);

    // OpenMesh keeps every vertex and must accept every face.
    FacadePolyMesh wall;
    QVERIFY(OpenMesh::IO::read_mesh(wall, scene.toStdString()));
    QCOMPARE(int(wall.n_vertices()), int(obj.v.size()));
    QCOMPARE(int(wall.n_faces()), int(obj.faces.size()));

    // The wall is the facade without the window openings.
    std::vector<Box> boxes;
    for (int i = 0; i < windows; ++i) {
        const ShutterPair &pair = model.shutters[std::size_t(i)];
        const QPoint p[4] = {pair.left.hinge1, pair.left.hinge2, pair.right.hinge1, pair.right.hinge2};
        Box box{p[0].x(), p[0].y(), p[0].x(), p[0].y()};
        for (const QPoint &q : p) {
            box.minx = std::min(box.minx, q.x());
            box.miny = std::min(box.miny, q.y());
            box.maxx = std::max(box.maxx, q.x());
            box.maxy = std::max(box.maxy, q.y());
        }
        boxes.push_back(box);
    }
    double total = 0.0;
    for (const auto f : wall.faces()) {
        std::vector<FacadePolyMesh::Point> corners;
        for (const auto v : wall.fv_range(f))
            corners.push_back(wall.point(v));
        QCOMPARE(int(corners.size()), 3);
        total += 0.5 * double((corners[1][0] - corners[0][0]) * (corners[2][1] - corners[0][1])
                              - (corners[2][0] - corners[0][0]) * (corners[1][1] - corners[0][1]));
    }
    const double expected = wallAreaOf(model.rectifiedImage.width(), model.rectifiedImage.height(), boxes);
    QVERIFY2(std::abs(total - expected) < 1e-6 * expected, qPrintable(QString("%1 against %2").arg(total).arg(expected)));

    const AssimpInfo info = assimpInfo(scene);
    QVERIFY2(info.loaded, qPrintable(info.output));
    QCOMPARE(info.faces, int(obj.faces.size()));
    QCOMPARE(info.vertices, usedVertexCount(obj));
    QVERIFY(info.output.contains("'materialFacade.png'"));

    // Every window quad and leaf box opens in OpenMesh; the first and last in assimp too.
    for (int i = 0; i < windows; ++i) {
        const struct {
            QString name;
            int vertices;
            int faces;
            int triangles;       // assimp splits the quads
            int cornerVertices;  // and gives each side of a box its own normal
        } parts[3] = {{QString("window_%1.obj").arg(i), 4, 1, 2, 4},
                      {QString("leftshutter_%1.obj").arg(i), 8, 6, 12, 24},
                      {QString("rightshutter_%1.obj").arg(i), 8, 6, 12, 24}};
        for (const auto &part : parts) {
            FacadePolyMesh mesh;
            QVERIFY2(OpenMesh::IO::read_mesh(mesh, out.filePath(part.name).toStdString()), qPrintable(part.name));
            QCOMPARE(int(mesh.n_vertices()), part.vertices);
            QCOMPARE(int(mesh.n_faces()), part.faces);
            if (i == 0 || i == windows - 1) {
                const AssimpInfo partInfo = assimpInfo(out.filePath(part.name));
                QVERIFY2(partInfo.loaded, qPrintable(partInfo.output));
                QCOMPARE(partInfo.faces, part.triangles);
                QCOMPARE(partInfo.vertices, part.cornerVertices);
            }
        }
    }
}

QTEST_GUILESS_MAIN(TestExportReadback)
#include "tst_exportreadback.moc"
