// Writes a fuzz target's made seeds into a corpus folder:
//   fuzz_seeds_<name> FOLDER
// Exit 0 when every seed was written, 1 otherwise.
#include "MadeSeeds.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv); // image format plugins
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 1;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    const std::vector<MadeSeed> seeds = madeFuzzSeeds();
    if (seeds.empty()) {
        std::fprintf(stderr, "no seeds were made\n");
        return 1;
    }
    for (const MadeSeed &seed : seeds) {
        QFile file(folder.filePath(QString::fromStdString(seed.name)));
        if (!file.open(QIODevice::WriteOnly)
            || file.write(seed.bytes.data(), qint64(seed.bytes.size())) != qint64(seed.bytes.size())) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
    }
    return 0;
}
