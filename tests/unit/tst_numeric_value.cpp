#include "table/numeric_value.h"

#include <QTest>
#include <cmath>

class TestNumericValue : public QObject
{
    Q_OBJECT
private slots:
    void value_data();
    void value();
};

void TestNumericValue::value_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("one") << "1" << 1.0;
    QTest::newRow("one point zero") << "1.0" << 1.0;
    QTest::newRow("leading zero") << "01" << 1.0;
    QTest::newRow("space then one") << " 1" << 1.0;
    QTest::newRow("one then letters") << "1abc" << 1.0;
    QTest::newRow("two") << "2" << 2.0;
    QTest::newRow("minus one") << "-1" << -1.0;
    QTest::newRow("plus three") << "+3" << 3.0;
    QTest::newRow("half") << "0.5" << 0.5;
    QTest::newRow("leading period") << ".5" << 0.5;
    QTest::newRow("two and a half") << "2.5" << 2.5;
    QTest::newRow("letters") << "abc" << 0.0;
    QTest::newRow("two then letters") << "2x" << 2.0;
    QTest::newRow("second period ends it") << "1.5.3" << 1.5;
    QTest::newRow("comma ends it") << "1,000" << 1.0;
    QTest::newRow("blanks inside are removed") << "1 2" << 12.0;
    QTest::newRow("tab and line feed removed") << "\t1\n0" << 10.0;
    QTest::newRow("sign then blank") << "- 1" << -1.0;
    QTest::newRow("carriage return is not removed") << "\r1" << 0.0;
    QTest::newRow("ideographic space is not removed") << QString::fromUtf16(u"\u30001") << 0.0;
    QTest::newRow("full-width digit is no digit") << QString::fromUtf16(u"\uFF11") << 0.0;
    QTest::newRow("exponent") << "1E1" << 10.0;
    QTest::newRow("lower-case exponent with sign") << "25e-1" << 2.5;
    QTest::newRow("D exponent") << "3D0" << 3.0;
    QTest::newRow("exponent without digits") << "1E" << 1.0;
    QTest::newRow("exponent sign without digits") << "3e+" << 3.0;
    QTest::newRow("lone sign") << "-" << 0.0;
    QTest::newRow("lone period") << "." << 0.0;
    QTest::newRow("hex") << "&H3" << 3.0;
    QTest::newRow("hex lower case") << "&h1f" << 31.0;
    QTest::newRow("hex 16-bit is signed") << "&HFFFF" << -1.0;
    QTest::newRow("hex 32-bit") << "&H10001" << 65537.0;
    QTest::newRow("hex 32-bit is signed") << "&HFFFFFFFF" << -1.0;
    QTest::newRow("hex stops at non-digit") << "&H2G" << 2.0;
    QTest::newRow("hex without digits") << "&H" << 0.0;
    QTest::newRow("octal") << "&O3" << 3.0;
    QTest::newRow("octal stops at 8") << "&O18" << 1.0;
    QTest::newRow("ampersand alone") << "&" << 0.0;
    QTest::newRow("ampersand other") << "&X1" << 0.0;
    QTest::newRow("huge is infinite") << "1E999" << qInf();
    QTest::newRow("huge negative") << "-1E999" << -qInf();
    QTest::newRow("tiny is zero") << "1E-999" << 0.0;
}

void TestNumericValue::value()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    const double actual = NumericValue(text);
    if (std::isinf(expected))
        QCOMPARE(actual, expected);
    else
        QVERIFY2(std::abs(actual - expected) < 1e-12,
                 qPrintable(QStringLiteral("%1 gave %2").arg(text).arg(actual)));
}

QTEST_APPLESS_MAIN(TestNumericValue)
#include "tst_numeric_value.moc"
