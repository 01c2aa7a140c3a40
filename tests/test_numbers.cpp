// Reading numbers from field texts and writing them in the program's forms.
#include "core/base/kvx_error.h"
#include "core/base/numbers.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace kvx;

const QLocale kDutch(QLocale::Dutch, QLocale::Netherlands);

class TestNumbers : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void read_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("val");   // Val; tooLarge: overflow, read as 0
        QTest::addColumn<double>("parse"); // ParseDecimal; tooLarge: refused
        const double tooLarge = qQNaN();
        const double largest = std::numeric_limits<double>::max();
        const auto row = [](const char* name, const QString& text, double val, double parse) {
            QTest::newRow(name) << text << val << parse;
        };
        row("only spaces", "   ", 0, 0);
        row("plus sign and comma", "+0,75", 0, 0.75);
        row("thousands dot then decimal comma", "1.234,5", 1.234, 1.234);
        row("second comma ends the number", "1,5,3", 1, 1.5);
        row("inner blank is skipped", "12 345", 12345, 12345);
        row("exponent", "2E3", 2000, 2000);
        row("tab and line feed are skipped, not trimmed", "\t4\n,5", 4, 4.5);
        row("non-breaking space is no blank", QStringLiteral("\u00a05"), 0, 0);
        row("carriage return ends the number", "1\r2", 1, 1);
        row("lower-case d exponent with sign", "25d-1", 2.5, 2.5);
        row("exponent sign without digits", "7E+", 7, 7);
        row("hexadecimal is never negative", "&HFFFF", 65535, 65535);
        row("octal stops at 8", "&o18", 1, 1);
        row("underflow reads as zero", "1e-400", 0, 0);
        row("largest double", "1.7976931348623157e308", largest, largest);
        row("small mantissa, large exponent", "0.000001e310", 1e304, 1e304);
        row("comma before an exponent of 400", " 1,5E400 ", 1, tooLarge);
        row("just above the largest double", "1.8e308", tooLarge, tooLarge);
        row("huge exponent", "1e99999999999999999999", tooLarge, tooLarge);
        row("four hundred digits", QString(400, u'9'), tooLarge, tooLarge);
        row("long hexadecimal", "&H" + QString(300, u'F'), tooLarge, tooLarge);
    }
    void read() {
        QFETCH(QString, text);
        QFETCH(double, val);
        QFETCH(double, parse);
        QCOMPARE(ValChecked(text).has_value(), !std::isnan(val));
        QCOMPARE(Val(text), std::isnan(val) ? 0.0 : val);
        if (std::isnan(parse))
            QVERIFY_THROWS_EXCEPTION(KvxError, ParseDecimal(text));
        else
            QCOMPARE(ParseDecimal(text), parse);
    }
    void forms_data() {
        QTest::addColumn<double>("value");
        // Masks "0.0" and "0", general form, general form in single precision; in
        // C, and with a comma for the dot in a Dutch locale.
        QTest::addColumn<QString>("forms");

        // A half rounds away from zero, judged on the value's first 15 digits:
        // 0.15 (stored a little below) reads 0.2 as the user would expect.
        QTest::newRow("0.15 stored below its half") << 0.15 << "0.2 0 0.15 0.15";
        QTest::newRow("negative half") << -2.25 << "-2.3 -2 -2.25 -2.25";
        QTest::newRow("whole half 2.5") << 2.5 << "2.5 3 2.5 2.5";
        QTest::newRow("small negative shows no sign") << -0.04 << "0.0 0 -0.04 -0.04";
        QTest::newRow("negative zero") << -0.0 << "0.0 0 0 0";
        QTest::newRow("carry into a new digit") << 9.96 << "10.0 10 9.96 9.96";
        QTest::newRow("15 digits rounded") << 2.0 / 3 << "0.7 1 0.666666666666667 0.6666667";
        QTest::newRow("single 90.1 is not 90.0999985") << 90.1 << "90.1 90 90.1 90.1";
        QTest::newRow("no group separators")
            << 1234567.89 << "1234567.9 1234568 1234567.89 1234568";
        QTest::newRow("eight digits take an exponent in single")
            << 12345678.0 << "12345678.0 12345678 12345678 1.234568E+07";
        QTest::newRow("16 digits take an exponent")
            << 1e15 << "1000000000000000.0 1000000000000000 1E+15 1E+15";
        QTest::newRow("tiny") << 1.5e-7 << "0.0 0 1.5E-07 1.5E-07";
    }
    void forms() {
        QFETCH(double, value);
        QFETCH(QString, forms);
        for (const QLocale& locale : {QLocale::c(), kDutch}) {
            const QStringList shown{formatOneDecimal(value, locale), formatWhole(value, locale),
                                    formatGeneral(value, locale),
                                    formatGeneralSingle(float(value), locale)};
            QCOMPARE(shown.join(u' '), locale == QLocale::c() ? forms : forms.replace(u'.', u','));
            // The program reads its own captions (the speaker power) back.
            QCOMPARE(ParseDecimal(shown[2]), value);
        }
    }
    void largestReadBack_data() {
        QTest::addColumn<QString>("typed");
        // 15 digits rounded would give 1.79769313486232E+308, beyond every double.
        QTest::newRow("largest") << "1.7976931348623157E+308";
        QTest::newRow("just below the largest") << "1.797693134862315555555555555555555E+308";
        QTest::newRow("negative") << "-1,7976931348623157E+308";
        QTest::newRow("rounds down anyway") << "1.79769313486231E+308";
    }
    void largestReadBack() {
        QFETCH(QString, typed);
        const double value = ParseDecimal(typed);
        for (const QLocale& locale : {QLocale::c(), kDutch}) {
            const QString general = formatGeneral(value, locale);
            QCOMPARE(QString(general).remove(u'-'),
                     QString("1.79769313486231E+308").replace(u'.', locale.decimalPoint()));
            for (const QString& shown :
                 {general, formatOneDecimal(value, locale), formatWhole(value, locale)}) {
                const double back = ParseDecimal(shown);
                QVERIFY2(std::fabs(back - value) <= 1e-14 * std::fabs(value), qPrintable(shown));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestNumbers)
#include "test_numbers.moc"
