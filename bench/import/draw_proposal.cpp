// Draws the facade proposal's candidates over photographs, to look at:
// `draw_proposal OUTDIR PHOTO...` writes OUTDIR/NAME.png with the best
// candidate in red, the next in yellow, then cyan, and prints each
// candidate's corners and rating. Not a test.
#include "FacadeProposal.h"
#include "PhotoReader.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QPolygonF>

#include <cstdio>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: draw_proposal OUTDIR PHOTO...\n");
        return 1;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QColor colours[] = {Qt::red, Qt::yellow, Qt::cyan, Qt::magenta};
    for (int i = 2; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        const FacadeImport::Photograph photo = FacadeImport::readPhotograph(path);
        if (!photo.status.ok()) {
            std::fprintf(stderr, "%s: %s\n", argv[i], photo.status.reason.c_str());
            continue;
        }
        QElapsedTimer timer;
        timer.start();
        const FacadeImport::FacadeProposal p = FacadeImport::proposeFacade(photo.image);
        const double ms = timer.nsecsElapsed() / 1e6;
        std::printf("%s: %d segments, %d candidates, %.0f ms\n", qPrintable(QFileInfo(path).fileName()), p.segments,
                    int(p.candidates.size()), ms);
        // Room around the photograph for corners beyond it.
        const int mx = photo.image.width() / 2, my = photo.image.height() / 2;
        QImage canvas(photo.image.width() + 2 * mx, photo.image.height() + 2 * my, QImage::Format_RGB888);
        canvas.fill(Qt::darkGray);
        QPainter painter(&canvas);
        painter.drawImage(QPointF(mx, my), photo.image);
        painter.setRenderHint(QPainter::Antialiasing);
        for (int k = int(p.candidates.size()) - 1; k >= 0; --k) {
            const FacadeImport::FacadeCandidate &c = p.candidates[std::size_t(k)];
            QPolygonF poly;
            for (const QPointF &q : c.corners)
                poly << q + QPointF(mx, my);
            painter.setPen(QPen(colours[std::min(k, 3)], 2.0));
            painter.drawPolygon(poly);
            std::printf("  %d: score %.3f lines %.2f repeats %d area %.2f frontal %.2f  (%.0f,%.0f) (%.0f,%.0f) (%.0f,%.0f) (%.0f,%.0f)\n",
                        k + 1, c.score, c.lineLength, c.repeats, c.area, c.frontal, c.corners[0].x(),
                        c.corners[0].y(), c.corners[1].x(), c.corners[1].y(), c.corners[2].x(), c.corners[2].y(),
                        c.corners[3].x(), c.corners[3].y());
        }
        painter.end();
        canvas.save(out.filePath(QFileInfo(path).completeBaseName() + ".png"));
    }
    return 0;
}
