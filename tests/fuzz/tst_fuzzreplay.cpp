// Replays a fuzz target's seed corpus, the seeds it makes when it runs and
// its regression inputs through its entry point with the ordinary build, so
// that a finding kept in the tree fails the suite without clang or libFuzzer.
// The target's own checks (FUZZ_CHECK) abort on failure, which fails this
// suite with the input's name. Built once per target: the target's name and
// the fuzz folder come from the build.
#include "FuzzCheck.h"
#include "MadeSeeds.h"

#include <QDir>
#include <QFile>
#include <QtTest>

class TestFuzzReplay : public QObject
{
    Q_OBJECT

private slots:
    void replay_data();
    void replay();
};

void TestFuzzReplay::replay_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty input") << QString() << QByteArray();
    const std::vector<MadeSeed> made = madeFuzzSeeds();
    for (const MadeSeed &seed : made) {
        const QString name = QString("made/%1/%2").arg(TESSIVO_FUZZ_TARGET, QString::fromStdString(seed.name));
        QTest::newRow(qPrintable(name)) << name << QByteArray::fromStdString(seed.bytes);
    }
    const QDir fuzzFolder(QStringLiteral(TESSIVO_FUZZ_FOLDER));
    for (const char *kind : {"corpus", "regressions"}) {
        const QString folder = QString("%1/%2").arg(kind, TESSIVO_FUZZ_TARGET);
        const QStringList files = QDir(fuzzFolder.filePath(folder)).entryList(QDir::Files, QDir::Name);
        // Every target has seeds: none found means this replays nothing.
        if (QLatin1String(kind) == QLatin1String("corpus"))
            QVERIFY2(!files.isEmpty() || !made.empty(), qPrintable("no seeds in " + fuzzFolder.filePath(folder)));
        for (const QString &file : files) {
            const QString path = fuzzFolder.filePath(folder + "/" + file);
            QFile in(path);
            QVERIFY2(in.open(QIODevice::ReadOnly), qPrintable(path));
            QTest::newRow(qPrintable(folder + "/" + file)) << path << in.readAll();
        }
    }
}

void TestFuzzReplay::replay()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    setFuzzInputName(name.toStdString());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(bytes.constData()), std::size_t(bytes.size()));
    setFuzzInputName(std::string());
}

QTEST_GUILESS_MAIN(TestFuzzReplay)
#include "tst_fuzzreplay.moc"
