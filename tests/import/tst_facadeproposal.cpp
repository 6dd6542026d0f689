// The facade proposal on photographs made of the generator's rectified
// facades drawn in perspective, whose corners are known: a frontal and a
// keystoned facade, two facades meeting at a corner (the wider one a
// candidate), a facade cut by the photograph's frame, whose proposal
// reaches past the frame, and a wall the frame cuts on three sides, whose cut
// sides are its own lines covering what is visible, and a plain wall above
// the windows that the frame cuts, which draws no lines. And a facade imported
// with corners beyond the frame: only the part the photograph shows is
// searched, and the rest is wall.
#include "FacadeAnalysis.h"
#include "ImportTestSupport.h"
#include "QWindowData2D.h"

#include <QtTest>

#include <algorithm>
#include <cmath>

using namespace FacadeImport;

Q_DECLARE_METATYPE(std::vector<SceneFacade>)

namespace {

constexpr double kCornerShare = 0.03; // corners within this share of the facade's diagonal

double diagonal(const FacadeQuad &q)
{
    return std::max(std::hypot(q[2].x() - q[0].x(), q[2].y() - q[0].y()),
                    std::hypot(q[3].x() - q[1].x(), q[3].y() - q[1].y()));
}

FacadeQuad quad(double x0, double y0, double x1, double y1, double x2, double y2, double x3, double y3)
{
    return {QPointF(x0, y0), QPointF(x1, y1), QPointF(x2, y2), QPointF(x3, y3)};
}

// The mean of the pixels of an RGB888 image where the mask is (or is not) set.
double meanWhere(const QImage &image, const QImage &mask, bool set)
{
    double sum = 0.0;
    long n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((mask.constScanLine(y)[x] != 0) == set) {
                const uchar *p = image.constScanLine(y) + 3 * x;
                sum += (p[0] + p[1] + p[2]) / 3.0;
                ++n;
            }
    return n > 0 ? sum / n : 0.0;
}

} // namespace

class TestFacadeProposal : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void proposal_data();
    void proposal();
    void cutByFrame();
    void cutSidesBeyondFrame();
    void plainWallCutByFrame();

private:
    QImage m_blinds;   // rectified facades of generated cases
    QImage m_shutters;
};

void TestFacadeProposal::initTestCase()
{
    const Truth blinds = loadTruth("blinds", "5.jpg");
    const Truth shutters = loadTruth("shutters", "1.jpg");
    QVERIFY(blinds.model && shutters.model);
    m_blinds = blinds.rectified;
    m_shutters = shutters.rectified;
    QVERIFY(!m_blinds.isNull() && !m_shutters.isNull());
}

void TestFacadeProposal::proposal_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<std::vector<SceneFacade>>("facades");
    QTest::addColumn<int>("candidates"); // at least this many
    QTest::addColumn<QList<int>>("found"); // the facades that must be candidates
    QTest::addColumn<int>("best");       // the facade that must be the best candidate, or -1
    QTest::addColumn<QList<int>>("cut"); // corners the frame cuts: at or beyond it, not compared

    const QSize size(800, 600);
    QTest::newRow("frontal") << size << std::vector<SceneFacade>{{m_blinds, quad(100, 90, 700, 90, 700, 480, 100, 480)}}
                             << 1 << QList<int>{0} << 0 << QList<int>();
    QTest::newRow("keystoned") << size
                               << std::vector<SceneFacade>{{m_blinds, quad(170, 70, 630, 70, 700, 520, 100, 520)}}
                               << 1 << QList<int>{0} << 0 << QList<int>();
    // A building's corner: the wider face is one of the candidates.
    QTest::newRow("corner") << size
                            << std::vector<SceneFacade>{{m_blinds, quad(300, 70, 780, 150, 780, 470, 300, 540)},
                                                        {m_shutters, quad(40, 170, 300, 70, 300, 540, 40, 450)}}
                            << 2 << QList<int>{0} << -1 << QList<int>();
    // A tower standing on the facade, seen whole against the sky: the
    // facade's top is its own, not the tower's.
    QTest::newRow("tower above") << size
                                 << std::vector<SceneFacade>{{m_blinds, quad(100, 260, 700, 260, 700, 560, 100, 560)},
                                                             {m_shutters, quad(320, 30, 480, 30, 480, 260, 320, 260)}}
                                 << 1 << QList<int>{0} << 0 << QList<int>();
    QTest::newRow("cut by the right edge")
        << size << std::vector<SceneFacade>{{m_blinds, quad(90, 110, 1000, 60, 1000, 540, 90, 500)}} << 1
        << QList<int>{0} << 0 << QList<int>{1, 2};
}

void TestFacadeProposal::proposal()
{
    QFETCH(QSize, size);
    QFETCH(std::vector<SceneFacade>, facades);
    QFETCH(int, candidates);
    QFETCH(QList<int>, found);
    QFETCH(int, best);
    QFETCH(QList<int>, cut);

    const QImage photo = streetScene(size, facades);
    const FacadeProposal p = proposeFacade(photo);
    QVERIFY(p.fromLines);
    QVERIFY2(int(p.candidates.size()) >= candidates, qPrintable(QString::number(p.candidates.size())));
    QCOMPARE(p.corners, p.candidates.front().corners);
    for (std::size_t i = 1; i < p.candidates.size(); ++i)
        QVERIFY(p.candidates[i - 1].score >= p.candidates[i].score);

    // Each facade named is a candidate; where the frame cuts it, the
    // proposal reaches the frame.
    for (int f : found) {
        const FacadeQuad &truth = facades[std::size_t(f)].quad;
        const double tolerance = kCornerShare * diagonal(truth);
        double closest = 1e9;
        std::size_t which = 0;
        for (std::size_t c = 0; c < p.candidates.size(); ++c) {
            FacadeQuad compared = p.candidates[c].corners;
            for (int k : cut) {
                const QPointF &q = compared[std::size_t(k)];
                if (q.x() >= size.width() - tolerance)
                    compared[std::size_t(k)] = truth[std::size_t(k)];
            }
            const double e = cornerError(compared, truth);
            if (e < closest) {
                closest = e;
                which = c;
            }
        }
        QVERIFY2(closest <= tolerance, qPrintable(QString("facade %1: corners off by %2 pixels").arg(f).arg(closest)));
        if (f == best)
            QCOMPARE(which, std::size_t(0));
    }
}

// A wall the frame cuts on both sides and at the top, as a photograph
// taken close to a long warehouse shows it: the cut sides are the facade's
// own lines that just cover what the photograph shows, so the corners of
// the receding sides lie beyond the frame, and the part of the proposal
// inside the photograph is wall.
void TestFacadeProposal::cutSidesBeyondFrame()
{
    const QSize size(800, 600);
    const FacadeQuad truth = quad(-60, -50, 870, -30, 880, 520, -70, 540);
    const FacadeProposal p = proposeFacade(streetScene(size, {{m_blinds, truth}}));
    QVERIFY(p.fromLines);
    auto visible = [&](const FacadeQuad &q) {
        return QPolygonF({q[0], q[1], q[2], q[3]}).intersected(QPolygonF(QRectF(QPointF(0, 0), QSizeF(size))));
    };
    auto area = [](const QPolygonF &polygon) {
        double sum = 0.0;
        for (int i = 0; i < polygon.size(); ++i)
            sum += polygon[i].x() * polygon[(i + 1) % polygon.size()].y()
                 - polygon[(i + 1) % polygon.size()].x() * polygon[i].y();
        return 0.5 * std::abs(sum);
    };
    const QPolygonF proposed = visible(p.corners), wall = visible(truth);
    const double common = area(proposed.intersected(wall));
    QVERIFY2(common > 0.97 * area(proposed), qPrintable(QString("wall %1 of %2").arg(common).arg(area(proposed))));
    QVERIFY2(common > 0.8 * area(wall), qPrintable(QString("covers %1 of %2").arg(common).arg(area(wall))));
    QVERIFY2(p.corners[3].x() < -1.0 && p.corners[2].x() > size.width() + 1.0,
             qPrintable(QString("bottom corners at x %1 and %2").arg(p.corners[3].x()).arg(p.corners[2].x())));
}

// Corners beyond the photograph's right edge: the analysis takes them, the
// mask says which part the photograph shows, no window is found beyond it,
// and what lies beyond is wall like the wall beside it, not a smear of the
// frame's last column.
void TestFacadeProposal::cutByFrame()
{
    const QSize size(800, 600);
    const FacadeQuad truth = quad(90, 110, 1000, 60, 1000, 540, 90, 500);
    const QImage photo = streetScene(size, {{m_blinds, truth}});
    AnalysisOptions options;
    options.useCorners = true;
    options.corners = truth;
    const FacadeAnalysis a = analysePhotograph(photo, options);
    QVERIFY2(a.status.ok(), a.status.reason.c_str());
    QCOMPARE(a.inside.format(), QImage::Format_Grayscale8);
    QCOMPARE(a.inside.size(), a.rectified.size());

    // The photograph shows the facade up to x = 800 of 90..1000 along its
    // top and bottom edges, in perspective: the shown share lies between
    // the straight share and all of it.
    double shown = 0.0;
    for (int y = 0; y < a.inside.height(); ++y)
        for (int x = 0; x < a.inside.width(); ++x)
            shown += a.inside.constScanLine(y)[x] == 255 ? 1.0 : 0.0;
    shown /= double(a.inside.width()) * a.inside.height();
    QVERIFY2(shown > 0.6 && shown < 0.95, qPrintable(QString::number(shown)));
    QVERIFY(!a.grid.empty());
    for (const FacadeWindow &w : a.grid.windows) {
        const QPoint centre(w.x + w.width / 2, w.y + w.height / 2);
        QVERIFY(a.inside.rect().contains(centre) && a.inside.pixel(centre) != qRgb(0, 0, 0));
    }
    const double inside = meanWhere(a.rectified, a.inside, true);
    const double outside = meanWhere(a.rectified, a.inside, false);
    QVERIFY2(std::abs(inside - outside) < 25.0, qPrintable(QString("wall %1, beyond %2").arg(inside).arg(outside)));
}

// A facade whose upper floors are plain wall up to where the frame cuts
// it, above floors whose windows draw the lines: the wall is the facade's
// too, so the proposal's top reaches the frame, and its foot stays.
void TestFacadeProposal::plainWallCutByFrame()
{
    // The plain wall is of the facade's own colour: its median.
    std::vector<int> channels[3];
    const QImage rgb = m_blinds.convertToFormat(QImage::Format_RGB888);
    for (int y = 0; y < rgb.height(); y += 2)
        for (int x = 0; x < rgb.width(); x += 2)
            for (int k = 0; k < 3; ++k)
                channels[k].push_back(rgb.constScanLine(y)[3 * x + k]);
    int median[3];
    for (int k = 0; k < 3; ++k) {
        std::nth_element(channels[k].begin(), channels[k].begin() + channels[k].size() / 2, channels[k].end());
        median[k] = channels[k][channels[k].size() / 2];
    }
    QImage plain(rgb.width(), rgb.height(), QImage::Format_RGB888);
    plain.fill(QColor(median[0], median[1], median[2]));

    const QSize size(800, 600);
    const FacadeQuad windows = quad(100, 330, 700, 330, 700, 560, 100, 560);
    const FacadeQuad wall = quad(100, -300, 700, -300, 700, 331, 100, 331);
    const FacadeProposal p = proposeFacade(streetScene(size, {{plain, wall}, {m_blinds, windows}}));
    QVERIFY(p.fromLines);
    const double tolerance = kCornerShare * diagonal(quad(100, 0, 700, 0, 700, 560, 100, 560));
    QVERIFY2(p.corners[0].y() <= tolerance && p.corners[1].y() <= tolerance,
             qPrintable(QString("top at %1 and %2").arg(p.corners[0].y()).arg(p.corners[1].y())));
    for (std::size_t k : {std::size_t(2), std::size_t(3)})
        QVERIFY2(std::hypot(p.corners[k].x() - windows[k].x(), p.corners[k].y() - windows[k].y()) <= tolerance,
                 qPrintable(QString("corner %1 at %2, %3").arg(k).arg(p.corners[k].x()).arg(p.corners[k].y())));
}

QTEST_GUILESS_MAIN(TestFacadeProposal)
#include "tst_facadeproposal.moc"
