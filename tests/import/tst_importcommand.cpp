// `tessivo import` run as a program on the generator's photographs and on bad
// input: what it prints, where the case goes, and its exit code; a failure is
// exit 1 with exactly one line on standard error.
#include "FacadeCamera.h"
#include "ImportTestSupport.h"
#include "QWindowData2D.h"
#include "TestFiles.h"

#include <QtTest>

#include <QBuffer>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cmath>

namespace {

QString cornersArgument(const FacadeImport::FacadeQuad &q)
{
    QStringList parts;
    for (const QPointF &p : q)
        parts << QString::number(p.x(), 'f', 2) << QString::number(p.y(), 'f', 2);
    return parts.join(',');
}

// A true window's box in the photograph, as x,y,w,h.
QString windowArgument(const Truth &t, const FacadeWindow &w)
{
    QRectF box;
    for (const QPoint &c : {QPoint(w.x, w.y), QPoint(w.x + w.width, w.y), QPoint(w.x + w.width, w.y + w.height),
                            QPoint(w.x, w.y + w.height)}) {
        const QPointF p = t.model->rectifiedToOriginal(c);
        box = box.isNull() ? QRectF(p, QSizeF(0.001, 0.001)) : box.united(QRectF(p, QSizeF(0.001, 0.001)));
    }
    const QRect r = box.toAlignedRect();
    return QString("%1,%2,%3,%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

QString windowsLine(const Truth &t)
{
    return QString("Windows: %1 windows in %2 rows x %3 columns")
        .arg(t.windows().size()).arg(t.model->rowValues[0].size()).arg(t.model->colValues[0].size());
}

// A smooth, lineless, windowless picture.
QByteArray plainPng()
{
    QImage img(400, 300, QImage::Format_RGB888);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const int g = int(150.0 + 40.0 * std::sin(x * 0.013) * std::cos(y * 0.017));
            img.setPixel(x, y, qRgb(g, g + 10, g - 20));
        }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, "PNG");
    return bytes;
}

} // namespace

class TestImportCommand : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void run_data();
    void run();

private:
    QTemporaryDir m_inputs;
    QString m_tree;
};

void TestImportCommand::initTestCase()
{
    m_tree = qEnvironmentVariable("TESSIVO_TESTDATA") + "/Tessivo_TestCases";
    QVERIFY2(QFileInfo(m_tree).isDir(), qPrintable(m_tree + " is missing: run through ctest, which generates it"));
    QVERIFY(QFileInfo(TESSIVO_CLI).isExecutable());
    QVERIFY(writeBytes(m_inputs.filePath("plain.png"), plainPng()));
    QVERIFY(writeBytes(m_inputs.filePath("notes.jpg"), "#Camera K:\n1 0 0\n"));
}

void TestImportCommand::run_data()
{
    QTest::addColumn<QStringList>("args");      // {root}: a fresh root in the sandbox
    QTest::addColumn<QString>("workDir");       // below the sandbox
    QTest::addColumn<QString>("prepare");       // a folder made below the sandbox first
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("stderrHas");     // failures: in the one line
    QTest::addColumn<QStringList>("stdoutHas"); // successes: lines, as patterns
    QTest::addColumn<QString>("casePath");      // successes: the case's photograph below the sandbox

    const Truth blind5 = loadTruth("blinds", "5.jpg");
    const Truth shutter1 = loadTruth("shutters", "1.jpg");
    const Truth shutter6 = loadTruth("shutters", "6.jpg");
    QVERIFY(blind5.model && shutter1.model && shutter6.model);
    const QString corners5 = cornersArgument(trueCorners(blind5));
    const QString camera = "^Focal length: \\d+\\.\\d pixels \\(from the vanishing points\\)$";
    const QString points = "^Vanishing points: horizontal \\(-?\\d+\\.\\d, -?\\d+\\.\\d\\), vertical \\(-?\\d+\\.\\d, -?\\d+\\.\\d\\)$";
    const QString size = "^Rectified size: \\d+ x \\d+$";

    QTest::newRow("blinds, given corners")
        << QStringList{blind5.photoPath, "--kind", "blinds", "--corners", corners5, "--root", "{root}", "--name", "five"}
        << "" << "" << 0 << ""
        << QStringList{"^Photograph: .*5\\.jpg, 1024 x 768 pixels$", "^Facade corners: .*, given$", points, camera, size,
                       "^" + windowsLine(blind5) + "$"}
        << "root/blinds/five.jpg";
    QTest::newRow("shutters, automatic")
        << QStringList{shutter6.photoPath, "--kind=shutters", "--root={root}"} << "" << "" << 0 << ""
        << QStringList{"^Facade corners: .*, proposed from \\d+ straight segments(, the likeliest of \\d+ facades)?$", points, camera, size,
                       "^" + windowsLine(shutter6) + "$"}
        << "root/shutters/6.jpg";
    QTest::newRow("shutters, a window marked on the photograph")
        << QStringList{shutter1.photoPath, "--kind", "shutters", "--window", windowArgument(shutter1, shutter1.windows().back()),
                       "--root", "{root}", "--name", "marked"}
        << "" << "" << 0 << "" << QStringList{"^" + windowsLine(shutter1) + "$"} << "root/shutters/marked.jpg";
    QTest::newRow("default root in an ancestor")
        << QStringList{blind5.photoPath, "--kind", "blinds", "--corners", corners5} << "project/src/deep"
        << "project/Tessivo_TestCases" << 0 << "" << QStringList{"^Case written: .*/project/Tessivo_TestCases/blinds/5\\.jpg$"}
        << "project/Tessivo_TestCases/blinds/5.jpg";

    const QStringList none;
    QTest::newRow("no window") << QStringList{m_inputs.filePath("plain.png"), "--kind", "blinds", "--root", "{root}"}
                               << "" << "" << 1 << "no window found on the facade" << none << "";
    QTest::newRow("not an image") << QStringList{m_inputs.filePath("notes.jpg"), "--kind", "blinds", "--root", "{root}"}
                                  << "" << "" << 1 << "notes.jpg is not an image" << none << "";
    QTest::newRow("missing photograph") << QStringList{m_inputs.filePath("absent.jpg"), "--kind", "blinds"} << "" << ""
                                        << 1 << "Cannot open" << none << "";
    QTest::newRow("no kind") << QStringList{blind5.photoPath, "--root", "{root}"} << "" << "" << 1
                             << "--kind blinds|shutters is required" << none << "";
    QTest::newRow("unknown kind") << QStringList{blind5.photoPath, "--kind", "awnings"} << "" << "" << 1
                                  << "--kind is 'blinds' or 'shutters', not 'awnings'" << none << "";
    QTest::newRow("seven corner numbers") << QStringList{blind5.photoPath, "--kind", "blinds", "--corners", "1,2,3,4,5,6,7"}
                                          << "" << "" << 1 << "--corners takes eight numbers" << none << "";
    QTest::newRow("crossed corners")
        << QStringList{blind5.photoPath, "--kind", "blinds", "--corners", "100,100,900,100,100,600,900,600", "--root", "{root}"}
        << "" << "" << 1 << "convex quadrilateral" << none << "";
    QTest::newRow("corner too far outside") << QStringList{blind5.photoPath, "--kind", "blinds", "--corners",
                                                    "100,100,2000,100,900,600,100,600", "--root", "{root}"}
                                     << "" << "" << 1 << "The top-right corner lies too far outside the photograph."
                                     << none << "";
    // The facade carried on past the photograph's right edge: the part the
    // photograph shows is imported, with windows found there only.
    FacadeImport::FacadeQuad cut = trueCorners(blind5);
    cut[1] = cut[0] + 1.6 * (cut[1] - cut[0]);
    cut[2] = cut[3] + 1.6 * (cut[2] - cut[3]);
    QVERIFY(cut[1].x() > 1024.0 && cut[2].x() > 1024.0 && cut[1].x() < 1536.0 && cut[2].x() < 1536.0);
    QTest::newRow("corners outside, cut by the frame")
        << QStringList{blind5.photoPath, "--kind", "blinds", "--corners", cornersArgument(cut), "--root", "{root}",
                       "--name", "cut"}
        << "" << "" << 0 << ""
        << QStringList{"^Facade corners: .*, given$", size, "^Windows: \\d+ windows in \\d+ rows x \\d+ columns$"}
        << "root/blinds/cut.jpg";
    QTest::newRow("window outside the facade")
        << QStringList{blind5.photoPath, "--kind", "blinds", "--corners", corners5, "--window", "2,2,20,20", "--root", "{root}"}
        << "" << "" << 1 << "outside the facade" << none << "";
    QTest::newRow("window without size") << QStringList{blind5.photoPath, "--kind", "blinds", "--window", "2,2,0,20"}
                                         << "" << "" << 1 << "--window takes four whole numbers" << none << "";
    QTest::newRow("unknown option") << QStringList{blind5.photoPath, "--kind", "blinds", "--force"} << "" << "" << 1
                                    << "unknown option '--force'" << none << "";
    QTest::newRow("two photographs") << QStringList{blind5.photoPath, blind5.photoPath, "--kind", "blinds"} << "" << ""
                                     << 1 << "one photograph at a time" << none << "";
    QTest::newRow("name leaving the root")
        << QStringList{blind5.photoPath, "--kind", "blinds", "--corners", corners5, "--root", "{root}", "--name", "../x"}
        << "" << "" << 1 << "folder separator" << none << "";
    QTest::newRow("name of a case not imported")
        << QStringList{blind5.photoPath, "--kind", "blinds", "--corners", corners5, "--root", "{root}", "--name", "taken"}
        << "" << "root/blinds/taken" << 1 << "not made by the importer" << none << "";
}

void TestImportCommand::run()
{
    QFETCH(QStringList, args);
    QFETCH(QString, workDir);
    QFETCH(QString, prepare);
    QFETCH(int, exitCode);
    QFETCH(QString, stderrHas);
    QFETCH(QStringList, stdoutHas);
    QFETCH(QString, casePath);

    QTemporaryDir sandbox;
    const QDir box(sandbox.path());
    for (QString &a : args)
        a.replace("{root}", box.filePath("root"));
    if (!prepare.isEmpty())
        QVERIFY(box.mkpath(prepare));
    QVERIFY(box.mkpath(workDir.isEmpty() ? "." : workDir));
    const QStringList before = treeListing(sandbox.path());

    QProcess tessivo;
    tessivo.setWorkingDirectory(box.filePath(workDir));
    tessivo.start(TESSIVO_CLI, QStringList{"import"} + args);
    QVERIFY(tessivo.waitForFinished(120000));
    const QString out = QString::fromLocal8Bit(tessivo.readAllStandardOutput());
    const QString err = QString::fromLocal8Bit(tessivo.readAllStandardError());
    QCOMPARE(tessivo.exitStatus(), QProcess::NormalExit);
    QVERIFY2(tessivo.exitCode() == exitCode, qPrintable(out + err));

    if (exitCode != 0) {
        QVERIFY2(err.endsWith('\n') && err.count('\n') == 1 && err.startsWith("tessivo: ") && err.contains(stderrHas),
                 qPrintable(err));
        QCOMPARE(treeListing(sandbox.path()), before);
        return;
    }
    QVERIFY2(err.isEmpty(), qPrintable(err));
    for (const QString &pattern : stdoutHas)
        QVERIFY2(QRegularExpression(pattern, QRegularExpression::MultilineOption).match(out).hasMatch(),
                 qPrintable(pattern + " not in:\n" + out));

    // The case is where it says, and is what it says.
    const QRegularExpressionMatch written = QRegularExpression("^Case written: (.+)$", QRegularExpression::MultilineOption).match(out);
    QVERIFY2(written.hasMatch(), qPrintable(out));
    QCOMPARE(written.captured(1), box.filePath(casePath));
    const QFileInfo photo(written.captured(1));
    QWindowData2D model;
    const bool shutters = photo.dir().dirName() == "shutters";
    QVERIFY(shutters ? model.loadShutterTestCase(photo.path().toStdString(), photo.fileName().toStdString())
                     : model.loadBlindTestCase(photo.path().toStdString(), photo.fileName().toStdString()));
    const QRegularExpressionMatch size = QRegularExpression("^Rectified size: (\\d+) x (\\d+)$", QRegularExpression::MultilineOption).match(out);
    QVERIFY(size.hasMatch());
    QCOMPARE(model.rectifiedImage.size(), QSize(size.captured(1).toInt(), size.captured(2).toInt()));
    const QRegularExpressionMatch windows =
        QRegularExpression("^Windows: (\\d+) windows? in (\\d+) rows? x (\\d+) columns?$", QRegularExpression::MultilineOption).match(out);
    QVERIFY(windows.hasMatch());
    QCOMPARE(model.windowCount(), windows.captured(1).toInt());
    QCOMPARE(model.detectedRowCount(), windows.captured(2).toInt());
    QCOMPARE(model.detectedColCount(), windows.captured(3).toInt());
}

QTEST_GUILESS_MAIN(TestImportCommand)
#include "tst_importcommand.moc"
