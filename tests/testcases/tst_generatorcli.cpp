// The generator program as users run it: it refuses a Tessivo_TestCases
// folder it did not make and leaves it as it was, replaces it with --force,
// regenerates over its own output, creates a missing parent, and writes the
// same bytes every time (compared with the tree the test fixture made), also
// under a locale whose decimal separator is a comma.
#include "CommaLocale.h"
#include "TestFiles.h"

#include <QWindowData2D.h>

#include <QtTest>

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <map>

namespace {

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

Run runGenerator(const QStringList &arguments, const QString &workingDir = QString(),
                 const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(environment);
    if (!workingDir.isEmpty())
        p.setWorkingDirectory(workingDir);
    p.start(QStringLiteral(TESSIVO_MAKE_TESTCASES), arguments);
    Run r;
    if (!p.waitForFinished(300000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.exitCode = p.exitCode();
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

// Relative path -> SHA-1 of every file below dir (hidden files included).
std::map<QString, QByteArray> fingerprint(const QString &dir)
{
    std::map<QString, QByteArray> files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            continue;
        files[QDir(dir).relativeFilePath(path)] = QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1);
    }
    return files;
}

QString fixtureTree()
{
    return qEnvironmentVariable("TESSIVO_TESTDATA") + QStringLiteral("/Tessivo_TestCases");
}

} // namespace

class TestGeneratorCli : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void badArguments_data();
    void badArguments();
    void refusesForeignFolderThenForceAndRerunAreIdentical();
    void defaultParentIsTheWorkingFolder();
    void decimalCommaLocaleWritesTheSameTree();

private:
    std::map<QString, QByteArray> expected;
};

void TestGeneratorCli::initTestCase()
{
    QVERIFY2(QFileInfo(fixtureTree()).isDir(), qPrintable(fixtureTree() + " is missing"));
    expected = fingerprint(fixtureTree());
    QVERIFY(expected.size() > 300);
    QVERIFY(expected.count(QStringLiteral(".tessivo-make-testcases")) == 1);
}

void TestGeneratorCli::badArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("unknown option") << QStringList{"--fast"};
    QTest::newRow("two parents") << QStringList{"a", "b"};
}

void TestGeneratorCli::badArguments()
{
    QFETCH(QStringList, arguments);
    QTemporaryDir tmp;
    const Run r = runGenerator(arguments, tmp.path());
    QCOMPARE(r.exitCode, 2);
    QVERIFY(r.err.contains("usage: tessivo-make-testcases [--force] [PARENT]"));
    QVERIFY(QDir(tmp.path()).isEmpty()); // nothing written
}

void TestGeneratorCli::refusesForeignFolderThenForceAndRerunAreIdentical()
{
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    const QString parent = tmp.path() + "/new/parent";
    const QString root = parent + "/Tessivo_TestCases";
    QVERIFY(QDir().mkpath(root + "/blinds"));
    QVERIFY(writeBytes(root + "/blinds/holiday.jpg", "not a test case"));
    const auto before = fingerprint(parent);

    const Run refused = runGenerator({parent});
    QCOMPARE(refused.exitCode, 1);
    QVERIFY(refused.err.contains("was not made by this program"));
    QVERIFY(refused.err.contains("--force"));
    QCOMPARE(fingerprint(parent), before);
    QCOMPARE(QDir(parent).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{"Tessivo_TestCases"});

    const Run forced = runGenerator({"--force", parent});
    QCOMPARE(forced.exitCode, 0);
    QVERIFY(!QFile::exists(root + "/blinds/holiday.jpg"));
    QVERIFY(fingerprint(root) == expected);

    // Its own output is replaced without --force, with the same bytes.
    QVERIFY(writeBytes(root + "/blinds/5/grids.txt", "edited"));
    const Run again = runGenerator({parent});
    QCOMPARE(again.exitCode, 0);
    QVERIFY(fingerprint(root) == expected);
    QCOMPARE(QDir(parent).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{"Tessivo_TestCases"});
}

void TestGeneratorCli::defaultParentIsTheWorkingFolder()
{
    QTemporaryDir tmp;
    QVERIFY(writeBytes(tmp.path() + "/Tessivo_TestCases", "a file in the way"));
    const Run r = runGenerator({}, tmp.path());
    QCOMPARE(r.exitCode, 1);
    QVERIFY(r.err.contains(QFileInfo(tmp.path()).canonicalFilePath() + "/Tessivo_TestCases"));
    QFile f(tmp.path() + "/Tessivo_TestCases");
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("a file in the way"));
}

// The program takes its locale from the environment (QCoreApplication sets it);
// a decimal comma there must not reach the files, or the model cannot read
// the reconstruction and shutter files back.
void TestGeneratorCli::decimalCommaLocaleWritesTheSameTree()
{
    CommaLocale comma;
    if (!comma.enter())
        QSKIP("no locale with a decimal comma could be made");
    comma.leave();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LOCPATH", comma.folder());
    environment.insert("LC_ALL", CommaLocale::kName);
    QTemporaryDir tmp;
    const Run r = runGenerator({tmp.path()}, QString(), environment);
    QCOMPARE(r.exitCode, 0);
    const QString root = tmp.path() + "/Tessivo_TestCases";
    QVERIFY(fingerprint(root) == expected);

    QWindowData2D blinds;
    QVERIFY(blinds.loadBlindTestCase((root + "/blinds").toStdString(), "5.jpg"));
    QWindowData2D shutters;
    QVERIFY(shutters.loadShutterTestCase((root + "/shutters").toStdString(), "6.jpg"));
    QVERIFY(shutters.homography[2][2] != 0.0);
    QCOMPARE(shutters.shutters.front().left.angles.size(), std::size_t(19));
}

QTEST_GUILESS_MAIN(TestGeneratorCli)
#include "tst_generatorcli.moc"
