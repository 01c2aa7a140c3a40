// kvx-cli as a process: the worked examples of the calculation in plain and
// JSON form, number locales and languages, a project opened, changed, saved
// and read back, the report against the window's own, catalogues built and
// listed, every kind of bad input with its exit status, and the data folder's
// Kvx.ini left as it was by every command.
#include "core/calc/sound.h"
#include "core/catalogue/lsp_record.h"
#include "core/shell/string_table.h"
#include "core/ui/main_window.h"
#include "support/harness.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace kvx;

namespace {

const QString kProgram = QStringLiteral(KVX_BIN_DIR "/kvx-cli");

struct Result {
    int status = -1;
    QString out;
    QString err;
};

// The test's own catalogue, names padded as the data file keeps them.
const QList<LspRecord> kCatalogue = {
    {QStringLiteral("Ceiling 6  "), 90, 60, 90.0f, 6.0f},
    {QStringLiteral("Wide, 8    "), 120, 80, 88.5f, 10.0f},
    {QStringLiteral("Horn 12    "), 60, 40, 95.0f, 30.0f},
};

QByteArray iniFor(const QString& dataFile, const QString& language) {
    return QStringLiteral("[Current lsp file]\r\nFileName=%1\r\n[Configuration]\r\nLanguage=%2\r\n")
        .arg(dataFile, language)
        .toLatin1();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A double with all its digits, so that a failed comparison shows the difference.
QString exact(double value) {
    return QString::number(value, 'g', 17);
}

// A file and what it was when the test started.
struct Watched {
    QString path;
    QByteArray bytes;
    QDateTime modified;
};

} // namespace

class TestCli : public QObject {
    Q_OBJECT

private:
    Result run(const QStringList& arguments);
    // calc in the test's data folder with the C locale.
    Result calc(const QStringList& arguments);
    QString path(const QString& name) const { return m_work.filePath(name); }

    QTemporaryDir m_data;        // the test catalogue and a Kvx.ini naming it
    QTemporaryDir m_noCatalogue; // a Kvx.ini naming a data file that is not there
    QTemporaryDir m_work;        // projects, reports and CSV files
    QList<Watched> m_watched;

private Q_SLOTS:
    void initTestCase();
    void cleanup();

    void workedExamples_data();
    void workedExamples();
    void unroundedValues_data();
    void unroundedValues();
    void dutchNumbers();
    void messagesInJson();
    void languages_data();
    void languages();
    void startsWithoutKvxIni();
    void projectChangedSavedAndReadBack();
    void reportMatchesWindow_data();
    void reportMatchesWindow();
    void pdfReport();
    void catalogueBuiltAndListedBack();
    void badInput_data();
    void badInput();
    void versionAndHelp();
};

Result TestCli::run(const QStringList& arguments) {
    QProcess process;
    process.setWorkingDirectory(m_work.path());
    process.start(kProgram, arguments);
    Result result;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return result;
    result.status = process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

Result TestCli::calc(const QStringList& arguments) {
    return run(QStringList{QStringLiteral("calc"), QStringLiteral("--data-dir"), m_data.path(),
                           QStringLiteral("--locale"), QStringLiteral("C")} +
               arguments);
}

void TestCli::initTestCase() {
    QVERIFY2(QFileInfo(kProgram).isExecutable(), qPrintable(kProgram));
    QVERIFY(m_data.isValid() && m_noCatalogue.isValid() && m_work.isValid());
    QString whyNot;
    QVERIFY2(writeLspFile(m_data.filePath(QStringLiteral("Test.lsp")), kCatalogue, &whyNot),
             qPrintable(whyNot));
    QVERIFY(writeFile(m_data.filePath(QStringLiteral("Kvx.ini")),
                      iniFor(QStringLiteral("Test.lsp"), QStringLiteral("English"))));
    QVERIFY(writeFile(m_noCatalogue.filePath(QStringLiteral("Kvx.ini")),
                      iniFor(QStringLiteral("Missing.lsp"), QStringLiteral("English"))));
    for (const QTemporaryDir* dir : {&m_data, &m_noCatalogue}) {
        const QString ini = dir->filePath(QStringLiteral("Kvx.ini"));
        m_watched.append({ini, readFile(ini), QFileInfo(ini).lastModified()});
    }
}

void TestCli::cleanup() {
    // Whatever the command did, the user's configuration is as it was.
    for (const Watched& file : std::as_const(m_watched)) {
        QCOMPARE(readFile(file.path), file.bytes);
        QCOMPARE(QFileInfo(file.path).lastModified(), file.modified);
    }
}

void TestCli::workedExamples_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("output");

    const QStringList room = {"--angle1",      "90", "--angle4", "60", "--sensitivity", "90",
                              "--rated-power", "6",  "--length", "20", "--width",       "10",
                              "--height",      "4",  "--ear",    "1.5"};
    QTest::newRow("20 x 10 m, 90 and 60 degrees, 1/1 P on 100 V")
        << room
        << "distance: 3.6\nspeakers: 18\nlevel: 92\ndifference1: 2.9\npower: 6\n"
           "difference4: 6\n";
    QTest::newRow("the same room with 1/2 P on 70 V")
        << room + QStringList{"--tap", "1/2", "--line", "70"}
        << "distance: 3.6\nspeakers: 18\nlevel: 86\ndifference1: 2.9\npower: 1.47\n"
           "difference4: 6\n";
    QTest::newRow("taps picked by their full item texts")
        << room + QStringList{"--tap", "1/2 P", "--line", " 70 V"}
        << "distance: 3.6\nspeakers: 18\nlevel: 86\ndifference1: 2.9\npower: 1.47\n"
           "difference4: 6\n";
    QTest::newRow("120 and 80 degrees, height 3, difference 3 dB")
        << QStringList{"--angle1",      "120", "--angle4", "80",  "--sensitivity", "88",
                       "--rated-power", "10",  "--length", "20",  "--width",       "10",
                       "--height",      "3",   "--ear",    "1.2", "--difference",  "3"}
        << "distance: 2.4\nspeakers: 32\nlevel: 96\ndifference1: 1.5\npower: 10\n"
           "difference4: 3\n";
    QTest::newRow("a catalogue type picked by its name without padding")
        << QStringList{"--type", "Ceiling 6", "--length", "20",    "--width",
                       "10",     "--height",  "4",        "--ear", "1.5"}
        << "distance: 3.6\nspeakers: 18\nlevel: 92\ndifference1: 2.9\npower: 6\n"
           "difference4: 6\n";
}

void TestCli::workedExamples() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, output);

    const Result result = calc(arguments);
    QCOMPARE(result.err, QString());
    QCOMPARE(result.out, output);
    QCOMPARE(result.status, 0);
}

void TestCli::unroundedValues_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QList<double>>("inputs"); // angle1, angle4, sensitivity, length, width,
                                               // height, ear, difference, speaker power
    QTest::addColumn<int>("evaluations");

    QTest::newRow("20 x 10 m, 90 and 60 degrees")
        << QStringList{"--angle1",      "90", "--angle4", "60", "--sensitivity", "90",
                       "--rated-power", "6",  "--length", "20", "--width",       "10",
                       "--height",      "4",  "--ear",    "1.5"}
        << QList<double>{90, 60, 90, 20, 10, 4, 1.5, 6, 6} << 2;
    QTest::newRow("the same room with 1/2 P on 70 V")
        << QStringList{"--angle1",      "90", "--angle4", "60",  "--sensitivity", "90",
                       "--rated-power", "6",  "--length", "20",  "--width",       "10",
                       "--height",      "4",  "--ear",    "1.5", "--tap",         "1/2",
                       "--line",        "70"}
        << QList<double>{90, 60, 90, 20, 10, 4, 1.5, 6, 1.47} << 2;
    QTest::newRow("120 and 80 degrees, difference 3 dB")
        << QStringList{"--angle1",      "120", "--angle4", "80",  "--sensitivity", "88",
                       "--rated-power", "10",  "--length", "20",  "--width",       "10",
                       "--height",      "3",   "--ear",    "1.2", "--difference",  "3"}
        << QList<double>{120, 80, 88, 20, 10, 3, 1.2, 3, 10} << 16;
}

void TestCli::unroundedValues() {
    QFETCH(QStringList, arguments);
    QFETCH(QList<double>, inputs);
    QFETCH(int, evaluations);

    const Result result = calc(arguments + QStringList{QStringLiteral("--json")});
    QCOMPARE(result.status, 0);
    QJsonParseError error;
    const QJsonObject json = QJsonDocument::fromJson(result.out.toUtf8(), &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(json.value(QStringLiteral("messages")).toArray().size(), 0);

    // The run of the window, step by step, on the core's own functions.
    test::FakePlatform platform;
    const double h = inputs[5] - inputs[6];
    const double theta4 = inputs[1] * kPi / 360;
    const double theta1 = inputs[0] * kPi / 360;
    const SpacingResult spacing =
        SolveSpacing(std::pow(10.0, -inputs[7] / 10), h, theta4, platform);
    const double below = IntensityBelowSpeaker(spacing.d, h, theta1);
    const double between = IntensityBetweenSpeakers(spacing.d, h, theta1);
    const double power = inputs[8];
    const double level = inputs[2] + 10 * Log10(power, platform) - 20 * Log10(h, platform) +
                         10 * Log10(below, platform);

    const QJsonObject values = json.value(QStringLiteral("values")).toObject();
    QCOMPARE(values.value(QStringLiteral("evaluations")).toInt(), evaluations);
    QCOMPARE(spacing.evaluations, evaluations);
    const std::pair<const char*, double> expected[] = {
        {"distance", spacing.d},
        {"intensityBelow", below},
        {"intensityBetween", between},
        {"difference1", 10 * Log10(below / between, platform)},
        {"directLevel", level},
        {"speakerPower", power},
        {"speakers", double(SpeakerCount(inputs[3], inputs[4], spacing.d))},
    };
    for (const auto& [name, value] : expected) {
        const QJsonValue written = values.value(QLatin1String(name));
        QVERIFY2(written.isDouble(), name);
        QCOMPARE(exact(written.toDouble()), exact(value));
    }
    QVERIFY(platform.messages.isEmpty());

    const QJsonObject fields = json.value(QStringLiteral("fields")).toObject();
    QCOMPARE(fields.value(QStringLiteral("lstLsp")).toString(), QStringLiteral("User type"));
    QCOMPARE(fields.value(QStringLiteral("txtRoomLength")).toString(), QStringLiteral("20"));
    QCOMPARE(fields.value(QStringLiteral("DiffSet")).toInt(), int(inputs[7] * 10));
    QCOMPARE(fields.value(QStringLiteral("lblNrofSpeakers")).toString(),
             QString::number(values.value(QStringLiteral("speakers")).toInt()));
}

void TestCli::dutchNumbers() {
    const Result result =
        run({"calc", "--data-dir",   m_data.path(), "--locale",      "nl_NL", "--angle1",
             "90",   "--angle4",     "60",          "--sensitivity", "90",    "--rated-power",
             "6",    "--length",     "20",          "--width",       "10",    "--height",
             "4",    "--ear",        "1,5",         "--tap",         "1/2",   "--line",
             "70",   "--difference", "6,5"});
    QCOMPARE(result.err, QString());
    QCOMPARE(result.status, 0);
    const QStringList lines = result.out.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 6);
    QVERIFY2(lines[0].startsWith(QLatin1String("distance: ")) && lines[0].contains(u','),
             qPrintable(lines[0]));
    QCOMPARE(lines[4], QStringLiteral("power: 1,47"));
    QCOMPARE(lines[5], QStringLiteral("difference4: 6,5"));
}

void TestCli::messagesInJson() {
    const Result result = calc({"--height", "2.3", "--ear", "2.0", "--json"});
    QCOMPARE(result.status, 1);
    QCOMPARE(result.err, QStringLiteral("Input Error: Room Height and Ear Height difference too "
                                        "small ! Please adjust Room Height or Ear height\n"));
    const QJsonObject json = QJsonDocument::fromJson(result.out.toUtf8()).object();
    QVERIFY(json.value(QStringLiteral("values")).isNull());
    const QJsonArray messages = json.value(QStringLiteral("messages")).toArray();
    QCOMPARE(messages.size(), 1);
    const QJsonObject message = messages.first().toObject();
    QCOMPARE(message.value(QStringLiteral("title")).toString(), QStringLiteral("Input Error"));
    QCOMPARE(message.value(QStringLiteral("style")).toInt(), MsgStyle::Exclamation);
    QCOMPARE(message.value(QStringLiteral("text")).toString(),
             QStringLiteral("Room Height and Ear Height difference too small !\rPlease adjust "
                            "Room Height or Ear height"));
}

void TestCli::languages_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("offset");

    QTest::newRow("the language of Kvx.ini") << QStringList{} << int(LanguageOffsets::English);
    QTest::newRow("German instead of it")
        << QStringList{"--language", "German"} << int(LanguageOffsets::German);
    QTest::newRow("Dutch in lower case")
        << QStringList{"--language", "dutch"} << int(LanguageOffsets::Dutch);
}

void TestCli::languages() {
    QFETCH(QStringList, arguments);
    QFETCH(int, offset);

    // The user type is picked by its name in the chosen language, or as "user".
    const StringTable& strings = StringTable::builtIn();
    for (const QString& type : {strings.text(1056 + offset), QStringLiteral("user")}) {
        const Result result = calc(arguments + QStringList{"--type", type, "--json"});
        QCOMPARE(result.status, 0);
        const QJsonObject fields =
            QJsonDocument::fromJson(result.out.toUtf8()).object().value("fields").toObject();
        QCOMPARE(fields.value(QStringLiteral("txtDescription")).toString(),
                 strings.text(1004 + offset));
        QCOMPARE(fields.value(QStringLiteral("lstLsp")).toString(), strings.text(1056 + offset));
        QCOMPARE(fields.value(QStringLiteral("txtAngle1")).toString(), QStringLiteral("120"));
    }
}

void TestCli::startsWithoutKvxIni() {
    // The folder of a first start: the shipped catalogue's name, no Kvx.ini.
    QTemporaryDir fresh;
    QVERIFY(QFile::copy(m_data.filePath(QStringLiteral("Test.lsp")),
                        fresh.filePath(QStringLiteral("Basic.lsp"))));
    const Result result = run({"calc", "--data-dir", fresh.path(), "--locale", "C", "--json"});
    QCOMPARE(result.err, QString());
    QCOMPARE(result.status, 0);
    const QJsonObject fields =
        QJsonDocument::fromJson(result.out.toUtf8()).object().value("fields").toObject();
    QCOMPARE(fields.value(QStringLiteral("FileSel")).toString(), QStringLiteral("Basic.lsp"));
    QCOMPARE(fields.value(QStringLiteral("lstLsp")).toString(), kCatalogue[0].TypeName);
    QVERIFY(!QFileInfo::exists(fresh.filePath(QStringLiteral("Kvx.ini"))));
}

void TestCli::projectChangedSavedAndReadBack() {
    const QString first = path(QStringLiteral("hall.kvx"));
    const QString second = path(QStringLiteral("hall-longer.kvx"));
    Result result =
        calc({"--description", "Hall, east wing \"B\"", "--type", "Wide, 8", "--length", "12",
              "--width", "9", "--height", "3.5", "--ear", "1.2", "--save", first});
    QCOMPARE(result.err, QString());
    QCOMPARE(result.status, 0);

    result = calc({first, "--length", "15,5", "--tap", "1/4", "--line", "50", "--difference", "4.5",
                   "--save", second, "--json"});
    QCOMPARE(result.err, QString());
    QCOMPARE(result.status, 0);
    const QJsonObject saved = QJsonDocument::fromJson(result.out.toUtf8()).object();
    const QJsonObject fields = saved.value(QStringLiteral("fields")).toObject();
    QCOMPARE(fields.value(QStringLiteral("txtRoomLength")).toString(), QStringLiteral("15,5"));

    const QString record = QStringLiteral("\"%1\",\"%2\",\"%3\",\"%4\",\"%5\"\r\n");
    const QString expected =
        QStringLiteral("[Project Description]\r\nHall, east wing \"B\"\r\n[Loudspeaker Data]\r\n") +
        record.arg(kCatalogue[1].TypeName, "120", "80", "88.5", "10") +
        QStringLiteral("[Room Data]\r\n\"15,5\",\"9\",\"3.5\",\"1.2\"\r\n[Power Settings]\r\n") +
        QStringLiteral("\"1/4 P\",\" 50 V\",\"%1\"\r\n[Calculated Data]\r\n")
            .arg(fields.value(QStringLiteral("lblPower")).toString()) +
        record.arg(fields.value(QStringLiteral("lblDistance")).toString(),
                   fields.value(QStringLiteral("lblNrofSpeakers")).toString(),
                   fields.value(QStringLiteral("lblLevelDif1")).toString(), "4.5",
                   fields.value(QStringLiteral("lblLevel")).toString());
    QCOMPARE(QString::fromLatin1(readFile(second)), expected);

    // Read back, the project calculates to the same numbers.
    result = calc({second, "--json"});
    QCOMPARE(result.status, 0);
    const QJsonObject reread = QJsonDocument::fromJson(result.out.toUtf8()).object();
    QJsonObject rereadFields = reread.value(QStringLiteral("fields")).toObject();
    QJsonObject savedFields = fields;
    // The slider stays where it was: the level comes from the file's caption.
    rereadFields.remove(QStringLiteral("DiffSet"));
    savedFields.remove(QStringLiteral("DiffSet"));
    QCOMPARE(rereadFields, savedFields);
    QCOMPARE(reread.value(QStringLiteral("values")), saved.value(QStringLiteral("values")));
}

void TestCli::reportMatchesWindow_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("output");

    QTest::newRow("English, C locale") << "English"
                                       << "C"
                                       << "report.txt";
    QTest::newRow("Dutch, Dutch locale") << "Dutch"
                                         << "nl_NL"
                                         << "report.txt";
    QTest::newRow("German, a name without .txt") << "German"
                                                 << "de_DE"
                                                 << "report";
}

void TestCli::reportMatchesWindow() {
    QFETCH(QString, language);
    QFETCH(QString, locale);
    QFETCH(QString, output);

    test::Harness window{QLocale(locale)};
    QString whyNot;
    QVERIFY2(writeLspFile(window.path(QStringLiteral("Test.lsp")), kCatalogue, &whyNot),
             qPrintable(whyNot));
    QVERIFY(writeFile(window.path(QStringLiteral("Kvx.ini")),
                      iniFor(QStringLiteral("Test.lsp"), language)));
    const QString dataDir = window.dir.path();
    const QString project = path(QStringLiteral("report-%1.kvx").arg(language));
    const QStringList common = {"--data-dir", dataDir, "--locale", locale};
    Result result = run(QStringList{"calc", "--description", "Shop floor", "--type", "Horn 12",
                                    "--length", "30", "--width", "18", "--height", "6", "--ear",
                                    "1,6", "--tap", "1/2", "--save", project} +
                        common);
    QCOMPARE(result.status, 0);

    window.w->Form_Load(project);
    window.w->cmdCalc_Click();
    window.platform.pageWidth = 88.5;
    window.platform.date = QDate(2026, 2, 3);
    const QString windowReport = path(QStringLiteral("window-report.txt"));
    window.platform.saveAnswers << windowReport;
    window.w->mnuPrintFile_Click();
    QVERIFY(window.platform.messages.isEmpty());
    const QByteArray expected = readFile(windowReport);
    QVERIFY(expected.startsWith("\r\n\r\n\r\n"));

    const QString cliReport = path(output);
    QFile::remove(cliReport);
    result = run(QStringList{"report", project, "-o", cliReport, "--date", "2026-02-03",
                             "--page-width", "88.5"} +
                 common);
    QCOMPARE(result.err, QString());
    QCOMPARE(result.status, 0);
    QCOMPARE(readFile(cliReport), expected);

    // calc --report writes the same report.
    QFile::remove(cliReport);
    result = run(QStringList{"calc", project, "--report", cliReport, "--date", "2026-02-03",
                             "--page-width", "88,5"} +
                 common);
    QCOMPARE(result.status, 0);
    QCOMPARE(readFile(cliReport), expected);
}

void TestCli::pdfReport() {
    if (!QFileInfo::exists(QStringLiteral(KVX_BIN_DIR "/kvx-cli-print.so")))
        QSKIP("built without the desktop program, so without PDF reports");
    const QString project = path(QStringLiteral("pdf.kvx"));
    QCOMPARE(calc({"--type", "Ceiling 6", "--save", project}).status, 0);
    const QString pdf = path(QStringLiteral("report.pdf"));
    const Result result = run({"report", project, "-o", pdf, "--data-dir", m_data.path()});
    QCOMPARE(result.err, QString());
    QCOMPARE(result.status, 0);
    QVERIFY(readFile(pdf).startsWith("%PDF-"));
}

void TestCli::catalogueBuiltAndListedBack() {
    const QByteArray csv = "name,angle1,angle4,sensitivity,rated_power\n"
                           "\"Ceiling 6  \",90,60,90,6\n"
                           "\"Wide, 8 \"\"W\"\"\",120,80,88.5,10\n"
                           "\"B\xc3\xbcro-12    \",-5,32767,0.25,1.5\n";
    const QString in = path(QStringLiteral("types.csv"));
    const QString lsp = path(QStringLiteral("types.lsp"));
    QVERIFY(writeFile(in, csv));
    Result result = run({"catalogue", "build", in, "-o", lsp});
    QCOMPARE(result.err, QString());
    QCOMPARE(result.status, 0);
    QCOMPARE(QFileInfo(lsp).size(), 3 * kLspRecordSize);

    result = run({"catalogue", "list", lsp});
    QCOMPARE(result.status, 0);
    QCOMPARE(result.out.toUtf8(), csv);

    result = run({"catalogue", "list", lsp, "--json"});
    QCOMPARE(result.status, 0);
    const QJsonArray types = QJsonDocument::fromJson(result.out.toUtf8()).array();
    QCOMPARE(types.size(), 3);
    const QJsonObject third = types[2].toObject();
    QCOMPARE(third.value(QStringLiteral("name")).toString(), QStringLiteral("Büro-12    "));
    QCOMPARE(third.value(QStringLiteral("angle1")).toInt(), -5);
    QCOMPARE(third.value(QStringLiteral("angle4")).toInt(), 32767);
    QCOMPARE(third.value(QStringLiteral("sensitivity")).toDouble(), 0.25);
    QCOMPARE(third.value(QStringLiteral("rated_power")).toDouble(), 1.5);
}

void TestCli::badInput_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("error"); // a line standard error must hold
    QTest::addColumn<QString>("unwritten");

    const QString data = m_data.path();
    const QString foreign = path(QStringLiteral("foreign.kvx"));
    writeFile(foreign, "[Projektbeschreibung]\r\nHalle\r\n");
    const QString damaged = path(QStringLiteral("damaged.kvx"));
    writeFile(damaged, "[Project Description]\r\nHall\r\n[Room Data]\r\n\"20\",\"10\"\r\n");
    const QString badCsv = path(QStringLiteral("bad.csv"));
    writeFile(badCsv, "name,angle1,angle4,sensitivity,rated_power\n"
                      "\"Fine\",90,60,90,6\n"
                      "\"Far too long a name\",90,60,90,6\n");
    const QString never = path(QStringLiteral("never.out"));
    const QStringList calc = {"calc", "--data-dir", data, "--locale", "C"};

    QTest::newRow("an unknown type") << calc + QStringList{"--type", "Nope"} << 2
                                     << "kvx-cli: --type: no type \"Nope\" in Test.lsp" << never;
    QTest::newRow("a letter in the room length")
        << calc + QStringList{"--length", "12a"} << 1
        << "Kvx32: Invalid Character. Use:   +/-, 0...9, one decimal separator (dot or comma)."
        << never;
    QTest::newRow("a sign inside the rated power")
        << calc + QStringList{"--rated-power", "1-2"} << 1 << "Kvx32: Invalid Character." << never;
    QTest::newRow("a tap the list lacks") << calc + QStringList{"--tap", "1/3"} << 2
                                          << "kvx-cli: --tap: \"1/3\" is not one of" << never;
    QTest::newRow("a line voltage the list lacks")
        << calc + QStringList{"--line", "110"} << 2 << "kvx-cli: --line: \"110\" is not one of"
        << never;
    QTest::newRow("a difference above 12 dB")
        << calc + QStringList{"--difference", "12.1"} << 2
        << "kvx-cli: --difference: \"12.1\" is not a level from 0 to 12 dB" << never;
    QTest::newRow("a difference below 0 dB")
        << calc + QStringList{"--difference", "-0.1"} << 2 << "kvx-cli: --difference:" << never;
    QTest::newRow("a difference of 0 dB, refused by the checks")
        << calc + QStringList{"--difference", "0"} << 1
        << "Input Error: Difference Level should be positive !" << never;
    QTest::newRow("an ear height too close to the ceiling")
        << calc + QStringList{"--height", "1.6", "--ear", "1.5"} << 1
        << "Input Error: Room Height and Ear Height difference too small ! Please adjust Room "
           "Height or Ear height"
        << never;
    QTest::newRow("a 4 kHz angle of 270 degrees")
        << calc + QStringList{"--angle4", "270"} << 1
        << "Calculation Error: The calculated distance is not positive !" << never;
    QTest::newRow("a 4 kHz angle the solver gives up on")
        << calc + QStringList{"--angle4", "360"} << 1
        << "Calculation Error: Maximum number of iterations (100) exceeded" << never;
    QTest::newRow("a project that does not exist")
        << calc + QStringList{path(QStringLiteral("missing.kvx"))} << 2
        << "kvx-cli: the project file \"" + path(QStringLiteral("missing.kvx")) +
               "\" does not exist"
        << never;
    QTest::newRow("a project that is a folder")
        << calc + QStringList{m_work.path()} << 2 << "is a folder" << never;
    QTest::newRow("a project in another language")
        << calc + QStringList{foreign, "--save", never} << 2
        << "Fatal Error: Error in project file:  Last Record read: [Projektbeschreibung]" << never;
    QTest::newRow("a project that ends inside a section")
        << calc + QStringList{damaged, "--json"} << 2 << "Form Load Error: The project file"
        << never;
    QTest::newRow("a catalogue that is not there")
        << QStringList{"calc", "--data-dir", m_noCatalogue.path(), "--save", never} << 2
        << "Loudspeaker File Error: Loudspeaker Data File: " +
               QDir(m_noCatalogue.path()).filePath(QStringLiteral("Missing.lsp")) +
               " not found. Program aborted."
        << never;
    QTest::newRow("a data folder that is not there")
        << QStringList{"calc", "--data-dir", path(QStringLiteral("nowhere"))} << 2
        << "does not exist" << never;
    QTest::newRow("a project saved into a missing folder")
        << calc + QStringList{"--save", path(QStringLiteral("nowhere/p.kvx"))} << 2
        << "Save Error: The project was not saved to" << never;
    QTest::newRow("a report without its file")
        << QStringList{"report", foreign, "--data-dir", data} << 2
        << "kvx-cli: report: name the report file with -o OUT" << never;
    QTest::newRow("a report date that is no date")
        << QStringList{"report", foreign, "-o", never, "--date", "2026-13-01"} << 2
        << "kvx-cli: --date: \"2026-13-01\" is not a date written YYYY-MM-DD" << never;
    QTest::newRow("a page width of nothing")
        << calc + QStringList{"--report", never, "--page-width", "0"} << 2
        << "kvx-cli: --page-width:" << never;
    QTest::newRow("an unknown option") << calc + QStringList{"--colour", "red"} << 2
                                       << "kvx-cli: calc: Unknown option 'colour'." << never;
    QTest::newRow("an unknown language")
        << calc + QStringList{"--language", "Spanish"} << 2 << "kvx-cli: --language:" << never;
    QTest::newRow("an unknown locale")
        << calc + QStringList{"--locale", "xx_XX"} << 2 << "kvx-cli: --locale:" << never;
    QTest::newRow("no command") << QStringList{} << 2 << "kvx-cli: no command given" << never;
    QTest::newRow("an option before the command")
        << QStringList{"--json", "calc"} << 2 << "kvx-cli: the command comes first" << never;
    QTest::newRow("a CSV with a bad row")
        << QStringList{"catalogue", "build", badCsv, "-o", never} << 2 << badCsv + ":3: " << never;
    QTest::newRow("a CSV that is not there")
        << QStringList{"catalogue", "build", path(QStringLiteral("none.csv")), "-o", never} << 2
        << "cannot be read" << never;
    QTest::newRow("a data file that is not there")
        << QStringList{"catalogue", "list", path(QStringLiteral("none.lsp"))} << 2
        << "cannot be read" << never;
}

void TestCli::badInput() {
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, error);
    QFETCH(QString, unwritten);

    const Result result = run(arguments);
    QVERIFY2(result.err.contains(error), qPrintable(result.err));
    QCOMPARE(result.status, status);
    QVERIFY(!QFileInfo::exists(unwritten));
}

void TestCli::versionAndHelp() {
    Result result = run({"--version"});
    QCOMPARE(result.status, 0);
    QCOMPARE(result.out, QStringLiteral("kvx-cli " KVX_VERSION "\n"));

    for (const QStringList& help : {QStringList{"--help"}, QStringList{"calc", "--help"},
                                    QStringList{"catalogue", "build", "-h"}}) {
        result = run(help);
        QCOMPARE(result.status, 0);
        QVERIFY2(result.out.contains(QLatin1String("kvx-cli")), qPrintable(result.out));
    }
}

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
