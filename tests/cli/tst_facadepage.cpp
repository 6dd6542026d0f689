// The page of `tessivo export --format html`, opened from disk in headless
// chromium (driven by facade_page.js through playwright-core): its canvas
// shows what the view's own render of the same state shows (the facade's
// outline, the windows where they are, the leaf colour where the leaves are),
// and a click on a window opens its closed leaf. Skipped, saying so, only
// when chromium is not installed.
#include "QWindowData2D.h"
#include "TestCasePaths.h"

#include <QtTest>

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cmath>

namespace {

// Mean colour of a rectangle of an image.
struct Colour {
    double r = 0, g = 0, b = 0;
    double distance(const Colour &o) const { return std::sqrt((r - o.r) * (r - o.r) + (g - o.g) * (g - o.g) + (b - o.b) * (b - o.b)); }
};

Colour meanOf(const QImage &image, const QRect &rect)
{
    Colour c;
    const QRect area = rect.intersected(image.rect());
    if (area.isEmpty())
        return c;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            c.r += qRed(p);
            c.g += qGreen(p);
            c.b += qBlue(p);
        }
    const double n = double(area.width()) * area.height();
    return {c.r / n, c.g / n, c.b / n};
}

// The facade in the canvas: every pixel that is not the page's background.
QRect facadeIn(const QImage &canvas)
{
    const QColor background(0x20, 0x24, 0x2a);
    int left = canvas.width(), top = canvas.height(), right = -1, bottom = -1;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) {
            const QColor p = canvas.pixelColor(x, y);
            if (std::abs(p.red() - background.red()) + std::abs(p.green() - background.green())
                    + std::abs(p.blue() - background.blue()) > 24) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

// Both pictures cut into cells of the render's facade pixels; the page's
// facade scaled onto the render.
class Cells
{
public:
    static constexpr int kCell = 10;

    Cells(const QImage &render, const QImage &canvas, const QRect &facade)
        : m_page(canvas.copy(facade).scaled(render.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)),
          m_render(render)
    {
    }

    // Cells of area (render pixels): how many, how many alike, how many leaf
    // coloured in the render, in the page, and in both.
    struct Count {
        int cells = 0, alike = 0, leafRender = 0, leafPage = 0, leafBoth = 0;
    };
    Count count(const QRect &area, const Colour &leaf, double near) const
    {
        Count n;
        for (int y = area.top(); y + kCell <= area.bottom() + 1; y += kCell)
            for (int x = area.left(); x + kCell <= area.right() + 1; x += kCell) {
                const QRect cell(x, y, kCell, kCell);
                const Colour r = meanOf(m_render, cell);
                const Colour p = meanOf(m_page, cell);
                ++n.cells;
                n.alike += r.distance(p) < near;
                const bool leafR = r.distance(leaf) < near;
                const bool leafP = p.distance(leaf) < near;
                n.leafRender += leafR;
                n.leafPage += leafP;
                n.leafBoth += leafR && leafP;
            }
        return n;
    }

private:
    QImage m_page;
    QImage m_render;
};

QString findChromium()
{
    for (const char *name : {"chromium", "chromium-browser"}) {
        const QString found = QStandardPaths::findExecutable(name);
        if (!found.isEmpty())
            return found;
    }
    return QString();
}

} // namespace

class TestFacadePage : public QObject
{
    Q_OBJECT

private slots:
    void pageShowsTheViewsStateAndOpensALeaf();
};

void TestFacadePage::pageShowsTheViewsStateAndOpensALeaf()
{
    const QString chromium = findChromium();
    if (chromium.isEmpty())
        QSKIP("chromium is not installed (scripts/setup.sh installs it): the page is not tested in a browser");
    const QString node = QStandardPaths::findExecutable("node");
    QVERIFY2(!node.isEmpty(), "node is missing: scripts/setup.sh installs it");
    QVERIFY2(QFileInfo(TESSIVO_PLAYWRIGHT).isDir(), "playwright-core is missing: scripts/setup.sh installs it");

    // Left leaves at 0 degrees, right leaves at 180: both kinds of place.
    const QString root = qEnvironmentVariable("TESSIVO_TESTDATA") + "/Tessivo_TestCases/shutters";
    const QString photo = root + "/1.jpg";
    const QStringList state{"--left", "0", "--right", "180"};
    QTemporaryDir out;
    const auto tessivo = [](const QStringList &arguments) {
        QProcess process;
        process.start(QStringLiteral(TESSIVO_CLI), arguments);
        return process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit
               && process.exitCode() == 0;
    };
    QVERIFY(tessivo(QStringList{"export", photo, "--format", "html", "--out", out.filePath("site")} + state));
    QVERIFY(tessivo(QStringList{"render", photo, "--no-grid", "--out", out.filePath("render.png")} + state));

    QProcess driver;
    driver.setProcessChannelMode(QProcess::MergedChannels);
    driver.start(node, {QStringLiteral(TESSIVO_PAGE_DRIVER), QStringLiteral(TESSIVO_PLAYWRIGHT), chromium,
                        out.filePath("site/index.html"), out.path()});
    QVERIFY(driver.waitForFinished(180000));
    QVERIFY2(driver.exitCode() == 0, driver.readAll().constData());
    QFile resultFile(out.filePath("result.json"));
    QVERIFY(resultFile.open(QIODevice::ReadOnly));
    const QJsonObject result = QJsonDocument::fromJson(resultFile.readAll()).object();
    QVERIFY2(result["error"].isNull(), qPrintable(result["error"].toString()));
    QVERIFY2(result["messages"].toArray().isEmpty(), qPrintable(QJsonDocument(result).toJson()));
    qInfo("first frame %.0f ms after the navigation began (%d ms from the load's start)",
          result["firstFrameMs"].toDouble(), result["firstFrameWallMs"].toInt());

    QWindowData2D model;
    QVERIFY(model.loadShutterTestCase(root.toStdString(), "1.jpg"));
    const QImage render(out.filePath("render.png"));
    const QImage before(out.filePath("before.png"));
    const QImage after(out.filePath("after.png"));
    QVERIFY(!render.isNull() && !before.isNull() && !after.isNull());
    const double scale = double(render.width()) / model.rectifiedImage.width();
    const auto inRender = [scale](const HingeBounds &box) {
        return QRect(QPoint(int(box.minx * scale), int(box.miny * scale)),
                     QPoint(int(box.maxx * scale) - 1, int(box.maxy * scale) - 1));
    };

    // The outline: the facade's proportions, whole within the canvas.
    const QRect facade = facadeIn(before);
    QVERIFY(!facade.isEmpty());
    QVERIFY(facade.left() > 0 && facade.top() > 0 && facade.right() < before.width() - 1
            && facade.bottom() < before.height() - 1);
    const double aspect = double(facade.width()) / facade.height();
    const double expectedAspect = double(render.width()) / render.height();
    QVERIFY2(std::abs(aspect / expectedAspect - 1.0) < 0.02, qPrintable(QString::number(aspect)));

    // The picture as a whole, each window, and the leaf colour where the leaves are.
    const Colour leaf = meanOf(model.leftShutterImage, model.leftShutterImage.rect());
    const double near = 45.0;
    const Cells cells(render, before, facade);
    const Cells::Count whole = cells.count(render.rect(), leaf, near);
    QVERIFY2(whole.alike >= 0.9 * whole.cells, qPrintable(QString("%1 of %2 cells alike").arg(whole.alike).arg(whole.cells)));
    qInfo("cells alike %d of %d; leaf cells: render %d, page %d, both %d", whole.alike, whole.cells,
          whole.leafRender, whole.leafPage, whole.leafBoth);
    QVERIFY2(whole.leafRender > 100, "the render shows too few leaves to compare");
    QVERIFY2(whole.leafBoth >= 0.85 * whole.leafRender && whole.leafBoth >= 0.85 * whole.leafPage,
             qPrintable(QString("leaf cells: render %1, page %2, both %3")
                            .arg(whole.leafRender).arg(whole.leafPage).arg(whole.leafBoth)));
    const int windows = int(model.currentImages.size());
    QVERIFY(windows > 0);
    for (int i = 0; i < windows; ++i) {
        const Cells::Count w = cells.count(inRender(hingeBounds(model.shutters[std::size_t(i)])), leaf, near);
        QVERIFY2(w.alike >= 0.8 * w.cells, qPrintable(QString("window %1: %2 of %3 cells alike").arg(i).arg(w.alike).arg(w.cells)));
    }

    // One click on window_0 opens its closed right leaf to 90 degrees and no other.
    const QJsonObject anglesBefore = result["before"].toObject();
    const QJsonObject anglesAfter = result["after"].toObject();
    QCOMPARE(anglesBefore.size(), 2 * windows);
    for (const QString &name : anglesBefore.keys()) {
        const double expected = name == "window_0_right" ? 90.0 : anglesBefore[name].toDouble();
        QVERIFY2(std::abs(anglesAfter[name].toDouble() - expected) < 1e-6, qPrintable(name));
    }
    QCOMPARE(anglesBefore["window_0_right"].toDouble(), 180.0);
    const Cells afterCells(render, after, facadeIn(after));
    const QRect window0 = inRender(hingeBounds(model.shutters[0]));
    const int leafBefore = cells.count(window0, leaf, near).leafPage;
    const int leafAfter = afterCells.count(window0, leaf, near).leafPage;
    QVERIFY2(leafAfter < 0.75 * leafBefore, qPrintable(QString("leaf cells %1 -> %2").arg(leafBefore).arg(leafAfter)));
    const QRect window1 = inRender(hingeBounds(model.shutters[1]));
    QCOMPARE(afterCells.count(window1, leaf, near).leafPage, cells.count(window1, leaf, near).leafPage);
}

QTEST_GUILESS_MAIN(TestFacadePage)
#include "tst_facadepage.moc"
