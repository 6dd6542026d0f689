// The editors' fitted image: an image as large as it fits, centred, mapped
// both ways between image and widget positions, and drawn where it maps.
#include "FittedImage.h"

#include <QtTest>

#include <QPainter>

class TestFittedImage : public QObject
{
    Q_OBJECT

private slots:
    void maps_data();
    void maps();
    void paintsWhereItMaps();
};

void TestFittedImage::maps_data()
{
    QTest::addColumn<QSize>("image");
    QTest::addColumn<QSize>("area");
    QTest::addColumn<double>("scale");
    QTest::addColumn<QPointF>("corner"); // where the image's bottom-right corner is shown
    QTest::newRow("wide image, bars above and below") << QSize(400, 100) << QSize(200, 200) << 0.5
                                                      << QPointF(200.0, 125.0);
    QTest::newRow("tall image, bars left and right") << QSize(100, 400) << QSize(200, 200) << 0.5
                                                     << QPointF(125.0, 200.0);
    QTest::newRow("small image enlarged") << QSize(50, 25) << QSize(300, 300) << 6.0 << QPointF(300.0, 225.0);
    QTest::newRow("no image") << QSize(0, 0) << QSize(300, 300) << 1.0 << QPointF(150.0, 150.0);
}

// The image's corners land on the area's edges; toImage undoes toWidget.
void TestFittedImage::maps()
{
    QFETCH(QSize, image);
    QFETCH(QSize, area);
    QFETCH(double, scale);
    QFETCH(QPointF, corner);
    FittedImage fitted;
    fitted.setImage(QImage(image, QImage::Format_RGB32)); // null when empty
    QCOMPARE(fitted.scale(area), scale);
    QCOMPARE(fitted.toWidget(area, QPointF(image.width(), image.height())), corner);
    const QPointF topLeft = fitted.toWidget(area, QPointF(0.0, 0.0));
    QCOMPARE(topLeft, fitted.offset(area));
    QCOMPARE(topLeft + corner, QPointF(area.width(), area.height())); // centred
    const QPointF p(17.25, 3.5);
    const QPointF back = fitted.toImage(area, fitted.toWidget(area, p));
    QVERIFY(qAbs(back.x() - p.x()) < 1e-9 && qAbs(back.y() - p.y()) < 1e-9);
}

// Drawn on a black widget area: the image's colour inside its fitted
// rectangle, black in the bars; a second paint at another size rescales.
void TestFittedImage::paintsWhereItMaps()
{
    QImage red(40, 20, QImage::Format_RGB32);
    red.fill(Qt::red);
    FittedImage fitted;
    fitted.setImage(red);
    for (const QSize &area : {QSize(80, 80), QSize(40, 100)}) {
        QImage canvas(area, QImage::Format_RGB32);
        canvas.fill(Qt::black);
        QPainter painter(&canvas);
        fitted.paint(painter, area);
        painter.end();
        const QPointF centre = fitted.toWidget(area, QPointF(20.0, 10.0));
        QCOMPARE(canvas.pixelColor(centre.toPoint()), QColor(Qt::red));
        const QPointF above = fitted.toWidget(area, QPointF(20.0, -2.0));
        QCOMPARE(canvas.pixelColor(above.toPoint()), QColor(Qt::black));
    }
}

QTEST_GUILESS_MAIN(TestFittedImage)
#include "tst_fittedimage.moc"
