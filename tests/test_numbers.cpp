// Reading numbers from field texts and writing them in the program's forms.
#include "core/calc/numbers.h"
#include "core/kvx_error.h"

#include <QTest>

#include <limits>

using namespace kvx;

namespace {

QLocale dutch() {
    return QLocale(QLocale::Dutch, QLocale::Netherlands);
}

} // namespace

class TestNumbers : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void parseDecimal_data();
    void parseDecimal();
    void val_data();
    void val();
    void overflow_data();
    void overflow();
    void parseDecimalRefusesOverflow();
    void masks_data();
    void masks();
    void general_data();
    void general();
    void generalSingle_data();
    void generalSingle();
    void generalReadsBack_data();
    void generalReadsBack();
};

void TestNumbers::parseDecimal_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("empty") << QString() << 0.0;
    QTest::newRow("only spaces") << QStringLiteral("   ") << 0.0;
    QTest::newRow("decimal comma") << QStringLiteral("1,5") << 1.5;
    QTest::newRow("decimal dot") << QStringLiteral("1.5") << 1.5;
    QTest::newRow("negative with comma") << QStringLiteral("-3,25") << -3.25;
    QTest::newRow("plus sign") << QStringLiteral("+7") << 7.0;
    QTest::newRow("thousands dot then decimal comma") << QStringLiteral("1.234,5") << 1.234;
    QTest::newRow("second comma ends the number") << QStringLiteral("1,5,3") << 1.5;
    QTest::newRow("inner blank is skipped") << QStringLiteral("12 345") << 12345.0;
    QTest::newRow("unit after the number") << QStringLiteral("6 W") << 6.0;
    QTest::newRow("letters only") << QStringLiteral("abc") << 0.0;
    QTest::newRow("exponent") << QStringLiteral("2E3") << 2000.0;
    QTest::newRow("surrounding spaces") << QStringLiteral("  90,5  ") << 90.5;
    QTest::newRow("comma in the mantissa before an exponent") << QStringLiteral("1,5E2") << 150.0;
    QTest::newRow("tab and line feed are skipped") << QStringLiteral("\t4\n,5") << 4.5;
    QTest::newRow("non-breaking space is no blank") << QStringLiteral("\u00a05") << 0.0;
}

void TestNumbers::parseDecimal() {
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(ParseDecimal(text), expected);
}

void TestNumbers::val_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("comma ends the number") << QStringLiteral("1,5") << 1.0;
    QTest::newRow("leading dot") << QStringLiteral(".5") << 0.5;
    QTest::newRow("negative leading dot") << QStringLiteral("-.5") << -0.5;
    QTest::newRow("trailing dot") << QStringLiteral("5.") << 5.0;
    QTest::newRow("sign alone") << QStringLiteral("-") << 0.0;
    QTest::newRow("two signs") << QStringLiteral("--5") << 0.0;
    QTest::newRow("blank after the sign") << QStringLiteral("- 5") << -5.0;
    QTest::newRow("sign after the digits") << QStringLiteral("5-") << 5.0;
    QTest::newRow("carriage return ends the number") << QStringLiteral("1\r2") << 1.0;
    QTest::newRow("lower-case exponent") << QStringLiteral("2e3") << 2000.0;
    QTest::newRow("negative exponent") << QStringLiteral("25E-1") << 2.5;
    QTest::newRow("D exponent") << QStringLiteral("1D2") << 100.0;
    QTest::newRow("lower-case d exponent with sign") << QStringLiteral("1d+2") << 100.0;
    QTest::newRow("exponent letter without digits") << QStringLiteral("7E") << 7.0;
    QTest::newRow("exponent sign without digits") << QStringLiteral("7E+") << 7.0;
    QTest::newRow("exponent without a mantissa") << QStringLiteral("E5") << 0.0;
    QTest::newRow("blanks inside the exponent") << QStringLiteral("1 E 2") << 100.0;
    QTest::newRow("hexadecimal") << QStringLiteral("&H1F") << 31.0;
    QTest::newRow("hexadecimal lower case with blanks") << QStringLiteral("& h f f") << 255.0;
    QTest::newRow("hexadecimal stops at a non-digit") << QStringLiteral("&HAG") << 10.0;
    QTest::newRow("hexadecimal is never negative") << QStringLiteral("&HFFFF") << 65535.0;
    QTest::newRow("octal") << QStringLiteral("&O17") << 15.0;
    QTest::newRow("octal stops at 8") << QStringLiteral("&o18") << 1.0;
    QTest::newRow("prefix without digits") << QStringLiteral("&H") << 0.0;
    QTest::newRow("unknown prefix") << QStringLiteral("&X5") << 0.0;
    QTest::newRow("underflow reads as zero") << QStringLiteral("1e-400") << 0.0;
    QTest::newRow("many leading zeros") << QStringLiteral("0000000000000000000042") << 42.0;
    QTest::newRow("largest double")
        << QStringLiteral("1.7976931348623157e308") << std::numeric_limits<double>::max();
    QTest::newRow("small mantissa, large exponent") << QStringLiteral("0.000001e310") << 1e304;
}

void TestNumbers::val() {
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(Val(text), expected);
    QCOMPARE(ValChecked(text), std::optional<double>(expected));
}

void TestNumbers::overflow_data() {
    QTest::addColumn<QString>("text");

    QTest::newRow("exponent of 400") << QStringLiteral("1e400");
    QTest::newRow("negative, exponent of 400") << QStringLiteral("-1E400");
    QTest::newRow("just above the largest double") << QStringLiteral("1.8e308");
    QTest::newRow("huge exponent") << QStringLiteral("1e99999999999999999999");
    QTest::newRow("four hundred digits") << QString(400, u'9');
    QTest::newRow("long hexadecimal") << QStringLiteral("&H") + QString(300, u'F');
    QTest::newRow("long octal") << QStringLiteral("&O") + QString(400, u'7');
}

void TestNumbers::overflow() {
    QFETCH(QString, text);
    QCOMPARE(ValChecked(text), std::nullopt);
    QCOMPARE(Val(text), 0.0);
}

void TestNumbers::parseDecimalRefusesOverflow() {
    try {
        ParseDecimal(QStringLiteral(" 1,5E400 "));
        QFAIL("no KvxError");
    } catch (const KvxError& e) {
        QCOMPARE(e.message(), QStringLiteral("Number too large: 1,5E400"));
    }
}

void TestNumbers::masks_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("oneDecimal");
    QTest::addColumn<QString>("whole");

    // A half rounds away from zero, judged on the value's first 15 digits:
    // 0.15 (stored a little below) reads 0.2 as the user would expect.
    QTest::newRow("exact half 2.25") << 2.25 << QStringLiteral("2.3") << QStringLiteral("2");
    QTest::newRow("0.05") << 0.05 << QStringLiteral("0.1") << QStringLiteral("0");
    QTest::newRow("0.15 stored below its half")
        << 0.15 << QStringLiteral("0.2") << QStringLiteral("0");
    QTest::newRow("negative half") << -2.25 << QStringLiteral("-2.3") << QStringLiteral("-2");
    QTest::newRow("whole half 2.5") << 2.5 << QStringLiteral("2.5") << QStringLiteral("3");
    QTest::newRow("whole half 0.5") << 0.5 << QStringLiteral("0.5") << QStringLiteral("1");
    QTest::newRow("negative whole half") << -0.5 << QStringLiteral("-0.5") << QStringLiteral("-1");
    QTest::newRow("small negative shows no sign")
        << -0.04 << QStringLiteral("0.0") << QStringLiteral("0");
    QTest::newRow("negative zero") << -0.0 << QStringLiteral("0.0") << QStringLiteral("0");
    QTest::newRow("carry into a new digit")
        << 9.96 << QStringLiteral("10.0") << QStringLiteral("10");
    QTest::newRow("solved spacing") << 3.6084 << QStringLiteral("3.6") << QStringLiteral("4");
    QTest::newRow("negative spacing") << -8.0469 << QStringLiteral("-8.0") << QStringLiteral("-8");
    QTest::newRow("difference level of a failed search")
        << 1.3371 << QStringLiteral("1.3") << QStringLiteral("1");
    QTest::newRow("direct level") << 92.4493 << QStringLiteral("92.4") << QStringLiteral("92");
    QTest::newRow("large, no group separators")
        << 1234567.89 << QStringLiteral("1234567.9") << QStringLiteral("1234568");
    QTest::newRow("beyond 15 digits") << 1e20 << QStringLiteral("100000000000000000000.0")
                                      << QStringLiteral("100000000000000000000");
}

void TestNumbers::masks() {
    QFETCH(double, value);
    QFETCH(QString, oneDecimal);
    QFETCH(QString, whole);
    QCOMPARE(formatOneDecimal(value, QLocale::c()), oneDecimal);
    QCOMPARE(formatWhole(value, QLocale::c()), whole);
    QCOMPARE(formatOneDecimal(value, dutch()), QString(oneDecimal).replace(u'.', u','));
    QCOMPARE(formatWhole(value, dutch()), whole);
}

void TestNumbers::general_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("c");
    QTest::addColumn<QString>("dutch");

    QTest::newRow("whole value") << 6.0 << QStringLiteral("6") << QStringLiteral("6");
    QTest::newRow("speaker power 1.47")
        << 6.0 / 2 * 70 * 70 / 10000 << QStringLiteral("1.47") << QStringLiteral("1,47");
    QTest::newRow("speaker power 0.375")
        << 0.375 << QStringLiteral("0.375") << QStringLiteral("0,375");
    QTest::newRow("difference level 6.5")
        << 65 / 10.0 << QStringLiteral("6.5") << QStringLiteral("6,5");
    QTest::newRow("difference level 0.3 from 3 / 10")
        << 3 / 10.0 << QStringLiteral("0.3") << QStringLiteral("0,3");
    QTest::newRow("binary noise beyond 15 digits")
        << 0.1 + 0.2 << QStringLiteral("0.3") << QStringLiteral("0,3");
    QTest::newRow("negative") << -2.5 << QStringLiteral("-2.5") << QStringLiteral("-2,5");
    QTest::newRow("zero") << 0.0 << QStringLiteral("0") << QStringLiteral("0");
    QTest::newRow("negative zero") << -0.0 << QStringLiteral("0") << QStringLiteral("0");
    QTest::newRow("no group separators")
        << 1234567.5 << QStringLiteral("1234567.5") << QStringLiteral("1234567,5");
    QTest::newRow("largest fixed") << 999999999999999.0 << QStringLiteral("999999999999999")
                                   << QStringLiteral("999999999999999");
    QTest::newRow("16 digits take an exponent")
        << 1e15 << QStringLiteral("1E+15") << QStringLiteral("1E+15");
    QTest::newRow("huge") << 1e20 << QStringLiteral("1E+20") << QStringLiteral("1E+20");
    QTest::newRow("huge with decimals")
        << 1.5e300 << QStringLiteral("1.5E+300") << QStringLiteral("1,5E+300");
    QTest::newRow("small fixed") << 0.00001 << QStringLiteral("0.00001")
                                 << QStringLiteral("0,00001");
    QTest::newRow("tiny") << 1.5e-7 << QStringLiteral("1.5E-07") << QStringLiteral("1,5E-07");
    QTest::newRow("15 digits rounded")
        << 2.0 / 3 << QStringLiteral("0.666666666666667") << QStringLiteral("0,666666666666667");
}

void TestNumbers::general() {
    QFETCH(double, value);
    QFETCH(QString, c);
    QFETCH(QString, dutch);
    QCOMPARE(formatGeneral(value, QLocale::c()), c);
    QCOMPARE(formatGeneral(value, ::dutch()), dutch);
}

void TestNumbers::generalSingle_data() {
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("c");
    QTest::addColumn<QString>("dutch");

    QTest::newRow("sensitivity 89.5") << 89.5f << QStringLiteral("89.5") << QStringLiteral("89,5");
    QTest::newRow("0.1 is not 0.100000001")
        << 0.1f << QStringLiteral("0.1") << QStringLiteral("0,1");
    QTest::newRow("90.1 is not 90.0999985")
        << 90.1f << QStringLiteral("90.1") << QStringLiteral("90,1");
    QTest::newRow("rated power 6") << 6.0f << QStringLiteral("6") << QStringLiteral("6");
    QTest::newRow("negative zero") << -0.0f << QStringLiteral("0") << QStringLiteral("0");
    QTest::newRow("seven digits") << 1234567.0f << QStringLiteral("1234567")
                                  << QStringLiteral("1234567");
    QTest::newRow("eight digits take an exponent")
        << 12345678.0f << QStringLiteral("1.234568E+07") << QStringLiteral("1,234568E+07");
}

void TestNumbers::generalSingle() {
    QFETCH(float, value);
    QFETCH(QString, c);
    QFETCH(QString, dutch);
    QCOMPARE(formatGeneralSingle(value, QLocale::c()), c);
    QCOMPARE(formatGeneralSingle(value, ::dutch()), dutch);
}

void TestNumbers::generalReadsBack_data() {
    QTest::addColumn<double>("value");
    QTest::newRow("speaker power 1.47") << 6.0 / 2 * 70 * 70 / 10000;
    QTest::newRow("speaker power 0.375") << 0.375;
    QTest::newRow("rated power 12.5") << 12.5;
    QTest::newRow("huge") << 1.5e300;
    QTest::newRow("tiny") << 2.5e-9;
}

void TestNumbers::generalReadsBack() {
    // The program reads its own captions (the speaker power) back.
    QFETCH(double, value);
    QCOMPARE(ParseDecimal(formatGeneral(value, ::dutch())), value);
    QCOMPARE(ParseDecimal(formatGeneral(value, QLocale::c())), value);
}

QTEST_GUILESS_MAIN(TestNumbers)
#include "test_numbers.moc"
