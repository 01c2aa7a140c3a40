// Metres or feet: the length forms a user types, the forms shown, the metres a
// file keeps, and the setting's words and texts. Reference values are worked
// in exact decimals from 1 ft = 0.3048 m, halves away from zero
// (tests/reference/units_reference.py).
#include "core/base/string_table.h"
#include "core/base/units.h"
#include "core/system/system.h"

#include <QTest>

using namespace kvx;

Q_DECLARE_METATYPE(Units)
Q_DECLARE_METATYPE(LengthError)

namespace {

const QLocale kDutch(QLocale::Dutch, QLocale::Netherlands);
const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);
const QString kHalf = QStringLiteral("\u00bd");

} // namespace

class TestUnits : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readLength_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Units>("units");
        QTest::addColumn<double>("metres");
        QTest::addColumn<LengthError>("error");
        const auto row = [](const char* name, const QString& text, double metres,
                            LengthError error = LengthError::None, Units units = Units::Imperial) {
            QTest::newRow(name) << text << units << metres << error;
        };
        const auto refused = LengthError::NotALength;
        row("decimal feet, comma", "9,5", 2.8956);
        row("decimal feet with ft", "9.5 ft", 2.8956);
        row("feet and inches", "9' 6\"", 2.8956);
        row("words", "9 ft 6 in", 2.8956);
        row("words, no blanks, capitals", "9FT6IN", 2.8956);
        row("inch mark left out", "9'6", 2.8956);
        row("two apostrophes for inches", "9'6''", 2.8956);
        row("decimal inches, comma", "9' 6,5\"", 2.9083);
        row("inches alone", "114 in", 2.8956);
        row("sign leads the whole", " -9'6\" ", -2.8956);
        row("empty reads 0 as in metric", "", 0);
        row("letters", "abc", 0, refused);
        row("two separators", "9.5.1", 0, refused);
        row("two bare numbers", "9 6", 0, refused);
        row("a foot of inches after feet", "9' 12\"", 0, refused);
        row("decimal feet before inches", "9.5' 6\"", 0, refused);
        row("inches before feet", "6\" 9'", 0, refused);
        row("lone sign", "-", 0, refused);
        row("exponent", "1e3", 0, refused);
        row("beyond a double", "1" + QString(400, u'0'), 0, LengthError::TooLarge);
        row("metric as every field", "6 m", 6, LengthError::None, Units::Metric);
        row("metric beyond a double", "1e400", 0, LengthError::TooLarge, Units::Metric);
    }
    void readLength() {
        QFETCH(QString, text);
        QFETCH(Units, units);
        QFETCH(double, metres);
        QFETCH(LengthError, error);
        const LengthReading length = kvx::readLength(text, units);
        QCOMPARE(length.error, error);
        QCOMPARE_LE(std::abs(length.metres - metres), 1e-15); // a few units of the last place
    }

    void shownForms_data() {
        QTest::addColumn<double>("metres");
        QTest::addColumn<int>("decimals"); // of decimal feet; 0: feet and inches
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("shown");
        const auto row = [](const char* name, double metres, int decimals, const QString& shown,
                            const QLocale& locale = kEnglish) {
            QTest::newRow(name) << metres << decimals << locale << shown;
        };
        row("spacing, one decimal", 3.6, 1, "11.8");
        row("spacing, Dutch comma", 3.6, 1, "11,8", kDutch);
        row("two decimals keep zeros", 2.8956, 2, "9.50");
        row("half a hundredth rounds away", 0.001524, 2, "0.01");
        row("carry into the feet", 0.3047, 2, "1.00");
        row("negative", -0.3048, 2, "-1.00");
        row("no sign on zeros", -0.001, 2, "0.00");
        row("whole inches", 2.8956, 0, "9' 6\"");
        row("half inch", 2.9083, 0, "9' 6" + kHalf + "\"");
        row("11.99 in carries into 1 ft", 0.304546, 0, "1' 0\"");
        row("11.75 in, a tie, rounds up", 0.29845, 0, "1' 0\"");
        row("12 ft 11.8 in carries", 3.95732, 0, "13' 0\"");
        row("half inch alone", 0.00635, 0, "0' " + kHalf + "\"");
    }
    void shownForms() {
        QFETCH(double, metres);
        QFETCH(int, decimals);
        QFETCH(QLocale, locale);
        QTEST(decimals ? formatFeet(metres, locale, decimals) : formatFeetInches(metres), "shown");
    }

    // Typed, kept in the file, shown on opening: the same feet to 0.01 ft.
    void roundTrip_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<Units>("units");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        const auto row = [](const char* name, const QString& typed, const QString& stored,
                            const QString& shown, Units units = Units::Imperial) {
            QTest::newRow(name) << typed << units << stored << shown;
        };
        row("a hundredth of a foot", "0.01", "0.003", "0.01");
        row("feet and inches", "9'6\"", "2.8956", "9.5");
        row("half inch", "9' 6.5\"", "2.9083", "9.54");
        row("inches round into the next foot", "11' 11.99\"", "3.6573", "12");
        row("1000 ft", "1000", "304.8", "1000");
        row("large", "99999999.99", "30479999.997", "99999999.99");
        row("fifteen digits", "123456789012.34", "37629629290.9612", "123456789012.34");
        row("empty stays empty", "", "", "");
        row("metric keeps the text", "6 m", "6 m", "6 m", Units::Metric);
    }
    void roundTrip() {
        QFETCH(QString, typed);
        QFETCH(Units, units);
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QCOMPARE(storedLengthText(typed, units), stored);
        QCOMPARE(shownLengthText(stored, units, kDutch), QString(shown).replace('.', ','));
        // A metric user opens the same metres.
        QCOMPARE(shownLengthText(stored, Units::Metric, kDutch), stored);
    }

    void settingWords() {
        for (const auto& [text, units] :
             QList<std::pair<QString, std::optional<Units>>>{{"Imperial", Units::Imperial},
                                                             {" METRIC ", Units::Metric},
                                                             {"Imperia", std::nullopt},
                                                             {"", std::nullopt}})
            QVERIFY2(readUnits(text) == units, qPrintable(text));
        QCOMPARE(readUnits(unitsOptionText(Units::Imperial)), Units::Imperial);
        QCOMPARE(readUnits(unitsIniText(Units::Metric)), Units::Metric);
        QCOMPARE(findCrossSection(defaultCrossSection(Units::Metric))->name,
                 SystemSettings{}.crossSection);
        QCOMPARE(findCrossSection(defaultCrossSection(Units::Imperial))->name, "14AWG");
    }

    // Texts that name metres after a shown length name feet; a metre that is
    // part of a definition, an area or another unit stays; metric changes nothing.
    void lengthSymbol_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("feet");
        const auto row = [](const char* name, const char* text, const char* feet) {
            QTest::newRow(name) << QString::fromUtf8(text) << QString::fromUtf8(feet);
        };
        row("placeholders", "Room %1 m × %2 m, %3 loudspeakers",
            "Room %1 ft × %2 ft, %3 loudspeakers");
        row("at the end, two digits", "offset %10 m", "offset %10 ft");
        row("a column head", "x (m)", "x (ft)");
        row("the bare symbol", "m", "ft");
        row("a definition at 1 m", "dB at 1 W, 1 m", "dB at 1 W, 1 m");
        row("an area, a time, millimetres", "%1 m², %2 ms, %3 mm", "%1 m², %2 ms, %3 mm");
    }
    void lengthSymbol() {
        QFETCH(QString, text);
        QTEST(withLengthSymbol(text, Units::Imperial), "feet");
        QCOMPARE(withLengthSymbol(text, Units::Metric), text);
    }

    // What the imperial forms need gets through the filter, only in imperial.
    void lengthCharacters() {
        for (const QChar c : QStringLiteral("'\" ftinFTIN"))
            QVERIFY(acceptsLengthCharacter(c, Units::Imperial) &&
                    !acceptsLengthCharacter(c, Units::Metric));
        for (const QChar c : QStringLiteral("em;\t\u00bd"))
            QVERIFY(!acceptsLengthCharacter(c, Units::Imperial));
    }

    // The Units entry's key is free in the File menu and its choices differ,
    // in every language.
    void menuAccessKeys() {
        const auto key = [](int id) {
            const QString caption = StringTable::builtIn().text(id).remove("&&");
            return caption.mid(caption.indexOf('&') + 1, 1).toLower();
        };
        for (int offset = 0; offset <= 4000; offset += 1000) {
            QStringList file;
            for (int id : {1062, 1063, 1133, 1064, 1065, 1066, 1067, 1130, 1068, 1250, 1134, 1069})
                file << key(id + offset);
            QVERIFY2(!file.contains(key(UnitsText::UnitsMenu + offset)), qPrintable(file.join("")));
            QVERIFY(key(UnitsText::MetricEntry + offset) != key(UnitsText::ImperialEntry + offset));
        }
    }
};

QTEST_GUILESS_MAIN(TestUnits)
#include "test_units.moc"
