// kvx-cli as a process: the worked examples in plain and JSON form against the
// core's own numbers, a project opened, changed, saved and read back, the
// report against the window's own, catalogues built and listed back, and bad
// input of every kind with its exit status. No command writes the data
// folder's Kvx.ini, nor any file when it fails.
#include "core/calc/sound.h"
#include "core/catalogue/lsp_record.h"
#include "core/ui/main_window.h"
#include "support/harness.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include <cmath>

using namespace kvx;

namespace {

struct Result {
    int status = -1;
    QString out;
    QString err;
    QJsonObject json(const char* key) const {
        return QJsonDocument::fromJson(out.toUtf8()).object().value(QLatin1String(key)).toObject();
    }
};

// The test's own catalogue, names padded as the data file keeps them.
const QList<LspRecord> kCatalogue = {{QStringLiteral("Ceiling 6  "), 90, 60, 90.0f, 6.0f},
                                     {QStringLiteral("Wide, 8    "), 120, 80, 88.5f, 10.0f},
                                     {QStringLiteral("Horn 12    "), 60, 40, 95.0f, 30.0f}};

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The test catalogue as Test.lsp and a Kvx.ini naming lsp.
bool writeDataFolder(const QString& folder, const QString& lsp, const QString& language) {
    const QString ini = "[Current lsp file]\r\nFileName=%1\r\n[Configuration]\r\nLanguage=%2\r\n";
    return writeLspFile(QDir(folder).filePath(QStringLiteral("Test.lsp")), kCatalogue) &&
           writeFile(QDir(folder).filePath(QStringLiteral("Kvx.ini")),
                     ini.arg(lsp, language).toLatin1());
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

    QTemporaryDir m_data;        // the test catalogue and a Kvx.ini naming it
    QTemporaryDir m_noCatalogue; // a Kvx.ini naming a data file that is not there
    QTemporaryDir m_work;        // projects, reports and CSV files
    QStringList m_dataFiles;

private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void workedExamples_data();
    void workedExamples();
    void firstStartWritesNoKvxIni();
    void projectChangedSavedAndReadBack();
    void reportMatchesWindow_data();
    void reportMatchesWindow();
    void catalogueBuiltAndListedBack();
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

void TestCli::initTestCase() {
    QVERIFY(writeDataFolder(m_data.path(), "Test.lsp", "English"));
    QVERIFY(writeDataFolder(m_noCatalogue.path(), "Missing.lsp", "English"));
    m_dataFiles = snapshot(m_data.path()) + snapshot(m_noCatalogue.path());
}

void TestCli::cleanup() {
    // Whatever the command did, the user's configuration is as it was.
    QCOMPARE(snapshot(m_data.path()) + snapshot(m_noCatalogue.path()), m_dataFiles);
}

void TestCli::workedExamples_data() {
    QTest::addColumn<QString>("locale");
    // angle1, angle4, sensitivity, rated power, length, width, height, ear, difference
    QTest::addColumn<QList<double>>("inputs");
    QTest::addColumn<QStringList>("picks");
    QTest::addColumn<double>("power");
    QTest::addColumn<QString>("shown"); // distance, speakers, level, differences, power
    QTest::addColumn<int>("evaluations");
    const QList<double> room = {90, 60, 90, 6, 20, 10, 4, 1.5, 6};
    QTest::newRow("20 x 10 m, 90 and 60 degrees, 1/1 P on 100 V")
        << "C" << room << QStringList{"--type", "user"} << 6.0 << "3.6 18 92 2.9 6 6" << 2;
    QTest::newRow("the same room, 1/2 P on 70 V by the item texts")
        << "C" << room << QStringList{"--tap", "1/2 P", "--line", " 70 V"} << 1.47
        << "3.6 18 86 2.9 1.47 6" << 2;
    QTest::newRow("120 and 80 degrees, height 3, difference 3 dB")
        << "C" << QList<double>{120, 80, 88, 10, 20, 10, 3, 1.2, 3} << QStringList{} << 10.0
        << "2.4 32 96 1.5 10 3" << 16;
    QTest::newRow("Dutch numbers, 1/2 P on 70 V, difference 6.5 dB")
        << "nl_NL" << QList<double>{90, 60, 90, 6, 20, 10, 4, 1.5, 6.5}
        << QStringList{"--tap", "1/2", "--line", "70"} << 1.47 << "3,8 15 86 3,2 1,47 6,5" << 8;
}

void TestCli::workedExamples() {
    QFETCH(QString, locale);
    QFETCH(QList<double>, inputs);
    QFETCH(QStringList, picks);
    QFETCH(double, power);
    QFETCH(QString, shown);
    QFETCH(int, evaluations);
    QStringList arguments{"calc", "--data-dir", m_data.path(), "--locale", locale};
    const char* const options[] = {"--angle1",      "--angle4", "--sensitivity",
                                   "--rated-power", "--length", "--width",
                                   "--height",      "--ear",    "--difference"};
    for (int i = 0; i < 9; ++i)
        arguments << options[i] << QLocale(locale).toString(inputs[i]);
    QString plain = "distance: %1\nspeakers: %2\nlevel: %3\ndifference1: %4\npower: %5\n"
                    "difference4: %6\n";
    for (const QString& value : shown.split(u' '))
        plain = plain.arg(value);
    Result result = run(arguments + picks);
    QCOMPARE(result.err, QString());
    QCOMPARE(result.out, plain);
    QCOMPARE(result.status, 0);

    // The unrounded values are the core's, step by step as the window runs them.
    result = run(arguments + picks + QStringList{"--json"});
    QCOMPARE(result.status, 0);
    test::FakePlatform platform;
    const double h = inputs[6] - inputs[7];
    const double theta1 = inputs[0] * kPi / 360;
    const SpacingResult spacing =
        SolveSpacing(std::pow(10.0, -inputs[8] / 10), h, inputs[1] * kPi / 360, platform);
    const double below = IntensityBelowSpeaker(spacing.d, h, theta1);
    const double between = IntensityBetweenSpeakers(spacing.d, h, theta1);
    const double level = inputs[2] + 10 * Log10(power, platform) - 20 * Log10(h, platform) +
                         10 * Log10(below, platform);
    QCOMPARE(result.json("values"),
             (QJsonObject{{"distance", spacing.d},
                          {"evaluations", spacing.evaluations},
                          {"intensityBelow", below},
                          {"intensityBetween", between},
                          {"difference1", 10 * Log10(below / between, platform)},
                          {"directLevel", level},
                          {"speakerPower", power},
                          {"speakers", SpeakerCount(inputs[4], inputs[5], spacing.d)}}));
    QCOMPARE(spacing.evaluations, evaluations);
    QVERIFY(platform.messages.isEmpty());
}

void TestCli::firstStartWritesNoKvxIni() {
    QTemporaryDir fresh;
    QVERIFY(writeLspFile(fresh.filePath(QStringLiteral("Basic.lsp")), kCatalogue));
    const Result result = run({"calc", "--data-dir", fresh.path(), "--json"});
    QCOMPARE(result.status, 0);
    QCOMPARE(result.json("fields").value("lstLsp"), kCatalogue[0].TypeName);
    QCOMPARE(QDir(fresh.path()).entryList(QDir::Files), QStringList{"Basic.lsp"});
}

void TestCli::projectChangedSavedAndReadBack() {
    const QString first = path(QStringLiteral("hall.kvx"));
    const QString second = path(QStringLiteral("hall-longer.kvx"));
    QCOMPARE(calc({"--description", "Hall, east wing \"B\"", "--type", "Wide, 8", "--length", "12",
                   "--width", "9", "--height", "3.5", "--ear", "1.2", "--save", first})
                 .status,
             0);
    const Result changed = calc({first, "--length", "15,5", "--tap", "1/4", "--line", "50",
                                 "--difference", "4.5", "--save", second, "--json"});
    QCOMPARE(changed.err, QString());
    QCOMPARE(readFile(second), readFile(QStringLiteral(KVX_SOURCE_DIR "/tests/data/cli/hall.kvx")));

    // Read back, it shows and calculates the same; a file does not move the slider.
    const Result reread = calc({second, "--json"});
    QCOMPARE(reread.status, 0);
    QJsonObject fields = changed.json("fields");
    QJsonObject rereadFields = reread.json("fields");
    fields.remove("DiffSet");
    rereadFields.remove("DiffSet");
    QCOMPARE(rereadFields, fields);
    QCOMPARE(reread.json("values"), changed.json("values"));
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
    QVERIFY(writeDataFolder(window.dir.path(), "Test.lsp", setting[0]));
    const QStringList common = {"--data-dir", window.dir.path(), "--locale", setting[1]};
    const QString project = path(setting[0] + QStringLiteral(".kvx"));
    QCOMPARE(run(QStringList{"calc", "--description", "Shop floor", "--type", "Horn 12", "--length",
                             "30", "--width", "18", "--height", "6", "--ear", "1,6", "--tap", "1/2",
                             "--save", project} +
                 common)
                 .status,
             0);
    window.w->Form_Load(project);
    window.w->cmdCalc_Click();
    window.platform.pageWidth = 88.5;
    window.platform.date = QDate(2026, 2, 3);
    window.platform.saveAnswers << path(QStringLiteral("window.txt"));
    window.w->mnuPrintFile_Click();
    QVERIFY(window.platform.messages.isEmpty());
    const QByteArray expected = readFile(path(QStringLiteral("window.txt")));
    QVERIFY(expected.startsWith("\r\n\r\n\r\n"));

    for (const QStringList& command :
         {QStringList{"report", project, "-o"}, QStringList{"calc", project, "--report"}}) {
        QFile::remove(path(setting[2]));
        const Result result = run(
            command +
            QStringList{path(setting[2]), "--date", "2026-02-03", "--page-width", "88,5"} + common);
        QCOMPARE(result.err, QString());
        QCOMPARE(result.status, 0);
        QCOMPARE(readFile(path(setting[2])), expected);
    }
    if (!QFileInfo::exists(QStringLiteral(KVX_BIN_DIR "/kvx-cli-print.so")))
        QSKIP("built without the desktop program, so without PDF reports");
    QCOMPARE(run(QStringList{"report", project, "-o", path("report.pdf")} + common).status, 0);
    QVERIFY(readFile(path(QStringLiteral("report.pdf"))).startsWith("%PDF-"));
}

void TestCli::catalogueBuiltAndListedBack() {
    const QByteArray csv =
        "name,angle1,angle4,sensitivity,rated_power\n\"Ceiling 6  \",90,60,90,6\n"
        "\"Wide, 8 \"\"W\"\"\",120,80,88.5,10\n"
        "\"B\xc3\xbcro-12    \",-5,32767,0.25,1.5\n";
    QVERIFY(writeFile(path(QStringLiteral("types.csv")), csv));
    const Result built = run({"catalogue", "build", path("types.csv"), "-o", path("types.lsp")});
    QCOMPARE(built.err, QString());
    QCOMPARE(built.status, 0);
    QCOMPARE(QFileInfo(path(QStringLiteral("types.lsp"))).size(), 3 * kLspRecordSize);
    QCOMPARE(run({"catalogue", "list", path("types.lsp")}).out.toUtf8(), csv);
    const Result json = run({"catalogue", "list", path("types.lsp"), "--json"});
    QCOMPARE(QJsonDocument::fromJson(json.out.toUtf8())[2],
             QJsonDocument::fromJson(R"({"name": "Büro-12    ", "angle1": -5, "angle4": 32767,
                                         "sensitivity": 0.25, "rated_power": 1.5})")
                 .object());
}

void TestCli::badInput_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("error"); // what standard error holds

    const QString foreign = path(QStringLiteral("foreign.kvx"));
    writeFile(foreign, "[Projektbeschreibung]\r\nHalle\r\n");
    const QString badCsv = path(QStringLiteral("bad.csv"));
    writeFile(badCsv, "name,angle1,angle4,sensitivity,rated_power\n\"Fine\",90,60,90,6\n"
                      "\"Far too long a name\",90,60,90,6\n");
    const QString missing = path(QStringLiteral("missing.kvx"));
    const QString never = path(QStringLiteral("never.out"));
    const QStringList calc = {"calc", "--data-dir", m_data.path(), "--locale", "C"};
    const auto row = [](const char* name, const QStringList& arguments, int status,
                        const QString& error) {
        QTest::newRow(name) << arguments << status << error;
    };
    row("an unknown type", calc + QStringList{"--type", "Nope", "--save", never}, 2,
        "kvx-cli: --type: no type \"Nope\" in Test.lsp");
    row("a letter in the room length", calc + QStringList{"--length", "12a"}, 1,
        "Kvx32: Invalid Character. Use:   +/-, 0...9, one decimal separator (dot or comma).");
    row("a 4 kHz angle of 270 degrees", calc + QStringList{"--angle4", "270"}, 1,
        "Calculation Error: The calculated distance is not positive !");
    row("a project that does not exist", calc + QStringList{missing}, 2,
        "kvx-cli: the project file \"" + missing + "\" does not exist");
    row("a project that is a folder", calc + QStringList{m_work.path()}, 2, "is a folder");
    row("a project in another language", calc + QStringList{foreign, "--save", never}, 2,
        "Fatal Error: Error in project file:  Last Record read: [Projektbeschreibung]");
    row("a catalogue that is not there",
        QStringList{"calc", "--data-dir", m_noCatalogue.path(), "--save", never}, 2,
        "Loudspeaker File Error: Loudspeaker Data File: " + m_noCatalogue.path() +
            "/Missing.lsp not found. Program aborted.");
    row("a data folder that is not there", {"calc", "--data-dir", path("nowhere")}, 2,
        "does not exist");
    row("a project saved into a missing folder", calc + QStringList{"--save", path("no/p.kvx")}, 2,
        "Save Error: The project was not saved to");
    row("an unknown option", calc + QStringList{"--colour", "red"}, 2,
        "kvx-cli: calc: Unknown option 'colour'.");
    row("a CSV with a bad row", {"catalogue", "build", badCsv, "-o", never}, 2, badCsv + ":3: ");
    row("a CSV that is not there", {"catalogue", "build", path("no.csv"), "-o", never}, 2,
        "cannot be read");
    row("a catalogue to list that is not there", {"catalogue", "list", path("no.lsp")}, 2,
        "cannot be read");
}

void TestCli::badInput() {
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, error);
    const QStringList before = snapshot(m_work.path());
    const Result result = run(arguments);
    QVERIFY2(result.err.contains(error), qPrintable(result.err));
    QCOMPARE(result.status, status);
    QCOMPARE(snapshot(m_work.path()), before);
}

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
