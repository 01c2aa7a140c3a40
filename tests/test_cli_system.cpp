// kvx-cli system as a process: the figures in plain and JSON form against the
// worked case (18 loudspeakers of 6 W on 100 V), null objects for settings not
// given, the settings kept by --save and read back, and bad settings named
// with their exit status.
#include "core/catalogue/lsp_record.h"
#include "support/cli.h"
#include "support/compare.h"

#include <QDir>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QTest>

using namespace kvx;

namespace {

using Result = test::CliResult;

// The 20 x 10 m room of 90/60 degrees, 90 dB, 6 W: 18 loudspeakers, h = 2.5 m.
const QStringList kRoom = {"--type",        "user", "--angle1",      "90", "--angle4", "60",
                           "--sensitivity", "90",   "--rated-power", "6",  "--length", "20",
                           "--width",       "10",   "--height",      "4",  "--ear",    "1.5",
                           "--locale",      "C"};

} // namespace

class TestCliSystem : public QObject {
    Q_OBJECT

private:
    Result run(const QStringList& arguments) {
        return test::runCli(m_work.path(),
                            QStringList{"system", "--data-dir", m_data.path()} + arguments);
    }
    QString path(const QString& name) const { return m_work.filePath(name); }

    QTemporaryDir m_data;
    QTemporaryDir m_work;

private Q_SLOTS:
    void initTestCase() { QVERIFY(test::writeDataFolder(m_data.path(), "English")); }

    // One figure per line; the lines of settings not given are left out.
    void plain_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QStringList>("lines"); // that must be there
        QTest::addColumn<QStringList>("absent");
        QTest::newRow("no settings")
            << QStringList() << QStringList{"speakers: 18",      "speaker power: 6",
                                            "total load: 108",   "minimum amplifier: 129.6",
                                            "line voltage: 100", "impedance: 92.59",
                                            "current: 1.08"}
            << QStringList{"amplifier", "cable", "level", "advice"};
        QTest::newRow("amplifier and cable")
            << QStringList{"--amplifier", "120", "--cable-length", "50"}
            << QStringList{"amplifier load: 0.9", "amplifier state: tight",
                           "cross-section: 1.5",  "loop resistance: 1.19",
                           "drop: 0.111",         "lost: 1.354",
                           "longest run: 230.4",  "smallest cross-section: 0.75",
                           "cable state: green"}
            << QStringList{"level", "advice"};
        QTest::newRow("14AWG spread, on 70 V by the inputs")
            << QStringList{"--line",          "70",    "--cable-length", "50",
                           "--cross-section", "14AWG", "--spread"}
            << QStringList{"speaker power: 2.94", "cross-section: 14AWG", "load on the run: spread",
                           "loop resistance: 0.859"}
            << QStringList{"amplifier load"};
        QTest::newRow("ambient: level and advice")
            << QStringList{"--ambient", "55", "--above", "10"}
            << QStringList{"ambient: 55", "above: 10", "required: 65", "level: met"}
            << QStringList{"cable"};
    }
    void plain() {
        QFETCH(QStringList, options);
        const Result r = run(kRoom + options);
        QCOMPARE(r.err, QString());
        QCOMPARE(r.status, 0);
        const QStringList shown = r.out.split(u'\n', Qt::SkipEmptyParts);
        QFETCH(QStringList, lines);
        for (const QString& line : std::as_const(lines))
            QVERIFY2(shown.contains(line), qPrintable(line + " in\n" + r.out));
        QFETCH(QStringList, absent);
        for (const QString& start : absent) {
            for (const QString& line : shown)
                QVERIFY2(!line.startsWith(start), qPrintable(line));
        }
    }

    // Every key, unrounded, and null where a setting is not given.
    void json() {
        Result r = run(kRoom + QStringList{"--json"});
        QCOMPARE(r.status, 0);
        QJsonObject j = r.json();
        QCOMPARE(j.value("load").toObject().value("total").toDouble(), 108.0);
        QCOMPARE(j.value("line").toObject().value("impedance").toDouble(), 10000.0 / 108);
        QCOMPARE(j.value("amplifier").toObject().value("minimum").toDouble(), 1.2 * 108);
        for (const char* key : {"rating", "load", "state"})
            QVERIFY(j.value("amplifier").toObject().value(key).isNull());
        for (const char* key : {"cable", "level", "advice"})
            QVERIFY2(j.value(key).isNull(), key);
        QCOMPARE(j.value("messages").toArray().size(), 0);

        r = run(kRoom + QStringList{"--json", "--amplifier", "120", "--cable-length", "50",
                                    "--ambient", "55"});
        QCOMPARE(r.status, 0);
        j = r.json();
        QCOMPARE(j.value("amplifier").toObject().value("load").toDouble(), 108.0 / 120);
        QCOMPARE(j.value("amplifier").toObject().value("state").toString(), "tight");
        const QJsonObject cable = j.value("cable").toObject();
        QCOMPARE(cable.value("loopResistance").toDouble(), 100.0 / 84);
        QCOMPARE(cable.value("crossSection").toDouble(), 1.5);
        QCOMPARE(cable.value("smallestCrossSection").toDouble(), 0.75);
        QCOMPARE(cable.value("state").toString(), "green");
        QCOMPARE(cable.value("spread").toBool(), false);
        const QJsonObject level = j.value("level").toObject();
        QCOMPARE(level.value("required").toDouble(), 70.0);
        QCOMPARE(level.value("met").toBool(), true);
        QCOMPARE(level.value("shortBy").toDouble(), 0.0);
        // The quietest point is below one loudspeaker overhead (89.82 dB) less the drop.
        const double quietest = level.value("quietest").toDouble();
        QVERIFY2(quietest < 89.8227 - cable.value("drop").toDouble() && quietest > 80,
                 qPrintable(QString::number(quietest)));
        const QJsonObject advice = j.value("advice").toObject();
        QVERIFY(advice.value("speakerTap").isString() && advice.value("amplifierTap").isString());
        QVERIFY(advice.value("quietest").toDouble() >= 70);

        // Nothing is enough: null taps, short by more than zero.
        j = run(kRoom + QStringList{"--json", "--ambient", "100"}).json();
        const QJsonObject none = j.value("advice").toObject();
        QVERIFY(none.value("speakerTap").isNull() && none.value("amplifierTap").isNull());
        KVX_COMPARE_NEAR(none.value("shortBy").toDouble(),
                         115 - j.value("level").toObject().value("quietest").toDouble(), 1e-9);
        QCOMPARE(j.value("level").toObject().value("met").toBool(), false);
    }

    // --save keeps the settings; the saved project gives them back.
    void savedAndReadBack() {
        const QString saved = path(QStringLiteral("hall.kvx"));
        Result r = run(kRoom + QStringList{"--ambient", "55", "--cable-length", "80",
                                           "--cross-section", "2,5", "--save", saved});
        QCOMPARE(r.status, 0);
        QFile file(saved);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY2(
            bytes.endsWith("[System]\r\n\"55\",\"15\",\"\",\"80\",\"2.5\",\"end\",\"0.5\"\r\n"),
            bytes.constData());
        r = run({saved, "--json", "--locale", "C"});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.json().value("cable").toObject().value("length").toDouble(), 80.0);
        QCOMPARE(r.json().value("cable").toObject().value("crossSection").toDouble(), 2.5);
        QCOMPARE(r.json().value("level").toObject().value("ambient").toDouble(), 55.0);
        // A project saved without settings has no section.
        const QString plainProject = path(QStringLiteral("plain.kvx"));
        QCOMPARE(run(kRoom + QStringList{"--save", plainProject}).status, 0);
        QFile second(plainProject);
        QVERIFY(second.open(QIODevice::ReadOnly));
        QVERIFY(!second.readAll().contains("[System]"));
    }

    // A setting that cannot be used is named, its figures left out, exit 1;
    // an option that is no number is a wrong command line, exit 2.
    void badSettings_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("stillThere"); // a line of the figures that stays
        QTest::newRow("amplifier 0")
            << QStringList{"--amplifier", "0"} << 1
            << "System settings: Amplifier rating: \"0\" must be above zero; the amplifier load "
               "left out.\n"
            << "total load: 108";
        QTest::newRow("cable length -10")
            << QStringList{"--cable-length", "-10", "--ambient", "50"} << 1
            << "System settings: Cable length: \"-10\" must be above zero; the cable figures, the "
               "level check and the advice left out.\n"
            << "minimum amplifier: 129.6";
        QTest::newRow("cross-section 13AWG")
            << QStringList{"--cable-length", "10", "--cross-section", "13AWG"} << 1
            << "System settings: Cross-section: \"13AWG\" is not one of 0.75, 1, 1.5, 2.5, 4, 6 "
               "(mm²) or 18, 16, 14, 12, 10 AWG; the cable figures, the level check and the "
               "advice left out.\n"
            << "impedance: 92.59";
        QTest::newRow("ambient 150")
            << QStringList{"--ambient", "150", "--amplifier", "200"} << 1
            << "System settings: Ambient noise: \"150\" must be from 0 to 140 dB(A); the level "
               "check and the advice left out.\n"
            << "amplifier state: fine";
        QTest::newRow("ambient not a number")
            << QStringList{"--ambient", "loud"} << 2
            << "kvx-cli: --ambient: \"loud\" is not a number\nTry 'kvx-cli --help'.\n"
            << "";
        QTest::newRow("amplifier with a unit")
            << QStringList{"--amplifier", "120W"} << 2
            << "kvx-cli: --amplifier: \"120W\" is not a number\nTry 'kvx-cli --help'.\n"
            << "";
    }
    void badSettings() {
        QFETCH(QStringList, options);
        QFETCH(int, status);
        QFETCH(QString, error);
        QFETCH(QString, stillThere);
        const Result r = run(kRoom + options);
        QCOMPARE(r.err, error);
        QCOMPARE(r.status, status);
        if (!stillThere.isEmpty())
            QVERIFY2(r.out.split(u'\n').contains(stillThere), qPrintable(r.out));
        else
            QCOMPARE(r.out, QString());
    }
};

QTEST_GUILESS_MAIN(TestCliSystem)
#include "test_cli_system.moc"
