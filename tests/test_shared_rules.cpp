// The small rules several subsystems lean on: lists of observers, texts in the
// chosen language, and a whole text read as a number.
#include "core/base/kvx_error.h"
#include "core/base/numbers.h"
#include "core/base/observers.h"
#include "core/base/string_table.h"

#include <QTest>

#include <functional>
#include <optional>

using namespace kvx;

Q_DECLARE_METATYPE(std::optional<double>)

class TestSharedRules : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void observersComeAndGo() {
        Observers observers;
        QStringList told;
        int second = -1;
        int late = -1;
        // The first removes itself and the second, and adds one: the second is
        // not told, the new one only from the next change on.
        int first = -1;
        first = observers.add([&] {
            told << QStringLiteral("first");
            observers.remove(first);
            observers.remove(second);
            if (late < 0)
                late = observers.add([&] { told << QStringLiteral("late"); });
        });
        second = observers.add([&] { told << QStringLiteral("second"); });
        observers.add([&] { told << QStringLiteral("third"); });

        observers.notify();
        QCOMPARE(told, QStringList({QStringLiteral("first"), QStringLiteral("third")}));
        told.clear();
        observers.notify();
        QCOMPARE(told, QStringList({QStringLiteral("third"), QStringLiteral("late")}));
        told.clear();
        observers.remove(late);
        observers.notify();
        QCOMPARE(told, QStringList({QStringLiteral("third")}));
    }
    void localTexts_data() {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("expected");
        QTest::newRow("English") << LanguageOffsets::English << 1000 << QStringLiteral("Room");
        QTest::newRow("Dutch") << LanguageOffsets::Dutch << 1000 << QStringLiteral("Ruimte");
        QTest::newRow("missing in Dutch falls back to English")
            << LanguageOffsets::Dutch << 1001 << QStringLiteral("Ceiling");
        QTest::newRow("language without texts reads English")
            << LanguageOffsets::Spanish << 1000 << QStringLiteral("Room");
    }
    void localTexts() {
        QFETCH(int, offset);
        QFETCH(int, id);
        const StringTable table = StringTable::fromTsv(
            QStringLiteral("id\tEnglish\tDutch\n1000\tRoom\tRuimte\n1001\tCeiling\n"));
        const LocalTexts texts{table, offset, QLocale::c()};
        QTEST(texts.text(id), "expected");
    }
    void readNumber_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<double>>("expected");
        const std::optional<double> none;
        QTest::newRow("dot") << QStringLiteral("1.5") << std::optional(1.5);
        QTest::newRow("comma") << QStringLiteral("1,5") << std::optional(1.5);
        QTest::newRow("blanks around") << QStringLiteral(" \t-2.25 ") << std::optional(-2.25);
        QTest::newRow("exponent") << QStringLiteral("2e3") << std::optional(2000.0);
        QTest::newRow("empty") << QString() << none;
        QTest::newRow("lone sign") << QStringLiteral("-") << none;
        QTest::newRow("lone separator") << QStringLiteral(",") << none;
        QTest::newRow("trailing text") << QStringLiteral("12 m") << none;
        QTest::newRow("group separator") << QStringLiteral("1,000.5") << none;
        QTest::newRow("too large") << QStringLiteral("1e999") << none;
        QTest::newRow("not a number") << QStringLiteral("nan") << none;
        QTest::newRow("infinity") << QStringLiteral("inf") << none;
    }
    void readNumber() {
        QFETCH(QString, text);
        QTEST(kvx::readNumber(text), "expected");
    }
    // A field's number too large to hold is named without the blanks around it.
    void tooLargeNamedTrimmed() {
        QCOMPARE(ParseDecimal(QStringLiteral(" 1,5 ")), 1.5);
        try {
            ParseDecimal(QStringLiteral("  1e999 "));
            QFAIL("no error");
        } catch (const KvxError& error) {
            QCOMPARE(error.message(), QStringLiteral("Number too large: 1e999"));
        }
    }
};

QTEST_GUILESS_MAIN(TestSharedRules)
#include "test_shared_rules.moc"
