// Hostile images in a test case, loaded through the dialog: a cut-off JPEG, a
// file that is no image, an empty file and an image whose header declares a
// huge size are each refused with one line naming the file and why, and the
// load fails with the dialog's warning (a per-window interior image falls
// back to the interior image instead). Nothing crashes, nothing is decoded
// grey or at a huge size.
#include "DialogFixture.h"
#include "KeepGLDriver.h"
#include "ModalAnswerer.h"
#include "QWindowData2D.h"
#include "StderrCapture.h"
#include "TestCaseBuilder.h"
#include "TestFiles.h"

#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

namespace {

enum class Damage { CutOff, NoImage, Empty, Huge };

// Offset just past the header of the first start-of-scan segment, 0 if none.
int scanStart(const QByteArray &jpeg)
{
    const int sos = jpeg.indexOf("\xFF\xDA");
    if (sos < 0 || sos + 4 > jpeg.size())
        return 0;
    return sos + 2 + ((uchar(jpeg[sos + 2]) << 8) | uchar(jpeg[sos + 3]));
}

// A JPEG that declares side x side pixels: a small one with its frame header patched.
QByteArray declaringJpeg(int side)
{
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QImage small(16, 16, QImage::Format_RGB32);
    small.fill(Qt::darkCyan);
    small.save(&buffer, "JPG");
    const int frame = jpeg.indexOf("\xFF\xC0");
    if (frame < 0)
        return QByteArray();
    for (const int at : {frame + 5, frame + 7}) {
        jpeg[at] = char(side >> 8);
        jpeg[at + 1] = char(side & 0xFF);
    }
    return jpeg;
}

bool damage(const QString &path, Damage kind)
{
    switch (kind) {
    case Damage::CutOff: {
        // Cut in the middle of the compressed picture, as an interrupted copy leaves it.
        const QByteArray whole = fileBytes(path);
        const int start = scanStart(whole);
        return start > 0 && writeBytes(path, whole.left(start + (whole.size() - start) / 2));
    }
    case Damage::NoImage:
        return writeBytes(path, "Tessivo notes: this is not a picture.\n");
    case Damage::Empty:
        return writeBytes(path, QByteArray());
    case Damage::Huge:
        return writeBytes(path, declaringJpeg(23000));
    }
    return false;
}

} // namespace

Q_DECLARE_METATYPE(Damage)

class TestHostileImages : public QObject
{
    Q_OBJECT

private slots:
    void cleanupTestCase();
    void hostileImages_data();
    void hostileImages();
};

void TestHostileImages::cleanupTestCase()
{
    keepGLDriverLoaded();
}

void TestHostileImages::hostileImages_data()
{
    QTest::addColumn<bool>("shutter");
    QTest::addColumn<QString>("file"); // inside the kind folder
    QTest::addColumn<Damage>("kind");
    QTest::addColumn<QString>("warning"); // empty: the case still loads
    QTest::addColumn<QString>("why");
    const QString cutOff = "its JPEG data end before the end of the image";
    const QString huge = "declares 23000 x 23000 pixels, above the limit of 50 megapixels";
    QTest::newRow("cut-off background") << true << "1/background.jpg" << Damage::CutOff
                                        << "Shutter data load error!" << cutOff;
    QTest::newRow("cut-off blind level") << false << "1_temp/windows/win_3_40.jpg" << Damage::CutOff
                                         << "Blind data load error!" << cutOff;
    QTest::newRow("text as rectified image") << false << "1_temp/rec1_temp.jpg" << Damage::NoImage
                                             << "Blind data load error!" << "it is no image";
    QTest::newRow("empty photograph") << true << "1.jpg" << Damage::Empty << "Shutter data load error!"
                                      << "the file is empty";
    QTest::newRow("huge window image") << false << "1_temp/windows/input/inputwin_2.jpg" << Damage::Huge
                                       << "Blind data load error!" << huge;
    QTest::newRow("huge leaf texture") << true << "1/windows/shutter_in_2.jpg" << Damage::Huge
                                       << "Shutter data load error!" << huge;
    QTest::newRow("huge interior of one window") << true << "1/windows/interior_1.jpg" << Damage::Huge << QString()
                                                 << huge + "; the window shows the interior image instead";
}

void TestHostileImages::hostileImages()
{
    QFETCH(bool, shutter);
    QFETCH(QString, file);
    QFETCH(Damage, kind);
    QFETCH(QString, warning);
    QFETCH(QString, why);
    QTemporaryDir dir;
    const QString kindFolder = dir.filePath(shutter ? "Tessivo_TestCases/shutters" : "Tessivo_TestCases/blinds");
    const CasePlan plan{2, 3, 20, 24, 160, 120, shutter};
    QVERIFY(writeTestCase(kindFolder, shutter ? "1.jpg" : "1_temp.jpg", plan));
    const QString path = kindFolder + "/" + file;
    QVERIFY(damage(path, kind));

    DialogFixture fixture(dir.path());
    QVERIFY(fixture.exposed());
    ModalAnswerer answerer;
    QString logged;
    {
        StderrCapture errors;
        fixture.clickLoad(shutter, 0);
        logged = QString::fromStdString(errors.text());
    }
    // One line names the file and says why.
    const QStringList lines = logged.split('\n').filter(path);
    QCOMPARE(lines.size(), 1);
    QVERIFY2(lines[0].startsWith("Cannot read image " + path + ": ") && lines[0].contains(why), qPrintable(lines[0]));

    if (warning.isEmpty()) {
        QVERIFY(answerer.seen().empty());
        QVERIFY(fixture.model());
        // Window 1 (20 x 24 pixels) shows the interior image at half its width.
        QCOMPARE(fixture.model()->windowImages[1]->size(), QSize(10, 24));
        return;
    }
    QVERIFY(!fixture.model());
    QCOMPARE(int(answerer.seen().size()), 1);
    QCOMPARE(answerer.seen()[0].className, QStringLiteral("QMessageBox"));
    QCOMPARE(answerer.seen()[0].title, QStringLiteral("Load test case"));
    QCOMPARE(answerer.seen()[0].text, warning);
}

QTEST_MAIN(TestHostileImages)
#include "tst_hostileimages.moc"
