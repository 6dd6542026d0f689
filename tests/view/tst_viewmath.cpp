// Rules of the facade view that need no GL: slider values, blind levels,
// nearest shutter samples, pixel rounding and hit areas.
#include "FacadeViewMath.h"
#include "QWindowData2D.h"
#include "TestWindows.h"

#include <QtTest>

#include <climits>
#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(std::vector<double>)

using namespace FacadeViewMath;

namespace {
double degrees(double d)
{
    return d * 3.1415926 / 180.0;
}

FacadeWindow window(int x, int y, int width, int height, int blindExtent = 0)
{
    FacadeWindow w = makeWindow(x, y, width, height);
    w.blindExtent = blindExtent;
    return w;
}

const double notANumber = std::numeric_limits<double>::quiet_NaN();
const double infinity = std::numeric_limits<double>::infinity();
} // namespace

class TestViewMath : public QObject
{
    Q_OBJECT

private slots:
    void sliderValues_data();
    void sliderValues();
    void blindLevels_data();
    void blindLevels();
    void nearestSample_data();
    void nearestSample();
    void pixelRounding_data();
    void pixelRounding();
    void clampedSums();
    void hitArea_data();
    void hitArea();
    void blindBand_data();
    void blindBand();
};

void TestViewMath::sliderValues_data()
{
    QTest::addColumn<double>("radians");
    QTest::addColumn<int>("value");

    QTest::newRow("right angle") << 1.5707963 << 90;
    QTest::newRow("zero") << 0.0 << 0;
    QTest::newRow("4 degrees rounds down") << degrees(4) << 0;
    QTest::newRow("6 degrees rounds up") << degrees(6) << 10;
    QTest::newRow("174 degrees") << degrees(174) << 170;
    QTest::newRow("pi") << 3.1415926 << 180;
    QTest::newRow("above pi") << 3.2 << 180;
    QTest::newRow("far above pi") << 100.0 << 180;
    QTest::newRow("huge") << 1e300 << 180;
    QTest::newRow("slightly negative") << -0.1 << 0;
    QTest::newRow("negative") << -2.0 << 0;
    QTest::newRow("huge negative") << -1e300 << 0;
    QTest::newRow("infinite") << infinity << 180;
    QTest::newRow("not a number") << notANumber << 0;
}

void TestViewMath::sliderValues()
{
    QFETCH(double, radians);
    QFETCH(int, value);
    QCOMPARE(sliderValueFromAngle(radians), value);
}

void TestViewMath::blindLevels_data()
{
    QTest::addColumn<double>("ratio");
    QTest::addColumn<int>("level");

    QTest::newRow("1 of 40 pixels") << 1.0 / 40 << 0;
    QTest::newRow("10 of 40 pixels") << 10.0 / 40 << 3;
    QTest::newRow("half") << 0.5 << 5;
    QTest::newRow("0.94") << 0.94 << 9;
    QTest::newRow("0.95") << 0.95 << 10;
    QTest::newRow("39 of 40 pixels") << 39.0 / 40 << 10;
    QTest::newRow("beyond the window") << 1.7 << 10;
    QTest::newRow("above the window") << -0.3 << 0;
    QTest::newRow("not a number") << notANumber << 0;
}

void TestViewMath::blindLevels()
{
    QFETCH(double, ratio);
    QFETCH(int, level);
    QCOMPARE(QWindowData2D::blindLevel(ratio), level);
}

void TestViewMath::nearestSample_data()
{
    QTest::addColumn<std::vector<double>>("angles");
    QTest::addColumn<double>("angle");
    QTest::addColumn<int>("index");

    const std::vector<double> rising = {0.0, 0.5, 1.0};
    QTest::newRow("exact sample") << rising << 0.5 << 1;
    QTest::newRow("halfway: the first sample wins") << rising << 0.25 << 0;
    QTest::newRow("halfway higher up") << rising << 0.75 << 1;
    QTest::newRow("just past halfway") << rising << 0.2500001 << 1;
    QTest::newRow("below all") << rising << -3.0 << 0;
    QTest::newRow("above all") << rising << 7.0 << 2;
    QTest::newRow("falling order, tie") << std::vector<double>{1.0, 0.5, 0.0} << 0.25 << 1;
    QTest::newRow("repeated samples") << std::vector<double>{0.3, 0.3, 0.9} << 0.3 << 0;
    QTest::newRow("one sample") << std::vector<double>{2.0} << -5.0 << 0;
    QTest::newRow("no samples") << std::vector<double>{} << 0.0 << -1;
    QTest::newRow("angle not a number") << rising << notANumber << 0;
}

void TestViewMath::nearestSample()
{
    QFETCH(std::vector<double>, angles);
    QFETCH(double, angle);
    QFETCH(int, index);
    QCOMPARE(nearestSampleIndex(angles, angle), index);
}

void TestViewMath::pixelRounding_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("rounded");
    QTest::addColumn<int>("truncated");

    const int far = 1 << 29;
    QTest::newRow("below half") << 2.4 << 2 << 2;
    QTest::newRow("half") << 2.5 << 3 << 2;
    QTest::newRow("small negative") << -0.4 << 0 << 0;
    QTest::newRow("negative, cut toward zero") << -0.7 << 0 << 0;
    QTest::newRow("negative") << -1.6 << -1 << -1;
    QTest::newRow("negative truncation") << -2.9 << -2 << -2;
    QTest::newRow("huge") << 1e12 << far << far;
    QTest::newRow("huge negative") << -1e12 << -far << -far;
    QTest::newRow("infinite") << infinity << far << far;
    QTest::newRow("not a number") << notANumber << -far << -far;
}

void TestViewMath::pixelRounding()
{
    QFETCH(double, value);
    QFETCH(int, rounded);
    QFETCH(int, truncated);
    QCOMPARE(roundToPixel(value), rounded);
    QCOMPARE(truncateToPixel(value), truncated);
}

void TestViewMath::clampedSums()
{
    QCOMPARE(clampedSum(3, 4), 7);
    QCOMPARE(clampedSum(-3, 4), 1);
    QCOMPARE(clampedSum(INT_MAX, 1), INT_MAX);
    QCOMPARE(clampedSum(INT_MAX - 1, 1), INT_MAX);
    QCOMPARE(clampedSum(INT_MIN, -1), INT_MIN);
    QCOMPARE(clampedSum(INT_MAX, INT_MIN), -1);
}

void TestViewMath::hitArea_data()
{
    QTest::addColumn<int>("px");
    QTest::addColumn<int>("py");
    QTest::addColumn<bool>("hit");

    // Window at (20, 30), 40 x 50.
    QTest::newRow("inside") << 40 << 50 << true;
    QTest::newRow("on the left edge") << 20 << 50 << false;
    QTest::newRow("just right of the left edge") << 21 << 50 << true;
    QTest::newRow("last column") << 59 << 50 << true;
    QTest::newRow("on the right edge") << 60 << 50 << false;
    QTest::newRow("one above the top") << 40 << 29 << true;
    QTest::newRow("two above the top") << 40 << 28 << false;
    QTest::newRow("one below the bottom") << 40 << 81 << true;
    QTest::newRow("two below the bottom") << 40 << 82 << false;
}

void TestViewMath::hitArea()
{
    QFETCH(int, px);
    QFETCH(int, py);
    QFETCH(bool, hit);
    QCOMPARE(inHitArea(window(20, 30, 40, 50), px, py), hit);
}

void TestViewMath::blindBand_data()
{
    QTest::addColumn<int>("px");
    QTest::addColumn<int>("py");
    QTest::addColumn<bool>("onBand");

    // Window at (10, 10), 40 x 40, blind edge 20 below its top: y = 30.
    QTest::newRow("on the edge") << 30 << 30 << true;
    QTest::newRow("3 above") << 30 << 27 << true;
    QTest::newRow("4 above") << 30 << 26 << false;
    QTest::newRow("3 below") << 30 << 33 << true;
    QTest::newRow("4 below") << 30 << 34 << false;
    QTest::newRow("on the left edge") << 10 << 30 << false;
    QTest::newRow("first column") << 11 << 30 << true;
    QTest::newRow("last column") << 49 << 30 << true;
    QTest::newRow("on the right edge") << 50 << 30 << false;
}

void TestViewMath::blindBand()
{
    QFETCH(int, px);
    QFETCH(int, py);
    QFETCH(bool, onBand);
    QCOMPARE(onBlindBand(window(10, 10, 40, 40, 20), px, py), onBand);
    // Near the limits of int the tests stay exact instead of overflowing.
    QCOMPARE(inHitArea(window(INT_MAX - 50, INT_MAX - 60, 100, 100), INT_MAX, INT_MAX), true);
    QCOMPARE(inHitArea(window(INT_MIN, INT_MIN, 10, 10), INT_MAX, INT_MAX), false);
    QCOMPARE(onBlindBand(window(INT_MAX - 50, INT_MAX - 10, 100, 100, INT_MAX), INT_MAX - 1, INT_MAX), false);
}

QTEST_GUILESS_MAIN(TestViewMath)
#include "tst_viewmath.moc"
