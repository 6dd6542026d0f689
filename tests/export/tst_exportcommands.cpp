// The dialog's two export commands driven through the meta-object system, with
// their file dialogs and warnings answered from the test.
#include "DialogFixture.h"
#include "ExportPaths.h"
#include "ExportTestSupport.h"
#include "KeepGLDriver.h"
#include "ModalAnswerer.h"
#include "PathText.h"
#include "QWindowData2D.h"
#include "TestCaseBuilder.h"
#include "TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QAction>
#include <QInputDialog>
#include <QTemporaryDir>
#include <QtTest>

#include <tiny_gltf.h>

namespace {

const QString kTitle = QStringLiteral("Gen 3D window objs");
const QStringList kMeshFilter{QStringLiteral("Mesh file (*.obj)")};

QStringList entriesOf(const QString &dir)
{
    QStringList names = QDir(dir).entryList(QDir::Files | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

// The file names of a list of paths, sorted, each once.
QStringList namesOf(const std::vector<std::string> &paths)
{
    QStringList names;
    for (const std::string &path : paths)
        names << QFileInfo(toQtPath(path)).fileName();
    names.sort();
    names.removeDuplicates();
    return names;
}

} // namespace

class TestExportCommands : public QObject
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

    void nothingWithoutModel();
    void saveFacadeAsksForAFileAndWrites();
    void saveFacadeOfALoadedShutterCase();
    void saveFacadeSkipsBlindCasesAndCancels();
    void exportGltf_data();
    void exportGltf();
    void templatesNeedAShutterCase();
    void templateDialogsStopWhenCancelled_data();
    void templateDialogsStopWhenCancelled();
    void unreadableTemplates_data();
    void unreadableTemplates();
    void templatesPlacedInTheLeftTemplatesFolder();

private:
    void useShutterModel();
    QTemporaryDir workDir;
    QString windowObj, leftObj, rightObj, notAMesh;
    std::unique_ptr<DialogFixture> fixture;
    std::unique_ptr<ModalAnswerer> answerer;
};

void TestExportCommands::initTestCase()
{
    QVERIFY(workDir.isValid());
    QVERIFY(writeTestCase(workDir.path() + "/Tessivo_TestCases/shutters", "1.jpg", CasePlan{2, 3, 20, 24, 160, 120, true}));
    // The three templates, each in a folder of its own.
    for (const char *folder : {"tw", "tl", "tr", "out"})
        QVERIFY(QDir(workDir.path()).mkpath(folder));
    windowObj = workDir.filePath("tw/window.obj");
    leftObj = workDir.filePath("tl/left.obj");
    rightObj = workDir.filePath("tr/right.obj");
    notAMesh = workDir.filePath("tw/window.txt");
    QVERIFY(writeBytes(windowObj, "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nf 1 2 3 4\n"));
    QVERIFY(writeBytes(leftObj, "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nf 1 2 3 4\n"));
    QVERIFY(writeBytes(rightObj, "v 0 0 0\nv -1 0 0\nv -1 1 0\nv 0 1 0\nf 4 3 2 1\n"));
    QVERIFY(writeBytes(notAMesh, "no mesh reader takes this name\n"));
}

void TestExportCommands::cleanupTestCase()
{
    keepGLDriverLoaded();
}

void TestExportCommands::init()
{
    fixture = std::make_unique<DialogFixture>(workDir.path());
    QVERIFY(fixture->exposed());
    answerer = std::make_unique<ModalAnswerer>();
}

void TestExportCommands::cleanup()
{
    answerer.reset();
    fixture.reset();
}

void TestExportCommands::useShutterModel()
{
    fixture->dialog().windowData = makeShutterModel(300, 120, {{10, 20, 50, 80}, {110, 20, 150, 80}, {210, 20, 250, 80}});
}

void TestExportCommands::nothingWithoutModel()
{
    QVERIFY(QMetaObject::invokeMethod(&fixture->dialog(), "saveFacadeToMeshSlot"));
    QVERIFY(QMetaObject::invokeMethod(&fixture->dialog(), "gen3DWindowObjsSlot"));
    QVERIFY(answerer->seen().empty());
}

void TestExportCommands::saveFacadeAsksForAFileAndWrites()
{
    useShutterModel();
    QTemporaryDir out;
    answerer->queueFileName(out.filePath("facade.obj"));
    QVERIFY(QMetaObject::invokeMethod(&fixture->dialog(), "saveFacadeToMeshSlot"));
    QCOMPARE(int(answerer->seen().size()), 1);
    const ModalRecord &record = answerer->seen().front();
    QCOMPARE(record.title, QStringLiteral("Save facade to mesh file"));
    QCOMPARE(record.nameFilters, kMeshFilter);
    QVERIFY(record.saveDialog);
    QStringList expected{"facade.mtl", "facade.obj", "leftshutter.mtl", "leftshutter.png", "materialFacade.png",
                         "rightshutter.mtl", "rightshutter.png"};
    for (int i = 0; i < 3; ++i)
        expected << QString("leftshutter_%1.obj").arg(i) << QString("rightshutter_%1.obj").arg(i)
                 << QString("window_%1.mtl").arg(i) << QString("window_%1.obj").arg(i)
                 << QString("window_%1.png").arg(i);
    expected.sort();
    QCOMPARE(entriesOf(out.path()), expected);
    // The list the dialog asks about before replacing names every file written.
    const std::vector<std::string> listed = ExportPaths::facadeExportFiles(toNarrowPath(out.filePath("facade.obj")), 3);
    QCOMPARE(int(listed.size()), expected.size());
    QCOMPARE(namesOf(listed), expected);
}

void TestExportCommands::saveFacadeOfALoadedShutterCase()
{
    fixture->clickLoad(true, 0);
    QWindowData2D *model = fixture->model();
    QVERIFY(model);
    QCOMPARE(model->caseKind, int(TestCaseKind::Shutter));
    QTemporaryDir out;
    answerer->queueFileName(out.filePath("loaded.obj"));
    QVERIFY(QMetaObject::invokeMethod(&fixture->dialog(), "saveFacadeToMeshSlot"));
    ObjData obj;
    QVERIFY(readObj(out.filePath("loaded.obj"), obj));
    const int windows = int(model->currentImages.size());
    QCOMPARE(windows, 6);
    QVERIFY(int(obj.v.size()) >= 4 + 4 * windows);
    QVERIFY(!obj.faces.empty());
    QVERIFY(QFileInfo::exists(out.filePath(QString("rightshutter_%1.obj").arg(windows - 1))));
}

void TestExportCommands::saveFacadeSkipsBlindCasesAndCancels()
{
    useShutterModel();
    QTemporaryDir out;
    answerer->queueFileName(QString()); // cancelled
    QVERIFY(QMetaObject::invokeMethod(&fixture->dialog(), "saveFacadeToMeshSlot"));
    QCOMPARE(int(answerer->seen().size()), 1);
    fixture->dialog().windowData->caseKind = int(TestCaseKind::Blind);
    answerer->queueFileName(out.filePath("blind.obj"));
    QVERIFY(QMetaObject::invokeMethod(&fixture->dialog(), "saveFacadeToMeshSlot"));
    QCOMPARE(int(answerer->seen().size()), 2);
    QVERIFY(entriesOf(out.path()).isEmpty());
}

// The glTF command: a file, the facade's width in metres, the question before
// an existing file is replaced; nothing for a blind case or a cancel.
void TestExportCommands::exportGltf_data()
{
    QTest::addColumn<bool>("shutter");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<double>("metres");     // typed into the width dialog; 0: cancelled
    QTest::addColumn<int>("replaceAnswer"); // QMessageBox::StandardButton
    QTest::addColumn<bool>("written");
    QTest::newRow("new file, 6 m wide") << true << false << 6.0 << int(QMessageBox::NoButton) << true;
    QTest::newRow("existing file replaced") << true << true << 4.5 << int(QMessageBox::Yes) << true;
    QTest::newRow("existing file kept") << true << true << 4.5 << int(QMessageBox::No) << false;
    QTest::newRow("width cancelled") << true << false << 0.0 << int(QMessageBox::NoButton) << false;
    QTest::newRow("blind case") << false << false << 6.0 << int(QMessageBox::NoButton) << false;
}

void TestExportCommands::exportGltf()
{
    QFETCH(bool, shutter);
    QFETCH(bool, exists);
    QFETCH(double, metres);
    QFETCH(int, replaceAnswer);
    QFETCH(bool, written);
    useShutterModel();
    if (!shutter)
        fixture->dialog().windowData->caseKind = int(TestCaseKind::Blind);
    QTemporaryDir out;
    const QString path = out.filePath("facade.glb");
    if (exists)
        QVERIFY(writeBytes(path, "older"));
    answerer->queueFileName(path);
    answerer->queueStep("QInputDialog", [metres](QWidget *widget) {
        auto *input = static_cast<QInputDialog *>(widget);
        if (metres > 0.0) {
            input->setDoubleValue(metres);
            input->accept();
        } else {
            input->reject();
        }
    });
    if (replaceAnswer != QMessageBox::NoButton)
        answerer->queueButton(QMessageBox::StandardButton(replaceAnswer));
    // Through its command, as the menu and the key reach it.
    QAction *command = fixture->dialog().findChild<QAction *>(QStringLiteral("exportGltf"));
    QVERIFY(command);
    command->setEnabled(true);
    command->trigger();
    QCOMPARE(answerer->seen().front().title, QStringLiteral("Export for 3D tools (glTF)"));
    if (!written) {
        QCOMPARE(QFileInfo::exists(path), exists);
        if (exists)
            QCOMPARE(fileBytes(path), QByteArray("older"));
        return;
    }
    // The wall spans the typed width: the model is 300 pixels wide.
    tinygltf::TinyGLTF loader;
    tinygltf::Model gltf;
    std::string error, warning;
    QVERIFY2(loader.LoadBinaryFromFile(&gltf, &error, &warning, toNarrowPath(path)), error.c_str());
    QCOMPARE(int(gltf.nodes.size()), 2 + 3 * 3);
    QVERIFY(std::abs(gltf.accessors.at(0).maxValues.at(0) - metres) < 1e-5);
}

void TestExportCommands::templatesNeedAShutterCase()
{
    useShutterModel();
    fixture->dialog().windowData->caseKind = int(TestCaseKind::Blind);
    QVERIFY(QMetaObject::invokeMethod(&fixture->dialog(), "gen3DWindowObjsSlot"));
    QCOMPARE(int(answerer->seen().size()), 1);
    const ModalRecord &record = answerer->seen().front();
    QCOMPARE(record.className, QStringLiteral("QMessageBox"));
    QCOMPARE(record.title, kTitle);
    QCOMPARE(record.text, QStringLiteral("Only support for shutter type now!!"));
    QCOMPARE(record.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

void TestExportCommands::templateDialogsStopWhenCancelled_data()
{
    QTest::addColumn<int>("answered");
    QTest::newRow("window cancelled") << 0;
    QTest::newRow("left cancelled") << 1;
    QTest::newRow("right cancelled") << 2;
}

void TestExportCommands::templateDialogsStopWhenCancelled()
{
    QFETCH(int, answered);
    useShutterModel();
    const QStringList paths{windowObj, leftObj, rightObj};
    for (int i = 0; i < answered; ++i)
        answerer->queueFileName(paths[i]);
    answerer->queueFileName(QString());
    QVERIFY(QMetaObject::invokeMethod(&fixture->dialog(), "gen3DWindowObjsSlot"));
    const QStringList captions{"Load window obj", "Load left shutter obj", "Load right shutter obj"};
    QCOMPARE(int(answerer->seen().size()), answered + 1);
    for (int i = 0; i <= answered; ++i) {
        QCOMPARE(answerer->seen()[std::size_t(i)].title, captions[i]);
        QCOMPARE(answerer->seen()[std::size_t(i)].nameFilters, kMeshFilter);
        QVERIFY(!answerer->seen()[std::size_t(i)].saveDialog);
    }
    QCOMPARE(entriesOf(workDir.filePath("tl")), QStringList{"left.obj"});
}

void TestExportCommands::unreadableTemplates_data()
{
    QTest::addColumn<int>("broken");
    QTest::addColumn<QString>("warning");
    QTest::addColumn<QString>("badName");
    QTest::addColumn<QByteArray>("badBytes"); // empty: a text no mesh reader takes
    QTest::newRow("window") << 0 << "Window mesh load error!!" << "template.txt" << QByteArray();
    QTest::newRow("left") << 1 << "Left shutter mesh load error!!" << "template.txt" << QByteArray();
    QTest::newRow("right") << 2 << "Right shutter mesh load error!!" << "template.txt" << QByteArray();
    // Templates that aborted the program inside OpenMesh or misplaced vertices.
    QTest::newRow("window that aborted OpenMesh")
        << 0 << "Window mesh load error!!" << "bad.obj" << QByteArray("f /1");
    QTest::newRow("left with a two-number vertex line")
        << 1 << "Left shutter mesh load error!!" << "bad.obj"
        << QByteArray("v 0 0\nv 0 0 0\nv 1 0 0\nv 1 1 0\nf 2 3 4\n");
    QTest::newRow("right with a decimal comma")
        << 2 << "Right shutter mesh load error!!" << "bad.obj"
        << QByteArray("v 0,5 0 0\nv 0 0 0\nv 1 0 0\nv 1 1 0\n");
}

// Every template is read before anything is written: a broken one leaves no
// output at all, and the warning names it.
void TestExportCommands::unreadableTemplates()
{
    QFETCH(int, broken);
    QFETCH(QString, warning);
    QFETCH(QString, badName);
    QFETCH(QByteArray, badBytes);
    useShutterModel();
    // The broken template sits in the left template's folder so that it is
    // also the output folder.
    QTemporaryDir folder;
    const QString left = folder.filePath("left.obj");
    QVERIFY(QFile::copy(leftObj, left));
    const QString bad = folder.filePath(badName);
    QVERIFY(badBytes.isEmpty() ? QFile::copy(notAMesh, bad) : writeBytes(bad, badBytes));
    QStringList paths{windowObj, left, rightObj};
    paths[broken] = bad;
    const QString outputFolder = QFileInfo(paths[1]).path();
    for (const QString &path : paths)
        answerer->queueFileName(path);
    QVERIFY(QMetaObject::invokeMethod(&fixture->dialog(), "gen3DWindowObjsSlot"));
    QCOMPARE(int(answerer->seen().size()), 4);
    const ModalRecord &record = answerer->seen().back();
    QCOMPARE(record.className, QStringLiteral("QMessageBox"));
    QCOMPARE(record.title, kTitle);
    QCOMPARE(record.text, warning);
    QVERIFY2(record.informativeText.contains(bad), qPrintable(record.informativeText));
    QStringList expected{"left.obj", badName};
    expected.sort();
    QCOMPARE(entriesOf(outputFolder), expected);
}

void TestExportCommands::templatesPlacedInTheLeftTemplatesFolder()
{
    useShutterModel();
    for (const QString &path : {windowObj, leftObj, rightObj})
        answerer->queueFileName(path);
    QVERIFY(QMetaObject::invokeMethod(&fixture->dialog(), "gen3DWindowObjsSlot"));
    QCOMPARE(int(answerer->seen().size()), 3);
    QStringList expected{"left.obj"};
    for (int i = 0; i < 3; ++i)
        expected << QString("leftshutter_%1.obj").arg(i) << QString("rightshutter_%1.obj").arg(i)
                 << QString("window_%1.obj").arg(i);
    expected.sort();
    QCOMPARE(entriesOf(workDir.filePath("tl")), expected);
    QStringList placed = namesOf(ExportPaths::placedTemplateFiles(toNarrowPath(workDir.filePath("tl")), 3));
    placed << "left.obj";
    placed.sort();
    QCOMPARE(placed, expected);
    QCOMPARE(entriesOf(workDir.filePath("tw")), QStringList({"window.obj", "window.txt"}));
    QCOMPARE(entriesOf(workDir.filePath("tr")), QStringList{"right.obj"});
    // Window 1 spans x 110..150, y 20..80; its closed left leaf covers x 110..130.
    QCOMPARE(fileBytes(workDir.filePath("tl/window_1.obj")),
             QByteArray("v 110.000000 20.000000 0.000000\nv 150.000000 20.000000 0.000000\n"
                        "v 150.000000 80.000000 0.000000\nv 110.000000 80.000000 0.000000\nf 1 2 3 4\n"));
    QCOMPARE(fileBytes(workDir.filePath("tl/leftshutter_1.obj")),
             QByteArray("v 110.000000 20.000000 0.000000\nv 130.000000 20.000000 0.000000\n"
                        "v 130.000000 80.000000 0.000000\nv 110.000000 80.000000 0.000000\nf 1 2 3 4\n"));
    QCOMPARE(fileBytes(workDir.filePath("tl/rightshutter_1.obj")),
             QByteArray("v 150.000000 20.000000 0.000000\nv 130.000000 20.000000 0.000000\n"
                        "v 130.000000 80.000000 0.000000\nv 150.000000 80.000000 0.000000\nf 4 3 2 1\n"));
    for (const char *name : {"window_0.obj", "leftshutter_2.obj", "rightshutter_2.obj"})
        QFile::remove(workDir.filePath(QString("tl/") + name));
}

QTEST_MAIN(TestExportCommands)
#include "tst_exportcommands.moc"
