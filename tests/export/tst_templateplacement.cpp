// Template placement: windows and leaves placed from unit templates, the line
// copy that replaces vertex lines, and templates or outputs that fail.
#include "ExportTestSupport.h"
#include "StderrCapture.h"
#include "TemplatePlacement.h"
#include "TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <random>
#include <sstream>

using namespace TemplatePlacement;

namespace {

const char *const kWindowTemplate = "# unit window\n"
                                    "mtllib window.mtl\n"
                                    "o window\n"
                                    "v 0 0 0\n"
                                    "v 1 0 0\n"
                                    "v 1 1 0\n"
                                    "v 0 1 0.25\n"
                                    "vt 0 0\n"
                                    "vt 1 0\n"
                                    "vt 1 1\n"
                                    "vt 0 1\n"
                                    "vn 0 0 1\n"
                                    "usemtl frame\n"
                                    "f 1/1/1 2/2/1 3/3/1 4/4/1\n";

// A leaf template shaped like the exported unit leaf box (left: towards +x).
QByteArray leafTemplate(bool left)
{
    const QByteArray x = left ? "1" : "-1";
    QByteArray text = "# unit leaf\nmtllib leaf.mtl\nusemtl leaf\n";
    text += "v 0 1 0\nv " + x + " 1 0\nv " + x + " 0 0\nv 0 0 0\n";
    text += "v 0 1 -1\nv " + x + " 1 -1\nv " + x + " 0 -1\nv 0 0 -1\n";
    text += "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nf 1/1 2/2 3/3 4/4\nf 5 8 7 6\nf 1 5 6 2\nf 2 6 7 3\nf 3 7 8 4\nf 4 8 5 1\n";
    return text;
}

// A template and the materials its "mtllib" lines name, as a modelling tool leaves them.
bool writeTemplate(const QString &path, const QByteArray &bytes)
{
    const QString folder = QFileInfo(path).path();
    return writeBytes(path, bytes) && writeBytes(folder + "/window.mtl", "newmtl frame\nKd 0.8 0.7 0.6\n")
           && writeBytes(folder + "/leaf.mtl", "newmtl leaf\nKd 0.2 0.5 0.3\n");
}

FacadePolyMesh meshOf(const std::vector<std::array<float, 3>> &points)
{
    FacadePolyMesh mesh;
    for (const auto &p : points)
        mesh.add_vertex(FacadePolyMesh::Point(p[0], p[1], p[2]));
    return mesh;
}

// Lines that do not start a vertex must come through unchanged and in place.
void compareNonVertexLines(const QByteArray &templ, const QByteArray &placed)
{
    const QList<QByteArray> in = templ.split('\n');
    const QList<QByteArray> out = placed.split('\n');
    QCOMPARE(out.size(), in.size());
    for (int i = 0; i < in.size(); ++i)
        if (!in[i].startsWith("v "))
            QCOMPARE(out[i], in[i]);
}

} // namespace

class TestTemplatePlacement : public QObject
{
    Q_OBJECT

private slots:
    void windowTemplateFillsEveryWindow();
    void closedLeavesSitOnTheirHinges();
    void leavesMatchTheExportedBoxes();
    void lineCopy_data();
    void lineCopy();
    void vertexLinesAsOpenMeshReadsThem();
    void hostileTemplates_data();
    void hostileTemplates();
    void templatesOrOutputsThatFail();
    void outputsNeverOverwriteTemplates();
    void placementAtTheEndsOfInt();
};

void TestTemplatePlacement::windowTemplateFillsEveryWindow()
{
    QTemporaryDir dir;
    const QString templatePath = dir.filePath("window.obj");
    QVERIFY(writeTemplate(templatePath, kWindowTemplate));
    const auto templ = readTemplateMesh(templatePath.toStdString());
    QVERIFY(templ);
    QCOMPARE(int(templ->n_vertices()), 4);

    auto model = makeShutterModel(300, 100, {{10, 20, 50, 80}, {110, 5, 190, 95}});
    QVERIFY(QDir(dir.path()).mkdir("out"));
    QVERIFY(writePlacedWindows(*model, 2, *templ, templatePath.toStdString(), dir.filePath("out").toStdString()));

    const QByteArray first = fileBytes(dir.filePath("out/window_0.obj"));
    QCOMPARE(first, QByteArray("# unit window\nmtllib window.mtl\no window\n"
                               "v 10.000000 20.000000 0.000000\n"
                               "v 50.000000 20.000000 0.000000\n"
                               "v 50.000000 80.000000 0.000000\n"
                               "v 10.000000 80.000000 0.250000\n"
                               "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nvn 0 0 1\nusemtl frame\nf 1/1/1 2/2/1 3/3/1 4/4/1\n"));
    const QByteArray second = fileBytes(dir.filePath("out/window_1.obj"));
    compareNonVertexLines(kWindowTemplate, second);
    QVERIFY(second.contains("v 110.000000 5.000000 0.000000\nv 190.000000 5.000000 0.000000\n"
                            "v 190.000000 95.000000 0.000000\nv 110.000000 95.000000 0.250000\n"));
    // The template mesh itself is left as it was read.
    QCOMPARE(templ->point(FacadePolyMesh::VertexHandle(1)), FacadePolyMesh::Point(1, 0, 0));
}

void TestTemplatePlacement::closedLeavesSitOnTheirHinges()
{
    QTemporaryDir dir;
    QVERIFY(writeTemplate(dir.filePath("left.obj"), leafTemplate(true)));
    QVERIFY(writeTemplate(dir.filePath("right.obj"), leafTemplate(false)));
    const auto left = readTemplateMesh(dir.filePath("left.obj").toStdString());
    const auto right = readTemplateMesh(dir.filePath("right.obj").toStdString());
    QVERIFY(left && right);
    auto model = makeShutterModel(100, 100, {{10, 20, 50, 80}});
    QVERIFY(writePlacedLeaves(*model, 1, *left, dir.filePath("left.obj").toStdString(), *right,
                              dir.filePath("right.obj").toStdString(), dir.path().toStdString()));
    // Unturned at 3.1415926: each leaf covers its half of the window, hinge on the window edge.
    const QByteArray placedLeft = fileBytes(dir.filePath("leftshutter_0.obj"));
    QVERIFY(placedLeft.startsWith("# unit leaf\nmtllib leaf.mtl\nusemtl leaf\n"
                                  "v 10.000000 80.000000 0.000000\nv 30.000000 80.000000 0.000000\n"
                                  "v 30.000000 20.000000 0.000000\nv 10.000000 20.000000 0.000000\n"
                                  "v 10.000000 80.000000 -1.000000\nv 30.000000 80.000000 -1.000000\n"
                                  "v 30.000000 20.000000 -1.000000\nv 10.000000 20.000000 -1.000000\nvt 0 0\n"));
    compareNonVertexLines(leafTemplate(true), placedLeft);
    const QByteArray placedRight = fileBytes(dir.filePath("rightshutter_0.obj"));
    QVERIFY(placedRight.contains("v 50.000000 80.000000 0.000000\nv 30.000000 80.000000 0.000000\n"
                                 "v 30.000000 20.000000 0.000000\nv 50.000000 20.000000 0.000000\n"));
    compareNonVertexLines(leafTemplate(false), placedRight);
}

void TestTemplatePlacement::leavesMatchTheExportedBoxes()
{
    // Leaf templates shaped like the unit boxes land where the exported boxes do.
    QTemporaryDir dir;
    QVERIFY(writeTemplate(dir.filePath("left.obj"), leafTemplate(true)));
    QVERIFY(writeTemplate(dir.filePath("right.obj"), leafTemplate(false)));
    const auto left = readTemplateMesh(dir.filePath("left.obj").toStdString());
    const auto right = readTemplateMesh(dir.filePath("right.obj").toStdString());
    QVERIFY(left && right);
    std::mt19937 random(99u);
    std::uniform_real_distribution<double> angles(0.0, 3.1415926);
    for (int round = 0; round < 10; ++round) {
        QTemporaryDir boxes;
        QTemporaryDir placed;
        auto model = makeShutterModel(400, 200, {{10, 20, 50, 80}, {210, 40, 290, 190}}, angles(random),
                                      angles(random));
        model->windows[0][1].leftAngle = angles(random);
        QVERIFY(model->writeShutterObjs(boxes.path().toStdString()));
        QVERIFY(writePlacedLeaves(*model, 2, *left, dir.filePath("left.obj").toStdString(), *right,
                                  dir.filePath("right.obj").toStdString(), placed.path().toStdString()));
        for (const char *name : {"leftshutter_0.obj", "rightshutter_0.obj", "leftshutter_1.obj", "rightshutter_1.obj"}) {
            ObjData box, leaf;
            QVERIFY(readObj(boxes.filePath(name), box));
            QVERIFY(readObj(placed.filePath(name), leaf));
            QCOMPARE(int(leaf.v.size()), 8);
            QCOMPARE(int(box.v.size()), 8);
            for (int i = 0; i < 8; ++i)
                for (int k = 0; k < 3; ++k)
                    QVERIFY2(std::abs(leaf.v[i][k] - box.v[i][k]) < 1e-4,
                             qPrintable(QString("%1 corner %2: %3 against %4").arg(name).arg(i).arg(leaf.v[i][k]).arg(box.v[i][k])));
        }
    }
}

void TestTemplatePlacement::lineCopy_data()
{
    QTest::addColumn<QByteArray>("templ");
    QTest::addColumn<bool>("copied");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray longComment = "# " + QByteArray(600, 'x') + "\n";
    QTest::newRow("blanks before the v and a tab after it")
        << QByteArray("  v 0 0 0\nv\t1 0 0\n") << true
        << QByteArray("v 10.000000 20.000000 30.000000\nv -1.500000 0.250000 0.000000\n");
    QTest::newRow("texture, normal and parameter lines pass")
        << QByteArray("vt 0 0\nvn 0 0 1\nvp 0.5\nv\nvx 1\n#v 1 2 3\nv 5 5 5\n") << true
        << QByteArray("vt 0 0\nvn 0 0 1\nvp 0.5\nv\nvx 1\n#v 1 2 3\nv 10.000000 20.000000 30.000000\n");
    QTest::newRow("no newline at the end")
        << QByteArray("v 0 0 0\ng last") << true << QByteArray("v 10.000000 20.000000 30.000000\ng last");
    QTest::newRow("carriage returns kept on other lines")
        << QByteArray("o leaf\r\nv 0 0 0\r\nf 1 1 1\r\n") << true
        << QByteArray("o leaf\r\nv 10.000000 20.000000 30.000000\nf 1 1 1\r\n");
    QTest::newRow("lines longer than 255 characters")
        << longComment + "v 0 0 0 # " + QByteArray(400, 'y') + "\nv 1 1 1\n" << true
        << longComment + "v 10.000000 20.000000 30.000000\nv -1.500000 0.250000 0.000000\n";
    QTest::newRow("white space OpenMesh trims or takes as a separator")
        << QByteArray("\rv 0 0 0\nv\f1\v1 1\n") << true
        << QByteArray("v 10.000000 20.000000 30.000000\nv -1.500000 0.250000 0.000000\n");
    QTest::newRow("empty template") << QByteArray() << true << QByteArray();
    // Never placed and unplaced vertices in one output: such templates write nothing.
    QTest::newRow("more vertex lines than vertices")
        << QByteArray("v 0 0 0\nv 1 0 0\nv 1 1 0\nf 1 2 3\n") << false << QByteArray();
    QTest::newRow("a vertex line OpenMesh drops") << QByteArray("v 0 0\nv 0 0 0\n") << false << QByteArray();
    QTest::newRow("a vertex line OpenMesh skips") << QByteArray("\fv 0 0 0\nv 0 0 0\n") << false << QByteArray();
    QTest::newRow("two vertices where CR ends a line") << QByteArray("v 0 0 0\rv 1 1 1\n") << false << QByteArray();
}

void TestTemplatePlacement::lineCopy()
{
    QFETCH(QByteArray, templ);
    QFETCH(bool, copied);
    QFETCH(QByteArray, expected);
    const FacadePolyMesh mesh = meshOf({{10, 20, 30}, {-1.5f, 0.25f, 0}});
    std::istringstream in(templ.toStdString());
    std::ostringstream out;
    Failure failure;
    QCOMPARE(writePlacedTemplateObj(in, out, mesh, &failure), copied);
    QCOMPARE(QByteArray::fromStdString(out.str()), expected);
    QCOMPARE(failure.reason.empty(), copied);
}

void TestTemplatePlacement::vertexLinesAsOpenMeshReadsThem()
{
    // Whatever OpenMesh counts as a vertex is replaced, so the k-th placed
    // vertex goes to the k-th vertex line and no template position survives.
    QTemporaryDir dir;
    const QByteArray templ = "v 0 0 0\n  v 1 0 0\nv\t1 1 0\n\tv 0 1 0\nvt 0 0\nf 1 2 3 4\n";
    QVERIFY(writeBytes(dir.filePath("odd.obj"), templ));
    const auto mesh = readTemplateMesh(dir.filePath("odd.obj").toStdString());
    QVERIFY(mesh);
    QCOMPARE(int(mesh->n_vertices()), 4);
    auto model = makeShutterModel(300, 300, {{100, 100, 200, 300}});
    QVERIFY(writePlacedWindows(*model, 1, *mesh, dir.filePath("odd.obj").toStdString(), dir.path().toStdString()));
    QCOMPARE(fileBytes(dir.filePath("window_0.obj")),
             QByteArray("v 100.000000 100.000000 0.000000\nv 200.000000 100.000000 0.000000\n"
                        "v 200.000000 300.000000 0.000000\nv 100.000000 300.000000 0.000000\nvt 0 0\nf 1 2 3 4\n"));
}

// Templates that aborted the program inside OpenMesh's reader, or had their
// placed vertices written onto the wrong lines: each is refused with the line
// at fault, or placed on exactly the lines OpenMesh reads as vertices.
void TestTemplatePlacement::hostileTemplates_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("templ");
    QTest::addColumn<QString>("refusal");  // part of the reason; empty when placed
    QTest::addColumn<QByteArray>("placed"); // window_0.obj for a window at x 100..200, y 100..300
    const QByteArray unitSquare = "v 100.000000 100.000000 0.000000\nv 200.000000 100.000000 0.000000\n"
                                  "v 200.000000 300.000000 0.000000\n";
    QTest::newRow("face corner without a vertex number")
        << "w.obj" << QByteArray("f /1") << "line 1 has a face corner" << QByteArray();
    QTest::newRow("normal without a vertex number")
        << "w.obj" << QByteArray("v 0 0 0\nv 1 0 0\nv 1 1 0\nf 1 //1 2\n") << "line 4 has a face corner"
        << QByteArray();
    QTest::newRow("corner of four numbers")
        << "w.obj" << QByteArray("v 0 0 0\nv 1 0 0\nv 1 1 0\nf 1/1/1/1 2 3\n") << "line 4 has a face corner"
        << QByteArray();
    QTest::newRow("two-number vertex line")
        << "w.obj" << QByteArray("v 0 0\nv 0 0 0\nv 1 0 0\nv 1 1 0\nf 2 3 4\n") << "line 1 looks like a vertex"
        << QByteArray();
    QTest::newRow("decimal comma")
        << "w.obj" << QByteArray("v 0,5 0 0\nv 0 0 0\nv 1 0 0\nv 1 1 0\n") << "line 1 looks like a vertex"
        << QByteArray();
    QTest::newRow("number outside float range")
        << "w.obj" << QByteArray("v 0 0 0\nv 1e39 0 0\nv 1 0 0\nv 1 1 0\nf 1 3 4\n")
        << "line 2 looks like a vertex" << QByteArray();
    QTest::newRow("form feed before the v")
        << "w.obj" << QByteArray("v 0 0 0\n\fv 1 0 0\nv 1 1 0\n") << "line 2 looks like a vertex" << QByteArray();
    QTest::newRow("lines ended by CR alone")
        << "w.obj" << QByteArray("v 0 0 0\rv 1 0 0\rv 1 1 0\rf 1 2 3\r") << "line 1 looks like a vertex"
        << QByteArray();
    QTest::newRow("a name OpenMesh reads with another reader")
        << "w.off" << QByteArray("OFF\n3 1 0\n0 0 0\n1 0 0\n1 1 0\n3 0 1 2\n") << "does not end in .obj"
        << QByteArray();
    QTest::newRow("form feed after the v")
        << "w.obj" << QByteArray("v\f0 0 0\nv 1 0 0\nv 1 1 0\nf 1 2 3\n") << QString()
        << unitSquare + "f 1 2 3\n";
    QTest::newRow("lone CR before a vertex line")
        << "w.obj" << QByteArray("v 0 0 0\n\rv 1 0 0\nv 1 1 0\nf 1 2 3\n") << QString()
        << unitSquare + "f 1 2 3\n";
    // OpenMesh adds copies of the vertices of the second face after the three read.
    QTest::newRow("faces OpenMesh splits off")
        << "w.OBJ" << QByteArray("v 0 0 0\nv 1 0 0\nv 1 1 0\nf 1 2 3\nf 1 2 3\n") << QString()
        << unitSquare + "f 1 2 3\nf 1 2 3\n";
}

void TestTemplatePlacement::hostileTemplates()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, templ);
    QFETCH(QString, refusal);
    QFETCH(QByteArray, placed);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    QVERIFY(writeBytes(path, templ));
    Failure failure;
    std::unique_ptr<FacadePolyMesh> mesh;
    {
        StderrCapture errors;
        mesh = readTemplateMesh(path.toStdString(), &failure);
        const QString logged = QString::fromStdString(errors.text());
        if (!refusal.isEmpty())
            QVERIFY2(logged.count('\n') == 1 && logged.contains(path), qPrintable(logged));
    }
    if (!refusal.isEmpty()) {
        QVERIFY(!mesh);
        QVERIFY2(QString::fromStdString(failure.reason).contains(refusal), failure.reason.c_str());
        QVERIFY2(QString::fromStdString(failure.reason).contains(path), failure.reason.c_str());
        return;
    }
    QVERIFY2(mesh, failure.reason.c_str());
    auto model = makeShutterModel(300, 300, {{100, 100, 200, 300}});
    QVERIFY(QDir(dir.path()).mkdir("out"));
    QVERIFY(writePlacedWindows(*model, 1, *mesh, path.toStdString(), dir.filePath("out").toStdString()));
    QCOMPARE(fileBytes(dir.filePath("out/window_0.obj")), placed);
}

void TestTemplatePlacement::templatesOrOutputsThatFail()
{
    QTemporaryDir dir;
    const QString templatePath = dir.filePath("window.obj");
    QVERIFY(writeTemplate(templatePath, kWindowTemplate));
    const auto templ = readTemplateMesh(templatePath.toStdString());
    QVERIFY(templ);
    QVERIFY(!readTemplateMesh(dir.filePath("absent.obj").toStdString()));

    // A template gone before it is copied: nothing is created, one line on stderr.
    {
        StderrCapture errors;
        QVERIFY(!writePlacedTemplateObj(dir.filePath("gone.obj").toStdString(), dir.filePath("out.obj").toStdString(),
                                        *templ));
        QCOMPARE(QString::fromStdString(errors.text()).count('\n'), 1);
        QVERIFY(!QFileInfo::exists(dir.filePath("out.obj")));
    }
    // An output that cannot be created stops the windows after it.
    auto model = makeShutterModel(300, 100, {{10, 20, 50, 80}, {110, 20, 150, 80}});
    QVERIFY(QDir(dir.path()).mkdir("window_0.obj"));
    {
        StderrCapture errors;
        QVERIFY(!writePlacedWindows(*model, 2, *templ, templatePath.toStdString(), dir.path().toStdString()));
        QCOMPARE(QString::fromStdString(errors.text()).count('\n'), 1);
    }
    QVERIFY(!QFileInfo::exists(dir.filePath("window_1.obj")));
    QVERIFY(!writePlacedWindows(*model, 2, *templ, templatePath.toStdString(), dir.filePath("missing").toStdString()));
    // Count zero writes nothing.
    QTemporaryDir empty;
    QVERIFY(writePlacedWindows(*model, 0, *templ, templatePath.toStdString(), empty.path().toStdString()));
    QVERIFY(writePlacedLeaves(*model, 0, *templ, templatePath.toStdString(), *templ, templatePath.toStdString(),
                              empty.path().toStdString()));
    QVERIFY(QDir(empty.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

// An output named like a chosen template (directly or through a link) would
// destroy the template before it is copied: such a run is refused up front.
void TestTemplatePlacement::outputsNeverOverwriteTemplates()
{
    QTemporaryDir dir;
    QTemporaryDir elsewhere;
    const std::string folder = dir.path().toStdString();
    const std::string own = dir.filePath("window_0.obj").toStdString();
    const std::string second = dir.filePath("leftshutter_1.obj").toStdString();
    const std::string apart = elsewhere.filePath("window_0.obj").toStdString();
    QVERIFY(writeTemplate(QString::fromStdString(own), kWindowTemplate));
    QVERIFY(writeTemplate(QString::fromStdString(second), leafTemplate(true)));
    QVERIFY(writeTemplate(QString::fromStdString(apart), kWindowTemplate));

    {
        StderrCapture errors;
        QVERIFY(!outputsSpareTemplates(folder, 1, {own}));
        QCOMPARE(QString::fromStdString(errors.text()).count('\n'), 1);
    }
    QVERIFY(!outputsSpareTemplates(folder, 2, {apart, second}));
    // Window 1 is not written with a count of 1; a template in another folder is safe.
    QVERIFY(outputsSpareTemplates(folder, 1, {apart, second}));
    QVERIFY(outputsSpareTemplates(folder, 0, {own}));
    // A link in the output folder leading to a template elsewhere.
    QVERIFY(QFile::link(QString::fromStdString(apart), dir.filePath("rightshutter_0.obj")));
    QVERIFY(!outputsSpareTemplates(folder, 1, {apart}));
    QCOMPARE(fileBytes(QString::fromStdString(apart)), QByteArray(kWindowTemplate));
}

// Hinges at the ends of int: the window span exceeds int but is placed exactly.
void TestTemplatePlacement::placementAtTheEndsOfInt()
{
    ShutterPair pair;
    pair.left.hinge1 = QPoint(-2000000000, -2000000000);
    pair.left.hinge2 = QPoint(-2000000000, 2000000000);
    pair.right.hinge1 = QPoint(2000000000, -2000000000);
    pair.right.hinge2 = QPoint(2000000000, 2000000000);
    const HingeBounds box = hingeBounds(pair);
    const ExportGeometry::Point3 corner = ExportGeometry::placeInWindow(box, {1.0, 1.0, 0.5});
    QCOMPARE(corner.x, 2000000000.0);
    QCOMPARE(corner.y, 2000000000.0);
    QCOMPARE(corner.z, 0.5);
    const ExportGeometry::LeafPlacement leaf = ExportGeometry::leftLeafPlacement(pair, QWindowData2D::pi);
    QCOMPARE(leaf.sx, 2000000000.0);
    QCOMPARE(leaf.sy, 4000000000.0);
}

QTEST_GUILESS_MAIN(TestTemplatePlacement)
#include "tst_templateplacement.moc"
