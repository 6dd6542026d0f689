#include "ImportTestSupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLinearGradient>
#include <QPainter>
#include <QPolygonF>
#include <QTransform>

#include <algorithm>
#include <cmath>

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

QImage streetScene(const QSize &size, const std::vector<SceneFacade> &facades)
{
    QImage photo(size, QImage::Format_RGB888);
    QPainter painter(&photo);
    QLinearGradient sky(0.0, 0.0, 0.0, size.height());
    sky.setColorAt(0.0, QColor(150, 185, 225));
    sky.setColorAt(0.6, QColor(205, 220, 235));
    sky.setColorAt(0.61, QColor(175, 172, 165)); // pavement, lighter than a brick wall
    sky.setColorAt(1.0, QColor(150, 148, 142));
    painter.fillRect(photo.rect(), sky);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (const SceneFacade &f : facades) {
        const double w = f.facade.width(), h = f.facade.height();
        const QPolygonF source(QVector<QPointF>{QPointF(0.0, 0.0), QPointF(w, 0.0), QPointF(w, h), QPointF(0.0, h)});
        const QPolygonF target(QVector<QPointF>{f.quad[0], f.quad[1], f.quad[2], f.quad[3]});
        QTransform toPhoto;
        if (!QTransform::quadToQuad(source, target, toPhoto))
            continue;
        painter.setTransform(toPhoto);
        painter.drawImage(QPointF(0.0, 0.0), f.facade);
    }
    painter.end();
    return photo;
}

double cornerError(const FacadeImport::FacadeQuad &a, const FacadeImport::FacadeQuad &b)
{
    double worst = 0.0;
    for (std::size_t i = 0; i < 4; ++i)
        worst = std::max(worst, std::hypot(a[i].x() - b[i].x(), a[i].y() - b[i].y()));
    return worst;
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
