// kvx-cli system and speech as processes: the figures in plain and JSON form,
// null objects for settings not given, the settings kept by --save and read
// back, and settings that cannot be used named with their exit status.
//
// The golden outputs are checked by tests/data/check_goldens.py: the system
// figures against the formulas of the system sizing on the worked case (18
// loudspeakers of 6 W on 100 V), the speech figures against an independent
// evaluation (tests/reference/speech_reference.py) from the plan and speech
// models; every figure and every point of speech-margin.json agreed within
// 1e-15, and speech-example.txt gives the contract's example (mean 0.559,
// lowest 0.548, highest 0.572).
#include "support/cli.h"
#include "support/cli_table.h"

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
const QString kData = QStringLiteral(KVX_SOURCE_DIR "/tests/data/cli/");

} // namespace

class TestCliSystem : public QObject {
    Q_OBJECT

private:
    // The command is the first argument.
    Result run(QStringList arguments) {
        const QString command = arguments.takeFirst();
        return test::runCli(m_work.path(),
                            QStringList{command, "--data-dir", m_data.path()} + arguments);
    }
    QString path(const QString& name) const { return m_work.filePath(name); }

    QTemporaryDir m_data;
    QTemporaryDir m_work;

private Q_SLOTS:
    void initTestCase() { QVERIFY(test::writeDataFolder(m_data.path(), "English")); }

    // The figures whole, plain and, where a golden is kept, as JSON (every key
    // unrounded, null where a setting is not given, the STI map row by row and
    // null outside the listener area); the lines of settings not given are
    // left out.
    void figures_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("golden"); // under tests/data/cli, named after the command
        QTest::newRow("no settings") << QStringList() << "system-none";
        QTest::newRow("amplifier and cable")
            << QStringList{"--amplifier", "120", "--cable-length", "50"} << "system-cable";
        QTest::newRow("14AWG spread, on 70 V by the inputs")
            << QStringList{"--line",          "70",    "--cable-length", "50",
                           "--cross-section", "14AWG", "--spread"}
            << "system-awg";
        QTest::newRow("ambient: level and advice")
            << QStringList{"--ambient", "55", "--above", "10"} << "system-ambient";
        QTest::newRow("amplifier, cable and ambient")
            << QStringList{"--amplifier", "120", "--cable-length", "50", "--ambient", "55"}
            << "system-all";
        QTest::newRow("nothing is enough: no taps, short by more than zero")
            << QStringList{"--ambient", "100"} << "system-short";
        QTest::newRow("speech: the contract's example, 1.2 s over 55 dB(A)")
            << QStringList{"--reverberation", "1.2", "--ambient", "55"} << "speech-example";
        QTest::newRow("speech: margin 1 m, 4 samples, target 0.565: short")
            << QStringList{"--reverberation", "1,2", "--ambient", "55",   "--margin", "1",
                           "--samples",       "4",   "--target",  "0.565"}
            << "speech-margin";
    }
    void figures() {
        QFETCH(QStringList, options);
        QFETCH(QString, golden);
        const QStringList arguments = QStringList{golden.section(u'-', 0, 0)} + kRoom + options;
        const Result r = run(arguments);
        QCOMPARE(r.err, QString());
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QString::fromUtf8(test::readBytes(kData + golden + ".txt")));
        const QByteArray json = test::readBytes(kData + golden + ".json");
        if (!json.isEmpty())
            QCOMPARE(run(arguments + QStringList{"--json"}).json(),
                     QJsonDocument::fromJson(json).object());
    }

    // --save keeps the settings; the saved project gives them back. A project
    // saved without settings has no section.
    void systemSavedAndReadBack() {
        const QString saved = path(QStringLiteral("hall.kvx"));
        Result r = run(QStringList{"system"} + kRoom +
                       QStringList{"--ambient", "55", "--cable-length", "80", "--cross-section",
                                   "2,5", "--save", saved});
        QCOMPARE(r.status, 0);
        const QByteArray bytes = test::readBytes(saved);
        QVERIFY2(
            bytes.endsWith("[System]\r\n\"55\",\"15\",\"\",\"80\",\"2.5\",\"end\",\"0.5\"\r\n"),
            bytes.constData());
        r = run({"system", saved, "--json", "--locale", "C"});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.json("cable").value("length").toDouble(), 80.0);
        QCOMPARE(r.json("cable").value("crossSection").toDouble(), 2.5);
        QCOMPARE(r.json("level").value("ambient").toDouble(), 55.0);
        const QString plainProject = path(QStringLiteral("plain.kvx"));
        QCOMPARE(run(QStringList{"system"} + kRoom + QStringList{"--save", plainProject}).status,
                 0);
        QVERIFY(!test::readBytes(plainProject).contains("[System]"));
    }

    // --save keeps the speech settings after [System]; the saved project needs
    // no --reverberation, and another command keeps the section.
    void speechSavedAndReadBack() {
        const QString saved = path(QStringLiteral("speech.kvx"));
        Result r = run(QStringList{"speech"} + kRoom +
                       QStringList{"--reverberation", "1.6", "--ambient", "50", "--target", "0.45",
                                   "--save", saved});
        QCOMPARE(r.status, 0);
        const QString figures = r.out;
        QVERIFY(figures.endsWith("target: 0.45\nspeech: met\n"));
        const QByteArray bytes = test::readBytes(saved);
        QVERIFY2(bytes.endsWith("[System]\r\n\"50\",\"15\",\"\",\"\",\"1.5\",\"end\",\"0.5\"\r\n"
                                "[Speech]\r\n\"1.6\",\"0.45\"\r\n"),
                 bytes.constData());
        r = run({"speech", saved, "--locale", "C"});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, figures);
        QCOMPARE(run({"system", saved, "--save", path("again.kvx")}).status, 0);
        QCOMPARE(test::readBytes(path("again.kvx")), bytes);
    }

    // The margin is the project's: the level check of the window's System page,
    // of kvx-cli system and plan and of the project reopened agree.
    void marginKeptAndUsed() {
        const QString saved = path(QStringLiteral("margin.kvx"));
        const auto quietest = [](const Result& r) {
            return r.json("level").value("quietest").toDouble();
        };
        const QStringList system = QStringList{"system"} + kRoom + QStringList{"--ambient", "60"};
        const Result whole = run(system + QStringList{"--json"});
        const Result given = run(system + QStringList{"--margin", "1", "--save", saved, "--json"});
        QCOMPARE(given.status, 0);
        QVERIFY(quietest(given) > quietest(whole) + 0.1);
        QVERIFY(test::readBytes(saved).endsWith("[Plan]\r\n\"1\"\r\n"));
        QCOMPARE(quietest(run({"system", saved, "--json", "--locale", "C"})), quietest(given));
        const Result plan = run({"plan", saved, "--json", "--locale", "C"});
        QCOMPARE(plan.json("coverage").value("margin").toDouble(), 1.0);
    }

    // A setting that cannot be used is named, its figures left out, exit 1;
    // an option that is no number, or no reverberation time at all, is a
    // wrong command line, exit 2.
    void badSettings_data() {
        test::addRowsFrom(QStringLiteral("bad-settings.tsv"),
                          {"options", "status", "error", "stillThere"});
    }
    void badSettings() {
        QFETCH(QString, options);
        QFETCH(QString, stillThere);
        QStringList arguments = options.split(u' ');
        const Result r = run(arguments.mid(0, 1) + kRoom + arguments.mid(1));
        QTEST(r.err, "error");
        QTEST(QString::number(r.status), "status");
        if (!stillThere.isEmpty())
            QVERIFY2(r.out.split(u'\n').contains(stillThere), qPrintable(r.out));
        else
            QCOMPARE(r.out, QString());
    }
};

QTEST_GUILESS_MAIN(TestCliSystem)
#include "test_cli_system.moc"
