// kvx-cli --units: lengths read and shown in feet give the calculation of the
// same room in metres, --json stays in metres and says which units were used,
// and a length that is none of the forms is refused by name.
#include "core/base/units.h"
#include "support/cli.h"
#include "support/files.h"

#include <QTemporaryDir>
#include <QTest>

#include <cmath>

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

    // The length options take feet with --units imperial, in any form; in
    // metres a foot mark is no number.
    void lengthOptions() {
        const QStringList cable{"system", "--cable-length", "150'6\"", "--units", "imperial"};
        const Result json = run(cable + QStringList{"--json"});
        QCOMPARE(json.status, 0);
        QVERIFY(std::abs(json.json("cable").value("length").toDouble() - 45.8724) < 1e-12);
        QVERIFY(run(cable).out.contains("\ncable length: 150.5\n"));
        QCOMPARE(run({"system", "--cable-length", "150'6\""}).status, 2);
        const Result margin = run({"plan", "--margin", "1' 6\"", "--units", "imperial", "--json"});
        QVERIFY(std::abs(margin.json("coverage").value("margin").toDouble() - 0.4572) < 1e-12);
    }

    // A building shows in its file's units, or in those --units names; its
    // JSON stays in metres and the file written keeps its own units.
    void building() {
        const QString hand = QStringLiteral(KVX_SOURCE_DIR "/tests/data/cli/building-hand.kvxb");
        QByteArray file = test::readBytes(hand);
        QVERIFY(file.contains("\"units\": \"metric\""));
        file.replace("\"units\": \"metric\"", "\"units\": \"imperial\"");
        const QString feetFile = m_work.filePath("feet.kvxb");
        QVERIFY(test::writeBytes(feetFile, file));

        const Result metric = run({"building", hand, "--json"});
        const Result feet = run({"building", feetFile});
        QCOMPARE(feet.status, metric.status);
        QCOMPARE(run({"building", hand, "--units", "imperial"}).out, feet.out);
        const QJsonValue room = metric.json()["rooms"][0];
        QVERIFY2(feet.out.startsWith("room 1 \"Classroom\": spacing " +
                                     formatFeet(room["spacing"].toDouble(), QLocale::c(), 1) +
                                     " ft, 9 × 3"),
                 qPrintable(feet.out));
        const double toOrder = metric.json("bom")["cable"][0]["toOrder"].toDouble();
        QVERIFY(feet.out.contains(
            QLocale::c().toString(std::round(metresToFeet(toOrder) * 10) / 10, 'g', 15) +
            " ft to order"));
        QVERIFY(!feet.out.contains(" m,") && !feet.out.contains(" m to order"));

        QJsonObject json = run({"building", feetFile, "--json"}).json();
        QCOMPARE(json.take("units").toString(), "imperial");
        QCOMPARE(json, metric.json());
        const QString written = m_work.filePath("written.kvxb");
        QCOMPARE(run({"building", feetFile, "--units", "metric", "-o", written}).status,
                 metric.status);
        QVERIFY(test::readBytes(written).contains("\"units\": \"imperial\""));
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
        QTest::newRow("no such units")
            << QStringList{"calc", "--units", "yards"} << 2
            << "kvx-cli: --units: \"yards\" is not one of metric, imperial.";
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
