// Staged replacement: new files and folders take the place of old ones all
// at once, or, when any move fails, nothing changes.
#include "StagedReplace.h"
#include "TestFiles.h"

#include <QtTest>

#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>

namespace {

// Every path below dir (relative) with the bytes of its files, to compare
// whole folders before and after.
QStringList listing(const QString &dir)
{
    QStringList lines;
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = QDir(dir).relativeFilePath(path);
        lines << (it.fileInfo().isFile() ? relative + "=" + QString::fromUtf8(fileBytes(path)) : relative + "/");
    }
    lines.sort();
    return lines;
}

// What a test starts from: in "live", an old case folder, its photograph and
// its recovery file; in "staged", the new folder and photograph; "aside" empty.
struct Scene {
    QTemporaryDir box;
    QString live = box.filePath("live");
    QString staged = box.filePath("staged");
    QString aside = box.filePath("aside");

    bool make(bool withOld)
    {
        bool ok = QDir().mkpath(live) && QDir().mkpath(staged + "/case") && QDir().mkpath(aside)
            && writeBytes(staged + "/case/grids.txt", "new") && writeBytes(staged + "/case.jpg", "new photo");
        if (withOld)
            ok = ok && QDir().mkpath(live + "/case") && writeBytes(live + "/case/grids.txt", "old")
                && writeBytes(live + "/case.jpg", "old photo") && writeBytes(live + "/case.recovery.txt", "edits");
        return ok;
    }
    void stage(StagedReplace &replace) const
    {
        replace.put(staged + "/case", live + "/case");
        replace.put(staged + "/case.jpg", live + "/case.jpg");
        replace.moveAside(live + "/case.recovery.txt");
    }
};

} // namespace

class TestStagedReplace : public QObject
{
    Q_OBJECT

private slots:
    void replaces_data();
    void replaces();
    void failedMovePutsEverythingBack_data();
    void failedMovePutsEverythingBack();
};

void TestStagedReplace::replaces_data()
{
    QTest::addColumn<bool>("withOld");
    QTest::newRow("in place of an old case") << true;
    QTest::newRow("where nothing was") << false;
}

// The new paths in place, the old ones (the recovery file with them) aside.
void TestStagedReplace::replaces()
{
    QFETCH(bool, withOld);
    Scene scene;
    QVERIFY(scene.make(withOld));
    StagedReplace replace(scene.aside);
    scene.stage(replace);
    Failure failure;
    QVERIFY2(replace.commit(&failure), failure.reason.c_str());
    QCOMPARE(listing(scene.live), QStringList({"case.jpg=new photo", "case/", "case/grids.txt=new"}));
    QCOMPARE(listing(scene.staged), QStringList());
    const QStringList old = withOld ? QStringList({"0-case/", "0-case/grids.txt=old", "1-case.jpg=old photo",
                                                   "2-case.recovery.txt=edits"})
                                    : QStringList();
    QCOMPARE(listing(scene.aside), old);
}

void TestStagedReplace::failedMovePutsEverythingBack_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<QString>("reason");
    // The second new path cannot be moved in after the first was.
    QTest::newRow("staged photograph missing") << "missing" << false << "cannot move";
    // The aside folder is gone: not even the old case can leave.
    QTest::newRow("aside folder missing") << "no aside" << false << "cannot move";
    // A target found taken once the old paths are aside (here by a new path
    // put there before it): never moved over.
    QTest::newRow("target taken meanwhile") << "taken" << true << "appeared while it was replaced";
}

void TestStagedReplace::failedMovePutsEverythingBack()
{
    QFETCH(QString, fault);
    QFETCH(bool, taken);
    QFETCH(QString, reason);
    Scene scene;
    QVERIFY(scene.make(true));
    StagedReplace replace(scene.aside);
    scene.stage(replace);
    if (fault == "missing") {
        QVERIFY(QFile::remove(scene.staged + "/case.jpg"));
    } else if (fault == "no aside") {
        QVERIFY(QDir(scene.aside).removeRecursively());
    } else {
        QVERIFY(writeBytes(scene.staged + "/extra.jpg", "another photo"));
        replace.put(scene.staged + "/extra.jpg", scene.live + "/case.jpg");
    }
    const QStringList liveBefore = listing(scene.live);
    const QStringList stagedBefore = listing(scene.staged);
    Failure failure;
    QVERIFY(!replace.commit(&failure));
    QVERIFY2(QString::fromStdString(failure.reason).contains(reason), failure.reason.c_str());
    QCOMPARE(replace.targetTaken(), taken);
    QCOMPARE(listing(scene.live), liveBefore);
    QCOMPARE(listing(scene.staged), stagedBefore);
}

QTEST_GUILESS_MAIN(TestStagedReplace)
#include "tst_stagedreplace.moc"
