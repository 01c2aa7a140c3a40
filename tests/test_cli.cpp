// kvx-cli as a process: the worked examples in plain and JSON form against the
// core's own numbers, a project opened, changed, saved and read back, the
// report against the window's own, a catalogue built and listed back, and bad
// input of every kind with its exit status. No command writes the data
// folder's Kvx.ini, nor any file when it fails.
#include "core/calc/sound.h"
#include "core/catalogue/lsp_record.h"
#include "core/ui/main_window.h"
#include "support/harness.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include <cmath>

using namespace kvx;

namespace {

const QString kData = QStringLiteral(KVX_SOURCE_DIR "/tests/data/cli/");

struct Result {
    int status = -1;
    QString out;
    QString err;
    QJsonObject json(const char* key) const {
        return QJsonDocument::fromJson(out.toUtf8()).object().value(QLatin1String(key)).toObject();
    }
};

// A command line written as one string; '|' stands for a space inside an argument.
QStringList args(const QString& line) {
    return line.split(u' ').replaceInStrings(QStringLiteral("|"), QStringLiteral(" "));
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The test's catalogue as Test.lsp, and a Kvx.ini naming it.
bool writeDataFolder(const QString& folder, const QString& language) {
    const QList<LspRecord> types = {{QStringLiteral("Ceiling 6  "), 90, 60, 90.0f, 6.0f},
                                    {QStringLiteral("Wide, 8    "), 120, 80, 88.5f, 10.0f},
                                    {QStringLiteral("Horn 12    "), 60, 40, 95.0f, 30.0f}};
    QFile ini(QDir(folder).filePath(QStringLiteral("Kvx.ini")));
    return writeLspFile(QDir(folder).filePath(QStringLiteral("Test.lsp")), types) &&
           ini.open(QIODevice::WriteOnly) &&
           ini.write("[Current lsp file]\r\nFileName=Test.lsp\r\n[Configuration]\r\nLanguage=" +
                     language.toLatin1()) > 0;
}

// Every file of a folder with its time and bytes, to see that nothing changed.
QStringList snapshot(const QString& folder) {
    QStringList files;
    for (const QFileInfo& file :
         QDir(folder).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot))
        files << file.fileName() + file.lastModified().toString(Qt::ISODateWithMs) +
                     QString::number(qHash(readFile(file.filePath())));
    return files;
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT

private:
    Result run(const QStringList& arguments);
    Result calc(const QStringList& arguments) {
        return run(QStringList{"calc", "--data-dir", m_data.path(), "--locale", "C"} + arguments);
    }
    QString path(const QString& name) const { return m_work.filePath(name); }

    QTemporaryDir m_data; // the test catalogue and a Kvx.ini naming it
    QTemporaryDir m_work; // projects, reports and CSV files
    QStringList m_dataFiles;

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(writeDataFolder(m_data.path(), "English"));
        m_dataFiles = snapshot(m_data.path());
    }
    // Whatever the command did, the user's configuration is as it was.
    void cleanup() { QCOMPARE(snapshot(m_data.path()), m_dataFiles); }
    void workedExamples_data();
    void workedExamples();
    void projectChangedSavedAndReadBack();
    void reportMatchesWindow_data();
    void reportMatchesWindow();
    void catalogueBuiltAndListedBack();
    void commonOptionsOnEveryCommand_data();
    void commonOptionsOnEveryCommand();
    void badInput_data();
    void badInput();
};

Result TestCli::run(const QStringList& arguments) {
    QProcess process;
    process.setWorkingDirectory(m_work.path());
    process.start(QStringLiteral(KVX_BIN_DIR "/kvx-cli"), arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

void TestCli::workedExamples_data() {
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QString>("shown"); // distance, speakers, level, differences, power
    QTest::addColumn<int>("evaluations");
    const QString room = QStringLiteral("--angle1 90 --angle4 60 --sensitivity 90 --rated-power 6 "
                                        "--length 20 --width 10 --height 4 --ear 1.5 ");
    QTest::newRow("20 x 10 m, 90 and 60 degrees, 1/1 P on 100 V") << room + "--locale C --type user"
                                                                  << "3.6 18 92 2.9 6 6" << 2;
    QTest::newRow("the same room, 1/2 P on 70 V by the item texts")
        << room + "--locale C --tap 1/2|P --line |70|V"
        << "3.6 18 86 2.9 1.47 6" << 2;
    QTest::newRow("120 and 80 degrees, height 3, difference 3 dB")
        << "--angle1 120 --angle4 80 --sensitivity 88 --rated-power 10 --length 20 --width 10 "
           "--height 3 --ear 1.2 --difference 3 --locale C"
        << "2.4 32 96 1.5 10 3" << 16;
    QTest::newRow("Dutch numbers in German, 1/2 P on 70 V, difference 6.5 dB")
        << QString(room).replace("1.5", "1,5") +
               "--locale nl_NL --language German --tap 1/2 --line 70 --difference 6,5"
        << "3,8 15 86 3,2 1,47 6,5" << 8;
}

void TestCli::workedExamples() {
    QFETCH(QString, arguments);
    QFETCH(QString, shown);
    QFETCH(int, evaluations);
    QStringList command = args("calc --data-dir " + m_data.path() + u' ' + arguments);
    QString plain = "distance: %1\nspeakers: %2\nlevel: %3\ndifference1: %4\npower: %5\n"
                    "difference4: %6\n";
    for (const QString& value : shown.split(u' '))
        plain = plain.arg(value);
    Result result = run(command);
    QCOMPARE(result.err, QString());
    QCOMPARE(result.out, plain);
    QCOMPARE(result.status, 0);

    // The unrounded values are the core's, step by step as the window runs
    // them on the numbers its fields hold.
    result = run(command << QStringLiteral("--json"));
    const QJsonObject fields = result.json("fields");
    const QLocale locale(command.at(command.indexOf("--locale") + 1));
    const auto in = [&](const char* name) {
        return locale.toDouble(fields.value(QLatin1String(name)).toString());
    };
    test::FakePlatform platform;
    const double h = in("txtRoomHeight") - in("txtEarHeight");
    const double theta1 = in("txtAngle1") * kPi / 360;
    const SpacingResult spacing = SolveSpacing(std::pow(10.0, -fields["DiffSet"].toInt() / 100.0),
                                               h, in("txtAngle4") * kPi / 360, platform);
    const double below = IntensityBelowSpeaker(spacing.d, h, theta1);
    const double between = IntensityBetweenSpeakers(spacing.d, h, theta1);
    const double power = result.json("values")["speakerPower"].toDouble();
    const double level = in("txtSensitivity") + 10 * Log10(power, platform) -
                         20 * Log10(h, platform) + 10 * Log10(below, platform);
    QCOMPARE(result.json("values"),
             (QJsonObject{
                 {"distance", spacing.d},
                 {"evaluations", spacing.evaluations},
                 {"intensityBelow", below},
                 {"intensityBetween", between},
                 {"difference1", 10 * Log10(below / between, platform)},
                 {"directLevel", level},
                 {"speakerPower", power},
                 {"speakers", SpeakerCount(in("txtRoomLength"), in("txtRoomWidth"), spacing.d)}}));
    QCOMPARE(spacing.evaluations, evaluations);
    QVERIFY(platform.messages.isEmpty());
}

void TestCli::projectChangedSavedAndReadBack() {
    // The command runs in the work folder.
    const Result saved = calc(args("--description Hall,|east|wing|\"B\" --type Wide,|8 --length 12 "
                                   "--width 9 --height 3.5 --ear 1.2 --save hall.kvx"));
    QCOMPARE(saved.status, 0);
    const Result changed = calc(args("hall.kvx --length 15,5 --tap 1/4 --line 50 --difference 4.5 "
                                     "--json --save longer.kvx"));
    QCOMPARE(changed.err, QString());
    QCOMPARE(readFile(path(QStringLiteral("longer.kvx"))), readFile(kData + "hall.kvx"));
    // Read back and saved again, it calculates the same and keeps every byte.
    const Result reread = calc(args("longer.kvx --json --save again.kvx"));
    QCOMPARE(reread.json("values"), changed.json("values"));
    QCOMPARE(readFile(path(QStringLiteral("again.kvx"))), readFile(kData + "hall.kvx"));
}

void TestCli::reportMatchesWindow_data() {
    QTest::addColumn<QStringList>("setting"); // language, locale, report file
    QTest::newRow("English, C locale") << QStringList{"English", "C", "report.txt"};
    QTest::newRow("Dutch, Dutch locale") << QStringList{"Dutch", "nl_NL", "report.txt"};
    QTest::newRow("German, a name without .txt") << QStringList{"German", "de_DE", "report"};
}

void TestCli::reportMatchesWindow() {
    QFETCH(QStringList, setting);
    test::Harness window{QLocale(setting[1])};
    QVERIFY(writeDataFolder(window.dir.path(), setting[0]));
    const QString common = " --data-dir " + window.dir.path() + " --locale " + setting[1];
    const QString project = path(setting[0] + QStringLiteral(".kvx"));
    const Result saved =
        run(args("calc --description Shop|floor --type Horn|12 --length 30 --width "
                 "18 --height 6 --ear 1,6 --tap 1/2 --save " +
                 project + common));
    QCOMPARE(saved.status, 0);
    window.w->Form_Load(project);
    window.w->cmdCalc_Click();
    window.platform.pageWidth = 88.5;
    window.platform.date = QDate(2026, 2, 3);
    window.platform.saveAnswers << path(QStringLiteral("window.txt"));
    window.w->mnuPrintFile_Click();
    QCOMPARE(window.platform.messageTitles(), QStringList());
    const QByteArray expected = readFile(path(QStringLiteral("window.txt")));

    for (const QString& command :
         {"report " + project + " -o ", "calc " + project + " --report "}) {
        QFile::remove(path(setting[2]));
        const Result result =
            run(args(command + setting[2] + " --date 2026-02-03 --page-width 88,5" + common));
        QCOMPARE(result.err, QString());
        QCOMPARE(result.status, 0);
        QCOMPARE(readFile(path(setting[2])), expected);
    }
    if (QFileInfo::exists(
            QStringLiteral(KVX_BIN_DIR "/kvx-cli-print.so"))) { // with the desktop program
        QCOMPARE(run(args("report " + project + " -o report.pdf" + common)).err, QString());
        QVERIFY(readFile(path(QStringLiteral("report.pdf"))).startsWith("%PDF-"));
    }
}

void TestCli::catalogueBuiltAndListedBack() {
    const Result built = run({"catalogue", "build", kData + "types.csv", "-o", path("types.lsp")});
    QCOMPARE(built.err, QString());
    QCOMPARE(built.status, 0);
    QCOMPARE(QFileInfo(path(QStringLiteral("types.lsp"))).size(), 3 * kLspRecordSize);
    QCOMPARE(run({"catalogue", "list", path("types.lsp")}).out.toUtf8(),
             readFile(kData + "types.csv"));
}

void TestCli::commonOptionsOnEveryCommand_data() {
    // @data, @work and @src as in badInput.
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("out"); // the start of standard output
    QTest::newRow("calc") << "calc --type Horn|12"
                          << "{";
    QTest::newRow("report") << "report @src/hall.kvx -o @work/common.txt"
                            << "{";
    QTest::newRow("catalogue list, a bare name found in the data folder")
        << "catalogue list Test.lsp"
        << "[";
    QTest::newRow("catalogue build") << "catalogue build @src/types.csv -o @work/common.lsp"
                                     << "@work/common.lsp: 3 types written";
}

void TestCli::commonOptionsOnEveryCommand() {
    QFETCH(QString, command);
    QFETCH(QString, out);
    for (QString* text : {&command, &out})
        text->replace("@data", m_data.path())
            .replace("@work", m_work.path())
            .replace("@src/", kData);
    const Result result = run(
        args(command + " --data-dir " + m_data.path() + " --language English --locale C --json"));
    QCOMPARE(result.err, QString());
    QCOMPARE(result.status, 0);
    QVERIFY2(result.out.startsWith(out), qPrintable(result.out));
}

void TestCli::badInput_data() {
    // @data, @work and @src stand for the data folder, the work folder and the
    // test's own files.
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("error"); // what standard error holds
    const auto row = [](const char* name, const char* arguments, int status, const char* error) {
        QTest::newRow(name) << arguments << status << error;
    };
    row("an unknown type", "calc --data-dir @data --type Nope --save @work/never", 2,
        "kvx-cli: --type: no type \"Nope\" in Test.lsp");
    row("a letter in the room length", "calc --data-dir @data --length 12a", 1,
        "Kvx32: Invalid Character. Use:   +/-, 0...9, one decimal separator (dot or comma).");
    row("a 4 kHz angle of 270 degrees", "calc --data-dir @data --angle4 270", 1,
        "Calculation Error: The calculated distance is not positive !");
    row("a project that does not exist", "calc --data-dir @data @work/missing.kvx", 2,
        "kvx-cli: the project file \"@work/missing.kvx\" does not exist");
    row("a project that is a folder", "calc --data-dir @data @work", 2, "is a folder");
    row("a first start without its catalogue", "calc --data-dir @work", 2,
        "Loudspeaker File Error: Loudspeaker Data File: @work/Basic.lsp not found. Program "
        "aborted.");
    row("a project saved into a missing folder", "calc --data-dir @data --save @work/no/p.kvx", 2,
        "Save Error: The project was not saved to");
    row("a CSV with a bad row", "catalogue build @src/bad-row.csv -o @work/never", 2,
        "@src/bad-row.csv:3: ");
    row("a catalogue to list that is not there", "catalogue list @work/no.lsp", 2,
        "cannot be read");
}

void TestCli::badInput() {
    QFETCH(QString, arguments);
    QFETCH(int, status);
    QFETCH(QString, error);
    for (QString* text : {&arguments, &error})
        text->replace("@data", m_data.path())
            .replace("@work", m_work.path())
            .replace("@src/", kData);
    const QStringList before = snapshot(m_work.path());
    const Result result = run(args(arguments));
    QVERIFY2(result.err.contains(error), qPrintable(result.err));
    QCOMPARE(result.status, status);
    QCOMPARE(snapshot(m_work.path()), before);
}

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
