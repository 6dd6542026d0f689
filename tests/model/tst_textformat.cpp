// The formatter of the program's text files: reals exactly as stdio's "%f"
// and "%.<n>g" write them in the C locale, also while the process runs in a
// locale whose decimal separator is a comma.
#include "CommaLocale.h"
#include "TextFormat.h"

#include <QtTest>

#include <limits>
#include <memory>

class TestTextFormat : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { m_comma = std::make_unique<CommaLocale>(); }
    void realsAsTheCLocaleWritesThem_data();
    void realsAsTheCLocaleWritesThem();

private:
    std::unique_ptr<CommaLocale> m_comma; // built once: localedef takes a while
};

namespace {

// precision -1 stands for appendFixed6 ("%f").
std::string formatted(double value, int precision)
{
    std::string text = "[";
    if (precision < 0)
        appendFixed6(text, value);
    else
        appendGeneral(text, value, precision);
    return text + "]";
}

} // namespace

void TestTextFormat::realsAsTheCLocaleWritesThem_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("precision");
    QTest::addColumn<QByteArray>("expected");
    // "%f": six decimals, rounded from the exact binary value.
    QTest::newRow("f zero") << 0.0 << -1 << QByteArray("[0.000000]");
    QTest::newRow("f negative zero") << -0.0 << -1 << QByteArray("[-0.000000]");
    QTest::newRow("f half") << -2.25 << -1 << QByteArray("[-2.250000]");
    QTest::newRow("f tiny negative") << -1e-7 << -1 << QByteArray("[-0.000000]");
    QTest::newRow("f below the half") << 0.1234565 << -1 << QByteArray("[0.123456]");
    QTest::newRow("f large") << 1e20 << -1 << QByteArray("[100000000000000000000.000000]");
    QTest::newRow("f largest double") << std::numeric_limits<double>::max() << -1
                                      << QByteArray("[179769313486231570814527423731704356798070567525844996598917476803157260780028538760589558632766878171540458953514382464234321326889464182768467546703"
                                                    "537516986049910576551282076245490090389328944075868508455133942304583236903222948165808559332123348274797826204144723168738177180919299881250404026184124858368.000000]");
    // "%.15g": general reals.
    QTest::newRow("g15 whole") << 800.0 << 15 << QByteArray("[800]");
    QTest::newRow("g15 third") << 1.0 / 3 << 15 << QByteArray("[0.333333333333333]");
    QTest::newRow("g15 rotation") << -0.974370064785235 << 15 << QByteArray("[-0.974370064785235]");
    QTest::newRow("g15 small") << 1e-5 << 15 << QByteArray("[1e-05]");
    QTest::newRow("g15 exponent") << 123456789012345678.0 << 15 << QByteArray("[1.23456789012346e+17]");
    QTest::newRow("g15 exactly 1e15") << 1e15 << 15 << QByteArray("[1e+15]");
    QTest::newRow("g15 negative zero") << -0.0 << 15 << QByteArray("[-0]");
    // "%.17g": the reconstruction file, every double exactly.
    QTest::newRow("g17 whole") << 820.0 << 17 << QByteArray("[820]");
    QTest::newRow("g17 third") << 1.0 / 3 << 17 << QByteArray("[0.33333333333333331]");
    QTest::newRow("g17 small") << -8.78656713948666e-05 << 17 << QByteArray("[-8.7865671394866596e-05]");
    QTest::newRow("g17 largest double") << std::numeric_limits<double>::max() << 17
                                        << QByteArray("[1.7976931348623157e+308]");
    // "%.6g": leaf angles of the shutter file, in degrees.
    QTest::newRow("g6 whole degrees") << 45.0 << 6 << QByteArray("[45]");
    QTest::newRow("g6 rounds to whole") << 179.99999999 << 6 << QByteArray("[180]");
    QTest::newRow("g6 exponent") << 1234567.0 << 6 << QByteArray("[1.23457e+06]");
    QTest::newRow("g6 small") << 0.0001234567 << 6 << QByteArray("[0.000123457]");
}

void TestTextFormat::realsAsTheCLocaleWritesThem()
{
    QFETCH(double, value);
    QFETCH(int, precision);
    QFETCH(QByteArray, expected);
    QCOMPARE(QByteArray::fromStdString(formatted(value, precision)), expected);

    if (!m_comma->enter())
        QSKIP("no locale with a decimal comma could be made");
    const std::string underComma = formatted(value, precision);
    m_comma->leave();
    QCOMPARE(QByteArray::fromStdString(underComma), expected);
}

QTEST_GUILESS_MAIN(TestTextFormat)
#include "tst_textformat.moc"
