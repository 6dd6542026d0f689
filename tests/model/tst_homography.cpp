// The program's 3 x 3 matrix: a homography applied, composed and inverted,
// and matrices that have no inverse refused without a result.
#include "Homography.h"

#include <QtTest>

#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(Matrix3)

namespace {

double maxDifference(const Matrix3 &a, const Matrix3 &b)
{
    double most = 0.0;
    for (std::size_t i = 0; i < 3; ++i)
        for (std::size_t j = 0; j < 3; ++j)
            most = std::max(most, std::abs(a[i][j] - b[i][j]));
    return most;
}

// A facade's homography: a turned and foreshortened unit square.
const Matrix3 kPerspective{{{812.5, -40.25, 130.0}, {22.0, 640.0, 95.5}, {0.00021, -0.00013, 1.0}}};

} // namespace

class TestHomography : public QObject
{
    Q_OBJECT

private slots:
    void inverseUndoes_data();
    void inverseUndoes();
    void noInverse_data();
    void noInverse();
    void applyAndCompose();
};

void TestHomography::inverseUndoes_data()
{
    QTest::addColumn<Matrix3>("h");
    QTest::newRow("identity") << Homography::identity();
    QTest::newRow("scale and shift") << Matrix3{{{2.0, 0.0, -7.0}, {0.0, 0.5, 3.0}, {0.0, 0.0, 1.0}}};
    QTest::newRow("perspective") << kPerspective;
    QTest::newRow("camera K") << Matrix3{{{1200.0, 0.0, 512.0}, {0.0, 1200.0, 384.0}, {0.0, 0.0, 1.0}}};
}

// h h^-1 and h^-1 h are the identity, and a point goes there and back.
void TestHomography::inverseUndoes()
{
    QFETCH(Matrix3, h);
    Matrix3 inverse{};
    QVERIFY(Homography::inverse(h, &inverse));
    QVERIFY(maxDifference(Homography::compose(h, inverse), Homography::identity()) < 1e-12);
    QVERIFY(maxDifference(Homography::compose(inverse, h), Homography::identity()) < 1e-12);
    const QPointF there = Homography::apply(h, 37.0, -12.5);
    const QPointF back = Homography::apply(inverse, there.x(), there.y());
    QVERIFY(std::abs(back.x() - 37.0) < 1e-9 && std::abs(back.y() + 12.5) < 1e-9);
}

void TestHomography::noInverse_data()
{
    const double inf = std::numeric_limits<double>::infinity();
    QTest::addColumn<Matrix3>("h");
    QTest::newRow("zero") << Matrix3{};
    QTest::newRow("two equal rows") << Matrix3{{{1.0, 2.0, 3.0}, {1.0, 2.0, 3.0}, {0.0, 0.0, 1.0}}};
    QTest::newRow("not a number") << Matrix3{{{std::nan(""), 0.0, 0.0}, {0.0, 1.0, 0.0}, {0.0, 0.0, 1.0}}};
    QTest::newRow("infinite") << Matrix3{{{inf, 0.0, 0.0}, {0.0, 1.0, 0.0}, {0.0, 0.0, 1.0}}};
    // A determinant so small that the inverse overflows.
    QTest::newRow("inverse not finite") << Matrix3{{{1e-310, 0.0, 0.0}, {0.0, 1.0, 0.0}, {0.0, 0.0, 1.0}}};
}

void TestHomography::noInverse()
{
    QFETCH(Matrix3, h);
    Matrix3 result = kPerspective;
    QVERIFY(!Homography::inverse(h, &result));
    QCOMPARE(result, kPerspective); // untouched
}

// compose(a, b) applies b first; apply divides by the third component.
void TestHomography::applyAndCompose()
{
    const Matrix3 shift{{{1.0, 0.0, 10.0}, {0.0, 1.0, 20.0}, {0.0, 0.0, 1.0}}};
    const Matrix3 scale{{{2.0, 0.0, 0.0}, {0.0, 3.0, 0.0}, {0.0, 0.0, 1.0}}};
    QCOMPARE(Homography::apply(Homography::compose(shift, scale), 1.0, 1.0), QPointF(12.0, 23.0));
    QCOMPARE(Homography::apply(Homography::compose(scale, shift), 1.0, 1.0), QPointF(22.0, 63.0));
    const Matrix3 projective{{{1.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, {0.5, 0.0, 1.0}}};
    QCOMPARE(Homography::apply(projective, 2.0, 4.0), QPointF(1.0, 2.0));
}

QTEST_GUILESS_MAIN(TestHomography)
#include "tst_homography.moc"
