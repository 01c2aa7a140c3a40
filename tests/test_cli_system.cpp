// kvx-cli system as a process: the figures in plain and JSON form against the
// worked case (18 loudspeakers of 6 W on 100 V), null objects for settings not
// given, the settings kept by --save and read back, and bad settings named
// with their exit status.
#include "core/catalogue/lsp_record.h"
#include "support/cli.h"
#include "support/cli_table.h"

#include <QDir>
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

    // The figures whole, plain and as JSON (every key unrounded, null where a
    // setting is not given); the lines of settings not given are left out.
    void figures_data() {
        QTest::addColumn<QStringList>("options");
        // Every figure checked against tests/data/check_goldens.py.
        QTest::addColumn<QString>("golden"); // under tests/data/cli, .txt and .json
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
    }
    void figures() {
        QFETCH(QStringList, options);
        QFETCH(QString, golden);
        const QString data = QStringLiteral(KVX_SOURCE_DIR "/tests/data/cli/") + golden;
        const Result r = run(kRoom + options);
        QCOMPARE(r.err, QString());
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QString::fromUtf8(test::readBytes(data + ".txt")));
        QCOMPARE(run(kRoom + options << "--json").json(),
                 QJsonDocument::fromJson(test::readBytes(data + ".json")).object());
    }

    // --save keeps the settings; the saved project gives them back.
    void savedAndReadBack() {
        const QString saved = path(QStringLiteral("hall.kvx"));
        Result r = run(kRoom + QStringList{"--ambient", "55", "--cable-length", "80",
                                           "--cross-section", "2,5", "--save", saved});
        QCOMPARE(r.status, 0);
        const QByteArray bytes = test::readBytes(saved);
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
        QVERIFY(!test::readBytes(plainProject).contains("[System]"));
    }

    // The margin is the project's: the level check of the window's System page,
    // of kvx-cli system and plan and of the project reopened agree.
    void marginKeptAndUsed() {
        const QString saved = path(QStringLiteral("margin.kvx"));
        const auto quietest = [](const Result& r) {
            return r.json().value("level").toObject().value("quietest").toDouble();
        };
        const Result whole = run(kRoom + QStringList{"--ambient", "60", "--json"});
        const Result given =
            run(kRoom + QStringList{"--ambient", "60", "--margin", "1", "--save", saved, "--json"});
        QCOMPARE(given.status, 0);
        QVERIFY(quietest(given) > quietest(whole) + 0.1);
        QVERIFY(test::readBytes(saved).endsWith("[Plan]\r\n\"1\"\r\n"));
        const Result reopened = run({saved, "--json", "--locale", "C"});
        QCOMPARE(quietest(reopened), quietest(given));
        const Result plan = test::runCli(
            m_work.path(), {"plan", saved, "--data-dir", m_data.path(), "--json", "--locale", "C"});
        QCOMPARE(plan.json("coverage").value("margin").toDouble(), 1.0);
    }

    // A setting that cannot be used is named, its figures left out, exit 1;
    // an option that is no number is a wrong command line, exit 2.
    void badSettings_data() {
        test::addRowsFrom(QStringLiteral("system-bad-settings.tsv"),
                          {"options", "status", "error", "stillThere"});
    }
    void badSettings() {
        QFETCH(QString, options);
        QFETCH(QString, status);
        QFETCH(QString, error);
        QFETCH(QString, stillThere);
        const Result r = run(kRoom + options.split(u' '));
        QCOMPARE(r.err, error);
        QCOMPARE(r.status, status.toInt());
        if (!stillThere.isEmpty())
            QVERIFY2(r.out.split(u'\n').contains(stillThere), qPrintable(r.out));
        else
            QCOMPARE(r.out, QString());
    }
};

QTEST_GUILESS_MAIN(TestCliSystem)
#include "test_cli_system.moc"
