// kvx-cli --units: lengths read and shown in feet give the calculation of the
// same room in metres, --json stays in metres and says which units were used,
// and a length that is none of the forms is refused by name.
#include "core/base/units.h"
#include "support/cli.h"

#include <QJsonArray>
#include <QTemporaryDir>
#include <QTest>

using namespace kvx;

namespace {

using Result = test::CliResult;

const QStringList kRoomFields = {"txtRoomLength", "txtRoomWidth", "txtRoomHeight", "txtEarHeight"};

} // namespace

class TestCliUnits : public QObject {
    Q_OBJECT

private:
    Result run(const QStringList& arguments) {
        return test::runCli(m_work.path(),
                            arguments + QStringList{"--data-dir", m_data.path(), "--locale", "C"});
    }

    QTemporaryDir m_data;
    QTemporaryDir m_work;

private Q_SLOTS:
    void initTestCase() { QVERIFY(test::writeDataFolder(m_data.path(), "English")); }

    // The same room typed in feet and in metres: the same unrounded results,
    // the room fields in metres in the JSON, the spacing in feet in the plain
    // output and the plan's lengths in feet.
    void sameRoom_data() {
        QTest::addColumn<QStringList>("feet");
        QTest::addColumn<QStringList>("metres");
        QTest::addColumn<QStringList>("fields"); // the JSON's room fields
        QTest::newRow("the default room")
            << QStringList() << QStringList() << QStringList{"50", "50", "4", "1.5"};
        QTest::newRow("feet, feet and inches")
            << QStringList{"--length", "30", "--width", "20", "--height", "9'6\"", "--ear", "4"}
            << QStringList{"--length", "9.144",  "--width", "6.096",
                           "--height", "2.8956", "--ear",   "1.2192"}
            << QStringList{"9.144", "6.096", "2.8956", "1.2192"};
        QTest::newRow("inches, words, a comma")
            << QStringList{"--length", "360\"",     "--width", "20 ft",
                           "--height", "9 ft 6 in", "--ear",   "3,5"}
            << QStringList{"--length", "9.144",  "--width", "6.096",
                           "--height", "2.8956", "--ear",   "1.0668"}
            << QStringList{"9.144", "6.096", "2.8956", "1.0668"};
    }
    void sameRoom() {
        QFETCH(QStringList, feet);
        QFETCH(QStringList, metres);
        QFETCH(QStringList, fields);
        const Result metric = run(QStringList{"calc", "--json"} + metres);
        const Result imperial = run(QStringList{"calc", "--json", "--units", "imperial"} + feet);
        QCOMPARE(metric.status, 0);
        QCOMPARE(imperial.status, 0);
        QVERIFY(!metric.json().contains("units")); // as it always was
        QCOMPARE(imperial.json().value("units").toString(), "imperial");
        QCOMPARE(imperial.json("values"), metric.json("values"));
        QStringList shown;
        for (const QString& field : kRoomFields)
            shown << imperial.json("fields").value(field).toString();
        QCOMPARE(shown, fields);
        QCOMPARE(imperial.json("fields").value("lblDistance"),
                 metric.json("fields").value("lblDistance"));

        const double spacing = metric.json("values").value("distance").toDouble();
        const Result plain = run(QStringList{"calc", "--units", "imperial"} + feet);
        QVERIFY2(plain.out.startsWith("distance: " + formatFeet(spacing, QLocale::c(), 1) + "\n"),
                 qPrintable(plain.out));
        const Result plan = run(QStringList{"plan", "--units", "imperial"} + feet);
        const Result planMetric = run(QStringList{"plan"} + metres);
        QCOMPARE(plan.status, 0);
        const auto line = [](const QString& out, const char* name) {
            for (const QString& l : out.split('\n'))
                if (l.startsWith(QLatin1String(name) + QStringLiteral(": ")))
                    return l.section(": ", 1);
            return QString();
        };
        const double wallMetres = line(planMetric.out, "wall x").toDouble();
        QCOMPARE(line(plan.out, "columns"), line(planMetric.out, "columns"));
        QVERIFY(std::abs(line(plan.out, "wall x").toDouble() - metresToFeet(wallMetres)) < 0.02);
        QCOMPARE(line(plan.out, "1k min"), line(planMetric.out, "1k min"));
    }

    // --units metric says so in the JSON; a word that is no units is a usage
    // error; a length that is none of the forms is an input error naming the
    // field, with no results, never a room of 0.
    void refusals_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("err"); // the start of standard error
        QTest::newRow("metric named")
            << QStringList{"calc", "--units", "metric", "--json"} << 0 << "";
        QTest::newRow("no such units") << QStringList{"calc", "--units", "yards"} << 2
                                       << "kvx-cli: --units: \"yards\" is not metric or imperial";
        QTest::newRow("twelve inches after feet")
            << QStringList{"calc", "--units", "imperial", "--width", "9'12\""} << 1
            << "Input Error: Room width: \"9'12\"\" is not a length in feet";
        QTest::newRow("a letter of no mark")
            << QStringList{"calc", "--units", "imperial", "--length", "9x"} << 1
            << "Kvx32: Invalid character.";
        QTest::newRow("metres refuse the marks")
            << QStringList{"calc", "--length", "9'6\""} << 1 << "Kvx32: Invalid Character.";
    }
    void refusals() {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, err);
        const Result r = run(arguments);
        QCOMPARE(r.status, status);
        QVERIFY2(err.isEmpty() ? r.err.isEmpty() : r.err.startsWith(err), qPrintable(r.err));
        if (arguments.contains("--json"))
            QCOMPARE(r.json().value("units").toString(), "metric");
    }
};

QTEST_GUILESS_MAIN(TestCliUnits)
#include "test_cli_units.moc"
