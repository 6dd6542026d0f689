#include "ImportTestSupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

Truth loadTruth(const QString &kind, const QString &fileName)
{
    Truth t;
    const QString folder = qEnvironmentVariable("TESSIVO_TESTDATA") + "/Tessivo_TestCases/" + kind;
    const QString base = QFileInfo(fileName).completeBaseName();
    t.photoPath = folder + "/" + fileName;
    t.shutters = kind == "shutters";
    t.model = std::make_unique<QWindowData2D>();
    const std::string f = folder.toStdString();
    const std::string n = fileName.toStdString();
    if (!t.model->loadReconstruction(f, n) || !t.model->loadGrids(f, n) || t.model->detectedWindows.empty()
        || (t.shutters && !t.model->loadShutters(f, n)))
        t.model.reset();
    t.rectified = QImage(folder + "/" + base + "/rec" + fileName).convertToFormat(QImage::Format_RGB888);
    return t;
}

FacadeImport::FacadeQuad trueCorners(const Truth &t)
{
    const int w = t.size().width(), h = t.size().height();
    return {t.model->rectifiedToOriginal(QPoint(0, 0)), t.model->rectifiedToOriginal(QPoint(w, 0)),
            t.model->rectifiedToOriginal(QPoint(w, h)), t.model->rectifiedToOriginal(QPoint(0, h))};
}

double iou(const QRectF &a, const QRectF &b)
{
    const QRectF i = a.intersected(b);
    const double in = i.isValid() ? i.width() * i.height() : 0.0;
    const double un = a.width() * a.height() + b.width() * b.height() - in;
    return un > 0.0 ? in / un : 0.0;
}

QStringList treeListing(const QString &root)
{
    QStringList lines;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    const QDir base(root);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        QString line = base.relativeFilePath(path);
        if (info.isSymLink()) {
            line += " -> " + info.symLinkTarget();
        } else if (info.isFile()) {
            QFile file(path);
            const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("unreadable");
            line += QString(" %1 %2").arg(info.size()).arg(QString(QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex()));
        } else {
            line += "/";
        }
        lines << line;
    }
    lines.sort();
    return lines;
}
