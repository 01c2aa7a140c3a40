// kvx-cli speech as a process: the estimate in plain and JSON form, the
// settings kept by --save and read back, and settings that cannot be used
// named with their exit status.
//
// The golden outputs are checked against an independent evaluation,
// tests/reference/speech_reference.py, from the plan and speech models: the layout and
// sample grid of the calculated spacing, the direct level of every loudspeaker
// by the calculation's directivity model, Sabine's absorption, the room
// constant, Q, Lw and Lr, and the STI from the complex modulation transfer.
// Every figure and every point of speech-margin.json agreed within 1e-15;
// speech-example.txt gives the contract's example (mean 0.559, lowest 0.548,
// highest 0.572).
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

class TestCliSpeech : public QObject {
    Q_OBJECT

private:
    Result run(const QStringList& arguments) {
        return test::runCli(m_work.path(),
                            QStringList{"speech", "--data-dir", m_data.path()} + arguments);
    }

    QTemporaryDir m_data;
    QTemporaryDir m_work;

private Q_SLOTS:
    void initTestCase() { QVERIFY(test::writeDataFolder(m_data.path(), "English")); }

    // The figures whole, plain and, where a golden is kept, as JSON (every
    // number unrounded, the map row by row, null outside the listener area).
    void figures_data() {
        QTest::addColumn<QStringList>("options");
        // The .txt figures checked against tests/data/check_goldens.py.
        QTest::addColumn<QString>("golden"); // .txt and, when there is one, .json
        QTest::newRow("the contract's example: 1.2 s over 55 dB(A)")
            << QStringList{"--reverberation", "1.2", "--ambient", "55"} << "speech-example";
        QTest::newRow("margin 1 m, 4 samples, target 0.565: short")
            << QStringList{"--reverberation", "1,2", "--ambient", "55",   "--margin", "1",
                           "--samples",       "4",   "--target",  "0.565"}
            << "speech-margin";
    }
    void figures() {
        QFETCH(QStringList, options);
        QFETCH(QString, golden);
        const Result r = run(kRoom + options);
        QCOMPARE(r.err, QString());
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QString::fromUtf8(test::readBytes(kData + golden + ".txt")));
        const QByteArray json = test::readBytes(kData + golden + ".json");
        if (!json.isEmpty())
            QCOMPARE(run(kRoom + options << "--json").json(),
                     QJsonDocument::fromJson(json).object());
    }

    // --save keeps the settings after [System]; the saved project needs no
    // --reverberation, and another command keeps the section.
    void savedAndReadBack() {
        const QString saved = m_work.filePath(QStringLiteral("hall.kvx"));
        const QStringList settings = {"--reverberation", "1.6", "--ambient", "50",
                                      "--target",        "0.45"};
        Result r = run(kRoom + settings + QStringList{"--save", saved});
        QCOMPARE(r.status, 0);
        const QString figures = r.out;
        QVERIFY(figures.endsWith("target: 0.45\nspeech: met\n"));
        const QByteArray bytes = test::readBytes(saved);
        QVERIFY2(bytes.endsWith("[System]\r\n\"50\",\"15\",\"\",\"\",\"1.5\",\"end\",\"0.5\"\r\n"
                                "[Speech]\r\n\"1.6\",\"0.45\"\r\n"),
                 bytes.constData());
        r = run({saved, "--locale", "C"});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, figures);
        const QString again = m_work.filePath(QStringLiteral("again.kvx"));
        r = test::runCli(m_work.path(),
                         {"system", saved, "--data-dir", m_data.path(), "--save", again});
        QCOMPARE(r.status, 0);
        QCOMPARE(test::readBytes(again), bytes);
    }

    // A setting that cannot be used is named, its figures left out, exit 1;
    // an option that is no number, or no reverberation time at all, is a
    // wrong command line, exit 2.
    void badSettings_data() {
        test::addRowsFrom(QStringLiteral("speech-bad-settings.tsv"),
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

QTEST_GUILESS_MAIN(TestCliSpeech)
#include "test_cli_speech.moc"
