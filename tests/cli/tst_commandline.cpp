// The `tessivo` program as scripts run it, on the generated test cases: info
// prints what the case files hold; export and render write exactly what the
// real dialog writes after the same steps in a fresh process (the test drives
// the dialog: Load button, spin boxes, slots, sliders, check boxes, and its
// own export and screenshot commands); bad arguments end with exit code 1 and
// one line on standard error.
#include "DialogFixture.h"
#include "FacadeGLWidget.h"
#include "KeepGLDriver.h"
#include "ModalAnswerer.h"
#include "PathText.h"
#include "QWindowData2D.h"
#include "TestCaseBuilder.h"
#include "TestCasePaths.h"
#include "TestFiles.h"
#include "ViewFixtures.h"

#include <QtTest>

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdlib>
#include <memory>

namespace {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run runTessivo(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(TESSIVO_CLI), arguments);
    Run run;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

QString treeRoot()
{
    return qEnvironmentVariable("TESSIVO_TESTDATA") + QStringLiteral("/Tessivo_TestCases");
}

TestCaseKind kindOf(bool shutter)
{
    return shutter ? TestCaseKind::Shutter : TestCaseKind::Blind;
}

// The photograph of the generated case behind a combo-box entry.
QString casePhoto(bool shutter, int index)
{
    const TestCaseKind kind = kindOf(shutter);
    return treeRoot() + "/" + QString::fromStdString(TestCasePaths::kindFolder(kind)) + "/"
        + QString::fromStdString(TestCasePaths::photoName(kind, index));
}

// One state of a case, reached by the same steps in the dialog and by options.
struct Scene {
    bool shutter = false;
    int index = 0;
    int seed = -1; // -1: the fresh process's own sequence
    int rows = 0;  // 0: as loaded
    int cols = 0;
    bool randomAngles = false;
    int left = -1; // degrees; -1: as loaded
    int right = -1;
    bool originalView = false;
    bool originalPhoto = false;
    bool grid = true;
    int width = 0; // render only: the picture scaled to this width
};

QStringList optionsOf(const Scene &s)
{
    QStringList options{casePhoto(s.shutter, s.index)};
    const auto number = [&options](const char *name, int value) {
        if (value >= 0)
            options << name << QString::number(value);
    };
    number("--seed", s.seed);
    number("--rows", s.rows > 0 ? s.rows : -1);
    number("--cols", s.cols > 0 ? s.cols : -1);
    number("--left", s.left);
    number("--right", s.right);
    number("--width", s.width > 0 ? s.width : -1);
    if (s.randomAngles)
        options << "--random-angles";
    if (s.originalView)
        options << "--original-view";
    if (s.originalPhoto)
        options << "--original-photo";
    if (!s.grid)
        options << "--no-grid";
    return options;
}

// File name -> bytes of every file in dir.
std::map<QString, QByteArray> filesIn(const QString &dir)
{
    std::map<QString, QByteArray> files;
    for (const QString &name : QDir(dir).entryList(QDir::Files))
        files[name] = fileBytes(dir + "/" + name);
    return files;
}

} // namespace

Q_DECLARE_METATYPE(Scene)

class TestCommandLine : public QObject
{
    Q_OBJECT

public:
    // The tests answer Qt's own file dialogs, never a platform dialog.
    static void initMain() { QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs); }

private slots:
    void initTestCase();
    void cleanupTestCase();

    void usage_data();
    void usage();
    void badArguments_data();
    void badArguments();
    void info_data();
    void info();
    void exportEqualsTheDialog_data();
    void exportEqualsTheDialog();
    void renderEqualsTheDialog_data();
    void renderEqualsTheDialog();
    void exportGlbAndPage_data();
    void exportGlbAndPage();
    void denseLatticesKeepTheirGrid_data();
    void denseLatticesKeepTheirGrid();

private:
    // A fresh dialog on the generated tree, brought into the scene's state.
    std::unique_ptr<DialogFixture> dialogIn(const Scene &scene);

    QTemporaryDir workDir;
};

void TestCommandLine::initTestCase()
{
    QVERIFY2(QFileInfo(treeRoot()).isDir(), qPrintable(treeRoot() + " is missing"));
    QVERIFY(workDir.isValid());
    // The dialog finds the tree through a link in its working directory.
    QVERIFY(QFile::link(treeRoot(), workDir.filePath("Tessivo_TestCases")));
    // Broken cases: a photograph that is no image, and one without its folder.
    QVERIFY(QDir(workDir.path()).mkpath("broken/blinds"));
    QVERIFY(QDir(workDir.path()).mkpath("broken/shutters"));
    QVERIFY(writeBytes(workDir.filePath("broken/blinds/5.jpg"), "not a photograph"));
    QVERIFY(QFile::copy(casePhoto(true, 1), workDir.filePath("broken/shutters/6.jpg")));
    QVERIFY(writeBytes(workDir.filePath("a-file"), "in the way"));
    // Lattices denser than the generated cases, as an import writes them.
    for (const bool shutter : {false, true}) {
        const QString kind = workDir.filePath(shutter ? "dense/shutters" : "dense/blinds");
        QVERIFY(writeTestCase(kind, "3x12.jpg", {3, 12, 8, 8, 132, 42, shutter}));
        QVERIFY(writeTestCase(kind, "14x31.jpg", {14, 31, 8, 8, 322, 152, shutter}));
    }
}

void TestCommandLine::cleanupTestCase()
{
    keepGLDriverLoaded();
}

void TestCommandLine::usage_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("expected"); // lines the output starts with, in order
    QTest::newRow("--help") << QStringList{"--help"}
                            << QStringList{"Usage: tessivo SUBCOMMAND [ARGUMENTS]", "", "Subcommands:",
                                           "  info ", "  export ", "  render "};
    QTest::newRow("help export") << QStringList{"help", "export"}
                                 << QStringList{"Usage: tessivo export CASE_PHOTO --out DIR [--rows R] [--cols C]"};
    QTest::newRow("render --help") << QStringList{"render", casePhoto(false, 0), "--help"}
                                   << QStringList{"Usage: tessivo render CASE_PHOTO --out FILE.png [--original-view]"};
}

void TestCommandLine::usage()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, expected);
    const Run run = runTessivo(arguments);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QByteArray());
    const QStringList lines = QString::fromUtf8(run.out).split('\n');
    QVERIFY(lines.size() >= expected.size());
    for (int i = 0; i < expected.size(); ++i)
        QVERIFY2(lines[i].startsWith(expected[i]), qPrintable(lines[i]));
}

// "$OUT" and "$PNG" stand for paths that do not exist and must not exist
// afterwards, "$WORK" for the working folder with its broken cases.
void TestCommandLine::badArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("expected"); // part of the one line on standard error
    const QString blind = casePhoto(false, 1);
    const QString shutter = casePhoto(true, 1);
    const QString png = "$PNG";
    auto row = [](const char *name, const QStringList &arguments, const QString &expected) {
        QTest::newRow(name) << arguments << expected;
    };
    row("no subcommand", {}, "missing subcommand");
    row("unknown subcommand", {"frobnicate"}, "unknown subcommand 'frobnicate'");
    row("help on an unknown subcommand", {"help", "frobnicate"}, "unknown subcommand 'frobnicate'");
    row("unknown option", {"export", shutter, "--out", "$OUT", "--colour"}, "unknown option '--colour'");
    row("missing value", {"render", blind, "--out"}, "--out needs a value");
    row("empty value", {"export", shutter, "--out="}, "--out needs a value");
    row("option for a value", {"export", shutter, "--rows", "--out", "$OUT"}, "--rows needs a value");
    row("option given twice", {"export", shutter, "--out", "$OUT", "--rows", "2", "--rows", "3"},
        "--rows is given twice");
    row("value for a flag", {"render", blind, "--out", png, "--no-grid=1"}, "--no-grid takes no value");
    row("non-numeric", {"export", shutter, "--out", "$OUT", "--rows", "three"},
        "--rows needs a whole number, not 'three'");
    row("trailing characters", {"render", blind, "--out", png, "--seed", "12x"},
        "--seed needs a whole number, not '12x'");
    row("rows above the spin box", {"render", blind, "--out", png, "--rows", "11"},
        "--rows 11 is out of range (1 to 10)");
    row("rows above a dense case", {"render", "$WORK/dense/blinds/14x31.jpg", "--out", png, "--rows", "15"},
        "--rows 15 is out of range (1 to 14)");
    row("no columns", {"render", blind, "--out", png, "--cols=0"}, "--cols 0 is out of range (1 to 10)");
    row("no width", {"render", blind, "--out", png, "--width", "0"}, "--width 0 is out of range");
    row("negative seed", {"export", shutter, "--out", "$OUT", "--seed", "-1"},
        "--seed -1 is out of range (0 to 4294967295)");
    row("seed beyond 64 bits", {"export", shutter, "--out", "$OUT", "--seed", "99999999999999999999"},
        "is out of range");
    row("leaf beyond open", {"export", shutter, "--out", "$OUT", "--left", "181"},
        "--left 181 is out of range (0 to 180)");
    row("leaf in a blind case", {"render", blind, "--out", png, "--left", "30"},
        "--left needs a shutter case; " + blind + " is a blind case");
    row("random angles in a blind case", {"render", blind, "--out", png, "--random-angles"},
        "--random-angles needs a shutter case");
    row("rows that do not fit", {"export", shutter, "--out", "$OUT", "--rows", "10"},
        "10 rows of");
    row("export of a blind case", {"export", blind, "--out", "$OUT"}, "only shutter cases are exported");
    row("export without --out", {"export", shutter}, "export needs --out DIR");
    row("unknown format", {"export", shutter, "--out", "$OUT", "--format", "fbx"},
        "--format must be obj, glb or html, not 'fbx'");
    row("facade width of nothing", {"export", shutter, "--out", "$OUT", "--format", "glb", "--facade-width", "0"},
        "--facade-width 0 is not a positive width");
    row("negative facade width", {"export", shutter, "--out", "$OUT", "--format", "html", "--facade-width", "-2.5"},
        "--facade-width -2.5 is not a positive width");
    row("facade width in words", {"export", shutter, "--out", "$OUT", "--format", "glb", "--facade-width", "wide"},
        "--facade-width needs a number of metres, not 'wide'");
    row("facade width of no number", {"export", shutter, "--out", "$OUT", "--format", "glb", "--facade-width",
                                      "nan"}, "--facade-width nan is not a positive width");
    row("facade width for the OBJ export", {"export", shutter, "--out", "$OUT", "--facade-width", "8"},
        "--facade-width and --replace belong to --format glb and html");
    row("glTF of a blind case", {"export", blind, "--out", "$OUT", "--format", "glb"},
        "only shutter cases are exported");
    row("glTF of a case without its files", {"export", "$WORK/broken/shutters/6.jpg", "--out", "$OUT", "--format",
                                             "glb"}, "cannot load the shutter case");
    row("render without --out", {"render", shutter}, "render needs --out FILE.png");
    row("export into a file", {"export", shutter, "--out", "$WORK/a-file/sub"}, "cannot create the folder");
    row("render to a folder", {"render", shutter, "--out", "$WORK"}, "is a folder, not a file name");
    row("render into no folder", {"render", shutter, "--out", "$OUT/x.png"}, "no folder");
    row("no case", {"info"}, "missing CASE_PHOTO");
    row("two cases", {"info", blind, shutter}, "unexpected argument '" + shutter + "'");
    row("no such photograph", {"info", treeRoot() + "/shutters/9.jpg"}, "no test case photograph");
    row("folder of no kind", {"info", treeRoot() + "/blinds/5/background.jpg"}, "cannot tell the kind of");
    row("photograph that is no image", {"render", "$WORK/broken/blinds/5.jpg", "--out", png},
        "cannot load the blind case");
    row("case without its files", {"export", "$WORK/broken/shutters/6.jpg", "--out", "$OUT"},
        "cannot load the shutter case");
}

void TestCommandLine::badArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, expected);
    const QString out = workDir.filePath("not-made");
    const QString png = workDir.filePath("not-made.png");
    for (QString &a : arguments)
        a.replace("$OUT", out).replace("$PNG", png).replace("$WORK", workDir.path());

    const Run run = runTessivo(arguments);
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.out, QByteArray());
    const QString err = QString::fromUtf8(run.err);
    QVERIFY2(err.startsWith("tessivo: ") && err.endsWith('\n') && err.count('\n') == 1, qPrintable(err));
    QVERIFY2(err.contains(expected), qPrintable(err));
    QVERIFY(!QFileInfo::exists(out));
    QVERIFY(!QFileInfo::exists(png));
}

void TestCommandLine::info_data()
{
    QTest::addColumn<bool>("shutter");
    QTest::addColumn<int>("index");
    for (const bool shutter : {false, true}) {
        for (int i = 0; i < TestCasePaths::photoCount(kindOf(shutter)); ++i)
            QTest::newRow(qPrintable(casePhoto(shutter, i).mid(treeRoot().size() + 1))) << shutter << i;
    }
}

// The numbers come from the case's files: the grid file read alone, and the
// sizes the image reader finds in the four facade images.
void TestCommandLine::info()
{
    QFETCH(bool, shutter);
    QFETCH(int, index);
    const std::string folder = QFileInfo(casePhoto(shutter, index)).absolutePath().toStdString();
    const std::string photo = TestCasePaths::photoName(kindOf(shutter), index);
    QWindowData2D grid;
    QVERIFY(grid.loadGridFile(TestCasePaths::gridFile(folder, photo)));
    const auto size = [](const std::string &path) {
        const QSize s = QImageReader(QString::fromStdString(path)).size();
        return QStringLiteral("%1 x %2").arg(s.width()).arg(s.height());
    };
    const QString expected =
        QStringLiteral("kind: %1\ngrid: %2 rows x %3 columns\nwindows: %4\n")
            .arg(shutter ? "shutter" : "blind")
            .arg(grid.detectedRowCount())
            .arg(grid.detectedColCount())
            .arg(grid.detectedWindows.at(0).size())
        + "photograph: " + size(TestCasePaths::photograph(folder, photo)) + "\n"
        + "rectified image: " + size(TestCasePaths::rectifiedImage(folder, photo)) + "\n"
        + "background: " + size(TestCasePaths::background(folder, photo)) + "\n"
        + "original background: " + size(TestCasePaths::originalBackground(folder, photo)) + "\n";
    QVERIFY(grid.detectedRowCount() > 1 && grid.detectedColCount() > 1);

    const Run run = runTessivo({"info", casePhoto(shutter, index)});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(QString::fromUtf8(run.out), expected);
}

// The user's steps in a freshly started demo: the C library's sequence
// starts as after srand(1) when nothing seeded it.
std::unique_ptr<DialogFixture> TestCommandLine::dialogIn(const Scene &scene)
{
    std::srand(scene.seed >= 0 ? unsigned(scene.seed) : 1u);
    auto fixture = std::make_unique<DialogFixture>(workDir.path());
    if (!fixture->exposed())
        return nullptr;
    TessivoDemo &dialog = fixture->dialog();
    fixture->clickLoad(scene.shutter, scene.index);
    if (!fixture->model())
        return nullptr;
    if (scene.rows > 0)
        dialog.ui.spinBoxRow->setValue(scene.rows);
    if (scene.cols > 0)
        dialog.ui.spinBoxCol->setValue(scene.cols);
    if (scene.randomAngles)
        QMetaObject::invokeMethod(&dialog, "randomShutterAngleSlot");
    if (scene.left >= 0 || scene.right >= 0) {
        // "Turn all" on, a click on the first window, the sliders, a click
        // beside every window to leave nothing selected.
        QMetaObject::invokeMethod(&dialog, "rotateAllShuttersToggledSlot", Q_ARG(bool, true));
        const FacadeWindow &first = fixture->model()->windows.at(0).at(0);
        ViewFixtures::click(*dialog.facadeView, QPoint(first.x + first.width / 2, first.y + first.height / 2));
        if (dialog.facadeView->selectedWindowIndex() != 0 || !dialog.ui.horizontalSliderLeftShutter->isEnabled())
            return nullptr;
        if (scene.left >= 0)
            dialog.ui.horizontalSliderLeftShutter->setValue(scene.left);
        if (scene.right >= 0)
            dialog.ui.horizontalSliderRightShutter->setValue(scene.right);
        ViewFixtures::click(*dialog.facadeView, QPoint(1, 1));
        if (dialog.facadeView->selectedWindowIndex() != -1)
            return nullptr;
    }
    if (!scene.grid)
        QTest::mouseClick(dialog.ui.checkBoxShowGrid, Qt::LeftButton);
    if (scene.originalView)
        QTest::mouseClick(dialog.ui.checkBoxShowInOriginalView, Qt::LeftButton);
    if (scene.originalPhoto)
        QMetaObject::invokeMethod(&dialog, "showOriginalImageToggledSlot", Q_ARG(bool, true));

    // The steps took: the grid has the counts asked for, the leaves the angles.
    const QWindowData2D &model = *fixture->model();
    if ((scene.rows > 0 && model.rows != scene.rows) || (scene.cols > 0 && model.cols != scene.cols)
        || dialog.facadeView->showGrid != scene.grid || dialog.facadeView->showInOriginalView != scene.originalView)
        return nullptr;
    for (const FacadeWindow &w : model.windows.at(0)) {
        if ((scene.left >= 0 && w.leftAngle != scene.left * QWindowData2D::pi / 180)
            || (scene.right >= 0 && w.rightAngle != scene.right * QWindowData2D::pi / 180))
            return nullptr;
    }
    return fixture;
}

void TestCommandLine::exportEqualsTheDialog_data()
{
    QTest::addColumn<Scene>("scene");
    Scene s;
    s.shutter = true;
    QTest::newRow("Facade1 as loaded") << s;
    s.index = 1;
    s.seed = 7;
    s.randomAngles = true;
    QTest::newRow("Facade2, random angles, seeded") << s;
    s = Scene();
    s.shutter = true;
    s.left = 30;
    s.right = 150;
    QTest::newRow("Facade1, every leaf turned") << s;
    s = Scene();
    s.shutter = true;
    s.index = 1;
    s.rows = 2;
    s.cols = 2;
    s.randomAngles = true;
    QTest::newRow("Facade2, a new lattice and random angles, unseeded") << s;
}

void TestCommandLine::exportEqualsTheDialog()
{
    QFETCH(Scene, scene);
    QTemporaryDir out;
    const QString fromCommand = out.filePath("command");
    const QString fromDialog = out.filePath("dialog");
    QVERIFY(QDir().mkpath(fromDialog));

    const Run run = runTessivo(QStringList{"export"} + optionsOf(scene) + QStringList{"--out", fromCommand});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QByteArray());

    ModalAnswerer answerer;
    const std::unique_ptr<DialogFixture> fixture = dialogIn(scene);
    QVERIFY2(fixture, "the dialog did not reach the scene");
    answerer.queueFileName(fromDialog + "/facade.obj");
    QVERIFY(QMetaObject::invokeMethod(&fixture->dialog(), "saveFacadeToMeshSlot"));

    const auto expected = filesIn(fromDialog);
    const std::size_t windows = fixture->model()->windows.at(0).size();
    // The wall (3 files), 3 per window, 2 leaves per window, 2 leaf materials and textures.
    QCOMPARE(expected.size(), 3 + 5 * windows + 4);
    QVERIFY(expected.at("facade.obj").size() > 1000);
    const auto actual = filesIn(fromCommand);
    QCOMPARE(actual.size(), expected.size());
    for (const auto &[name, bytes] : expected) {
        QVERIFY2(actual.count(name), qPrintable(name + " is missing"));
        QVERIFY2(actual.at(name) == bytes, qPrintable(name + " differs"));
    }
}

// The glTF file and the page: written into a new folder, refused over an
// existing output without --replace (which leaves it as it was), replaced
// with it; the page carries the same .glb as base64; a missing viewer is told
// before anything is written.
void TestCommandLine::exportGlbAndPage_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QStringList>("files");
    QTest::newRow("glb") << "glb" << QStringList{"facade.glb"};
    QTest::newRow("html") << "html"
                          << QStringList{"facade-glb.js", "facade.glb", "index.html", "three.js", "viewer.js"};
}

void TestCommandLine::exportGlbAndPage()
{
    QFETCH(QString, format);
    QFETCH(QStringList, files);
    QTemporaryDir out;
    const QString folder = out.filePath("page");
    const QStringList command{"export", casePhoto(true, 0), "--out", folder, "--format", format, "--random-angles",
                              "--seed", "3"};

    if (format == "html") {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("TESSIVO_VIEWER_DIR", out.filePath("no-viewer"));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(TESSIVO_CLI), command);
        QVERIFY(process.waitForFinished(120000));
        QCOMPARE(process.exitCode(), 1);
        QVERIFY(QString::fromUtf8(process.readAllStandardError()).contains("the page's viewer is missing"));
        QVERIFY(!QFileInfo::exists(folder));
    }

    Run run = runTessivo(command);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(QDir(folder).entryList(QDir::Files), files);
    const QByteArray glb = fileBytes(folder + "/facade.glb");
    QVERIFY(glb.startsWith("glTF"));
    QVERIFY(glb.size() > 100000); // textures inside
    if (format == "html") {
        const QByteArray script = fileBytes(folder + "/facade-glb.js");
        const int start = script.indexOf("window.TESSIVO_GLB = \"") + 22;
        QVERIFY(start > 22);
        QCOMPARE(QByteArray::fromBase64(script.mid(start, script.indexOf('"', start) - start)), glb);
        const QByteArray page = fileBytes(folder + "/index.html");
        for (const char *name : {"three.js", "facade-glb.js", "viewer.js"})
            QVERIFY(page.contains(QByteArray("<script src=\"") + name + "\"></script>"));
    }

    QVERIFY(writeBytes(folder + "/facade.glb", "an older export"));
    run = runTessivo(command);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("already holds facade.glb") && run.err.contains("--replace replaces them"),
             run.err.constData());
    QCOMPARE(fileBytes(folder + "/facade.glb"), QByteArray("an older export"));
    run = runTessivo(command + QStringList{"--replace"});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(fileBytes(folder + "/facade.glb"), glb);
}

void TestCommandLine::renderEqualsTheDialog_data()
{
    QTest::addColumn<Scene>("scene");
    Scene s;
    QTest::newRow("blind Facade1 as loaded") << s;
    s.index = 1;
    s.rows = 2;
    s.cols = 5;
    s.grid = false;
    QTest::newRow("blind Facade2, a new lattice without outlines, unseeded") << s;
    s = Scene();
    s.index = 2;
    s.originalPhoto = true;
    QTest::newRow("blind Facade3, the photograph alone") << s;
    s = Scene();
    s.shutter = true;
    s.seed = 11;
    s.randomAngles = true;
    s.originalView = true;
    QTest::newRow("shutter Facade1 in the photograph, random angles, seeded") << s;
    s = Scene();
    s.shutter = true;
    s.index = 1;
    s.left = 90;
    s.right = 20;
    QTest::newRow("shutter Facade2, every leaf turned") << s;
    // The README's picture: the dialog's screenshot, scaled.
    s = Scene();
    s.shutter = true;
    s.index = 1;
    s.randomAngles = true;
    s.originalView = true;
    s.width = 560;
    QTest::newRow("shutter Facade2 in the photograph, random angles, scaled") << s;
}

void TestCommandLine::renderEqualsTheDialog()
{
    QFETCH(Scene, scene);
    QTemporaryDir out;
    const QString fromCommand = out.filePath("command.png");
    const QString fromDialog = out.filePath("dialog.png");

    const Run run = runTessivo(QStringList{"render"} + optionsOf(scene) + QStringList{"--out", fromCommand});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QByteArray());

    ModalAnswerer answerer;
    const std::unique_ptr<DialogFixture> fixture = dialogIn(scene);
    QVERIFY2(fixture, "the dialog did not reach the scene");
    answerer.queueFileName(fromDialog);
    QVERIFY(QMetaObject::invokeMethod(&fixture->dialog(), "saveToImageSlot"));

    QImage expected;
    QVERIFY(expected.load(fromDialog, "PNG"));
    const QWindowData2D &model = *fixture->model();
    QCOMPARE(expected.size(), (scene.originalView || scene.originalPhoto ? model.originalImage : model.background).size());
    if (scene.width > 0)
        expected = expected.scaledToWidth(scene.width, Qt::SmoothTransformation);
    QImage actual;
    QVERIFY(actual.load(fromCommand, "PNG"));
    QCOMPARE(actual.size(), expected.size());
    QVERIFY(actual.convertToFormat(QImage::Format_ARGB32) == expected.convertToFormat(QImage::Format_ARGB32));
}

void TestCommandLine::denseLatticesKeepTheirGrid_data()
{
    QTest::addColumn<bool>("shutter");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::newRow("blinds 3 x 12") << false << 3 << 12;
    QTest::newRow("blinds 14 x 31") << false << 14 << 31;
    QTest::newRow("shutters 3 x 12") << true << 3 << 12;
    QTest::newRow("shutters 14 x 31") << true << 14 << 31;
}

// info tells the written counts; the spin boxes' range reaches them, so
// asking for them changes nothing, and the export holds the case's own
// windows: what the model writes for the case as read, file for file.
void TestCommandLine::denseLatticesKeepTheirGrid()
{
    QFETCH(bool, shutter);
    QFETCH(int, rows);
    QFETCH(int, cols);
    const QString photo = workDir.filePath(QStringLiteral("dense/%1/%2x%3.jpg")
                                               .arg(shutter ? "shutters" : "blinds")
                                               .arg(rows)
                                               .arg(cols));
    const Run info = runTessivo({"info", photo});
    QCOMPARE(info.exitCode, 0);
    const QString counts = QStringLiteral("grid: %1 rows x %2 columns\nwindows: %3\n").arg(rows).arg(cols).arg(rows * cols);
    QVERIFY2(QString::fromUtf8(info.out).contains(counts), info.out.constData());

    QTemporaryDir out;
    const QStringList sameCounts{photo, "--rows", QString::number(rows), "--cols", QString::number(cols)};
    const Run render = runTessivo(QStringList{"render"} + sameCounts + QStringList{"--out", out.filePath("r.png")});
    QVERIFY2(render.exitCode == 0, render.err.constData());
    QVERIFY(!QImage(out.filePath("r.png")).isNull());
    if (!shutter)
        return;

    QWindowData2D model;
    QVERIFY(model.loadShutterTestCase(toNarrowPath(QFileInfo(photo).absolutePath()),
                                      toNarrowPath(QFileInfo(photo).fileName())));
    QCOMPARE(int(model.windows.at(0).size()), rows * cols);
    QVERIFY(QDir().mkpath(out.filePath("read")));
    QVERIFY(model.saveFacadeToMesh(toNarrowPath(out.filePath("read/facade.obj"))));
    const Run exported = runTessivo(QStringList{"export"} + sameCounts + QStringList{"--out", out.filePath("command")});
    QVERIFY2(exported.exitCode == 0, exported.err.constData());
    QCOMPARE(exported.err, QByteArray());
    const auto expected = filesIn(out.filePath("read"));
    QCOMPARE(int(expected.size()), 3 + 5 * rows * cols + 4);
    const auto actual = filesIn(out.filePath("command"));
    QCOMPARE(actual.size(), expected.size());
    for (const auto &[name, bytes] : expected)
        QVERIFY2(actual.count(name) && actual.at(name) == bytes, qPrintable(name + " differs"));
}

QTEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"
