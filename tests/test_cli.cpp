// kvx-cli as a process: the worked examples in plain and JSON form against the
// core's own numbers, a project opened, changed, saved and read back, the
// report against the window's own, a catalogue built and listed back, and bad
// input of every kind with its exit status, in one language a run. No
// command writes the data folder's Kvx.ini, nor any file when it fails.
#include "core/base/string_table.h"
#include "core/catalogue/lsp_record.h"
#include "core/ui/main_window.h"
#include "support/cli.h"
#include "support/cli_table.h"
#include "support/compare.h"
#include "support/files.h"

#include <QDir>
#include <QRegularExpression>
#include <QTest>

using namespace kvx;

namespace {

// The spacings the model finds for the worked examples: 4 m room, ears at
// 1.5 m, 60 degrees at 4 kHz, 6 and 6.5 dB; 3 m room, ears at 1.2 m, 80
// degrees, 3 dB.
constexpr double kSpacing6dB = 3.6084354968947219;
constexpr double kSpacing65dB = 3.8452390763784372;
constexpr double kSpacingWide = 2.3894644475489559;

const QString kData = QStringLiteral(KVX_SOURCE_DIR "/tests/data/cli/");
// The worked examples' 20 x 10 m room and the loudspeaker of its user type.
const QString kRoom = QStringLiteral("--angle1 90 --angle4 60 --sensitivity 90 --rated-power 6 "
                                     "--length 20 --width 10 --height 4 --ear 1.5 ");

using Result = test::CliResult;

// A command line written as one string; '|' stands for a space inside an argument.
QStringList args(const QString& line) {
    return line.split(u' ').replaceInStrings(QStringLiteral("|"), QStringLiteral(" "));
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT

private:
    Result run(const QStringList& arguments) { return test::runCli(m_work.path(), arguments); }
    Result calc(const QStringList& arguments) {
        return run(QStringList{"calc", "--data-dir", m_data.path(), "--locale", "C"} + arguments);
    }
    QString path(const QString& name) const { return m_work.filePath(name); }
    // @data, @german, @work and @src/ as in bad-input.tsv.
    QString expand(QString text) const {
        return text.replace("@data", m_data.path())
            .replace("@german", m_german.path())
            .replace("@work", m_work.path())
            .replace("@src/", kData);
    }

    QTemporaryDir m_data;   // the test catalogue and a Kvx.ini naming it
    QTemporaryDir m_german; // the same, the language German
    QTemporaryDir m_work;   // projects, reports and CSV files
    QStringList m_dataFiles;
    QStringList
        m_english; // the English of every text kvx-cli words itself, cut at its placeholders

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(test::writeDataFolder(m_data.path(), "English"));
        QVERIFY(test::writeDataFolder(m_german.path(), "German"));
        m_dataFiles = test::snapshot(m_data.path(), true);
        QList<int> ids{1200, 1202, 1203, 1731, 1732, 1753, 1755, 1756, 1757, 1768, 1899};
        for (int id = 1536; id <= 1568; ++id)
            ids << id;
        m_english = QStringList{"Unknown option", "Missing value"};
        for (int id : std::as_const(ids)) {
            for (const QString& part : StringTable::builtIn().text(id).split(
                     QRegularExpression(QStringLiteral("%\\d")))) {
                if (part.trimmed().size() >= 5)
                    m_english << part.trimmed();
            }
        }
    }
    // Whatever the command did, the user's configuration is as it was.
    void cleanup() { QCOMPARE(test::snapshot(m_data.path(), true), m_dataFiles); }
    void workedExamples_data();
    void workedExamples();
    void projectChangedSavedAndReadBack();
    void layoutSavedAndReadBack();
    void reportMatchesWindow_data();
    void reportMatchesWindow();
    void catalogueBuiltAndListedBack();
    void commonOptionsOnEveryCommand_data();
    void commonOptionsOnEveryCommand();
    void badInput_data();
    void badInput();
    void overwriteReplacesAProject();
    void helpOnEveryCommand();
    void plan_data();
    void plan();
    void keptSpacing();
    void planDrawings_data();
    void planDrawings();
};

void TestCli::workedExamples_data() {
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QString>("shown"); // distance, speakers, level, differences, power
    QTest::addColumn<int>("evaluations");
    QTest::addColumn<double>("distance"); // unrounded, as the model finds it
    QTest::newRow("20 x 10 m, 90 and 60 degrees, 1/1 P on 100 V")
        << kRoom + "--locale C --type user"
        << "3.6 18 92 2.9 6 6" << 2 << kSpacing6dB;
    QTest::newRow("the same room, 1/2 P on 70 V by the item texts")
        << kRoom + "--locale C --tap 1/2|P --line |70|V"
        << "3.6 18 86 2.9 1.47 6" << 2 << kSpacing6dB;
    QTest::newRow("120 and 80 degrees, height 3, difference 3 dB")
        << "--angle1 120 --angle4 80 --sensitivity 88 --rated-power 10 --length 20 --width 10 "
           "--height 3 --ear 1.2 --difference 3 --locale C"
        << "2.4 32 96 1.5 10 3" << 16 << kSpacingWide;
    QTest::newRow("Dutch numbers in German, 1/2 P on 70 V, difference 6.5 dB")
        << QString(kRoom).replace("1.5", "1,5") +
               "--locale nl_NL --language German --tap 1/2 --line 70 --difference 6,5"
        << "3,8 15 86 3,2 1,47 6,5" << 8 << kSpacing65dB;
    // Read whatever the language; the figures are those the file keeps, the
    // spacing from the model's definitions worked out apart from the program.
    QTest::newRow("the shipped meeting room, written in English, in German")
        << KVX_SOURCE_DIR "/examples/meeting-room.kvx --language German --locale C"
        << "3.3 4 88 3.2 1.5 6" << 11 << 3.293462108226599;
    // Offset rows: the spacing, its 5 evaluations and the 5 x 3 layout of 14
    // worked out apart from the program from the offset lattice's definition.
    QTest::newRow("20 x 10 m, offset rows") << kRoom + "--locale C --type user --pattern offset"
                                            << "4.1 14 92 2.8 6 6" << 5 << 4.1497008214289304;
    QTest::newRow("20 x 10 m, offset rows, spacing kept: the same 14")
        << kRoom + "--locale C --fit spacing --pattern offset"
        << "4.1 14 92 2.8 6 6" << 5 << 4.1497008214289304;
    // The slider's rounding, not truncation: 6.49 dB is slid to 6.5.
    QTest::newRow("difference 6.49 dB slides to 6.5")
        << kRoom + "--locale C --tap 1/2 --line 70 --difference 6.49"
        << "3.8 15 86 3.2 1.47 6.5" << 8 << kSpacing65dB;
}

void TestCli::workedExamples() {
    QFETCH(QString, arguments);
    QFETCH(QString, shown);
    QFETCH(int, evaluations);
    QFETCH(double, distance);
    QStringList command = args("calc --data-dir " + m_data.path() + u' ' + arguments);
    QString plain = "distance: %1\nspeakers: %2\nlevel: %3\ndifference1: %4\npower: %5\n"
                    "difference4: %6\n";
    for (const QString& value : shown.split(u' '))
        plain = plain.arg(value);
    Result result = run(command);
    QCOMPARE(result.err, QString());
    QCOMPARE(result.out, plain);
    QCOMPARE(result.status, 0);

    // The unrounded values are the model's, as the calculation's own tests
    // know them.
    result = run(command << QStringLiteral("--json"));
    const QJsonObject values = result.json("values");
    KVX_COMPARE_NEAR(values["distance"].toDouble(), distance, 1e-9);
    QCOMPARE(std::tuple(values["evaluations"].toInt(), values["speakers"].toInt(),
                        result.json().value("pattern").toString()),
             std::tuple(evaluations, shown.section(u' ', 1, 1).toInt(),
                        QString(arguments.contains("--pattern offset") ? "offset" : "square")));
}

void TestCli::projectChangedSavedAndReadBack() {
    // The command runs in the work folder.
    const Result saved = calc(args("--description Hall,|east|wing|\"B\" --type Wide,|8 --length 12 "
                                   "--width 9 --height 3.5 --ear 1.2 --save hall.kvx"));
    QCOMPARE(saved.status, 0);
    const Result changed = calc(args("hall.kvx --length 15,5 --tap 1/4 --line 50 --difference 4.5 "
                                     "--json --save longer.kvx"));
    QCOMPARE(changed.err, QString());
    QCOMPARE(test::readBytes(path(QStringLiteral("longer.kvx"))),
             test::readBytes(kData + "hall.kvx"));
    // Read back and saved again, it calculates the same and keeps every byte.
    const Result reread = calc(args("longer.kvx --json --save again.kvx"));
    QCOMPARE(reread.json("values"), changed.json("values"));
    QCOMPARE(test::readBytes(path(QStringLiteral("again.kvx"))),
             test::readBytes(kData + "hall.kvx"));
}

void TestCli::layoutSavedAndReadBack() {
    // --save keeps the pattern and the fit; the project reads them back.
    const Result saved =
        calc(args("--type Wide,|8 --pattern offset --fit spacing --json --save rows.kvx"));
    QCOMPARE(saved.status, 0);
    QVERIFY(test::readBytes(path(QStringLiteral("rows.kvx")))
                .endsWith("[Layout]\r\n\"offset\",\"spacing\"\r\n"));
    const Result reread = calc(args("rows.kvx --json"));
    QCOMPARE(reread.json().value("pattern").toString(), "offset");
    QCOMPARE(reread.json("values"), saved.json("values"));
    // Picked back to the square grid and the nearest count, the section goes.
    QCOMPARE(calc(args("rows.kvx --pattern square --fit nearest --save square.kvx")).status, 0);
    QVERIFY(!test::readBytes(path(QStringLiteral("square.kvx"))).contains("[Layout]"));
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
    QVERIFY(test::writeDataFolder(window.dir.path(), setting[0]));
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
    const QByteArray expected = test::readBytes(path(QStringLiteral("window.txt")));

    for (const QString& command :
         {"report " + project + " -o ", "calc " + project + " --report "}) {
        QFile::remove(path(setting[2]));
        const Result result =
            run(args(command + setting[2] + " --date 2026-02-03 --page-width 88,5" + common));
        QCOMPARE(result.err, QString());
        QCOMPARE(result.status, 0);
        QCOMPARE(test::readBytes(path(setting[2])), expected);
    }
    if (QFileInfo::exists(
            QStringLiteral(KVX_BIN_DIR "/kvx-cli-print.so"))) { // with the desktop program
        QCOMPARE(run(args("report " + project + " -o report.pdf" + common)).err, QString());
        QVERIFY(test::readBytes(path(QStringLiteral("report.pdf"))).startsWith("%PDF-"));
    }
}

void TestCli::catalogueBuiltAndListedBack() {
    const Result built = run({"catalogue", "build", kData + "types.csv", "-o", path("types.lsp")});
    QCOMPARE(built.err, QString());
    QCOMPARE(built.status, 0);
    QCOMPARE(QFileInfo(path(QStringLiteral("types.lsp"))).size(), 3 * kLspRecordSize);
    QCOMPARE(run({"catalogue", "list", path("types.lsp")}).out.toUtf8(),
             test::readBytes(kData + "types.csv"));
}

void TestCli::commonOptionsOnEveryCommand_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("out"); // the start of standard output
    const auto row = [](const char* name, const char* command, const char* out) {
        QTest::newRow(name) << command << out;
    };
    row("calc", "calc --type Horn|12", "{");
    row("report", "report @src/hall.kvx -o @work/common.txt", "{");
    row("catalogue list, a bare name found in the data folder", "catalogue list Test.lsp", "[");
    row("catalogue build", "catalogue build @src/types.csv -o @work/common.lsp",
        "@work/common.lsp: 3 types written");
}

void TestCli::commonOptionsOnEveryCommand() {
    QFETCH(QString, command);
    QFETCH(QString, out);
    const Result result =
        run(args(expand(command + " --data-dir @data --language English --locale C --json")));
    QCOMPARE(result.err, QString());
    QCOMPARE(result.status, 0);
    QVERIFY2(result.out.startsWith(expand(out)), qPrintable(result.out));
}

void TestCli::badInput_data() {
    test::addRowsFrom(QStringLiteral("bad-input.tsv"), {"arguments", "status", "error", "german"});
}

// Bad input is said once, with its exit status, and nothing is written. Where
// a German text is given the same run is also made in German, by --language
// and by Kvx.ini's language: it speaks German alone, with the same status.
void TestCli::badInput() {
    QFETCH(QString, arguments);
    QFETCH(QString, status);
    QFETCH(QString, error);
    QFETCH(QString, german);
    const QStringList before = test::snapshot(m_work.path(), true);
    const Result result = run(args(expand(arguments)));
    QVERIFY2(result.err.count(expand(error)) == 1, qPrintable(result.err));
    QCOMPARE(result.status, status.toInt());
    QVERIFY(german.isEmpty() || arguments.contains("--data-dir @data"));
    for (const char* data : {"--data-dir @data --language German", "--data-dir @german"}) {
        if (german.isEmpty())
            break;
        const Result inGerman =
            run(args(expand(QString(arguments).replace("--data-dir @data", data))));
        QVERIFY2(inGerman.err.contains(german), qPrintable(inGerman.err));
        QCOMPARE(inGerman.status, result.status);
        for (const QString& part : std::as_const(m_english))
            QVERIFY2(!inGerman.err.contains(part), qPrintable(part + " in " + inGerman.err));
    }
    QCOMPARE(test::snapshot(m_work.path(), true), before);
}

// Given before or after the command, --overwrite lets -o replace a project.
void TestCli::overwriteReplacesAProject() {
    const QByteArray project = test::readBytes(kData + "hall.kvx");
    for (const QString& command : QStringList{"report @src/hall.kvx -o @work/report.txt",
                                              "plan @src/hall.kvx -o @work/positions.csv"}) {
        const QString target = expand(command.section(u' ', -1));
        QVERIFY(test::writeBytes(target, project));
        const QString common = QStringLiteral(" --data-dir @data --locale C");
        Result result = run(args(expand(command + common)));
        QVERIFY2(result.status == 2 && result.err.contains("only with --overwrite"),
                 qPrintable(result.err));
        QCOMPARE(test::readBytes(target), project);
        // Common options before the command word, as after it.
        result = run(args(expand("--overwrite" + common + u' ' + command)));
        QCOMPARE(result.err, QString());
        QCOMPARE(result.status, 0);
        QVERIFY(test::readBytes(target) != project);
    }
}

// Help is there on every command, with exit status 0.
void TestCli::helpOnEveryCommand() {
    for (const QStringList& help :
         {QStringList{"catalogue", "--help"}, QStringList{"catalogue", "build", "--help"},
          QStringList{"building", "-h"}, QStringList{"system", "--help"}}) {
        const Result r = run(help);
        QCOMPARE(r.status, 0);
        QVERIFY2(r.out.startsWith("Usage"), qPrintable(r.out));
    }
}

void TestCli::planDrawings_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QByteArray>("begins"); // the format's signature
    QTest::addColumn<QString>("holds");     // a text of the drawing, or the PDF's pages
    const auto row = [](const char* title, const char* name, const char* language,
                        const QByteArray& begins, const char* holds) {
        QTest::newRow(title) << QString(name) << QString(language) << begins << QString(holds);
    };
    row("SVG in English", "plan.svg", "English", "<?xml", "18 loudspeakers");
    row("SVG in German", "plan.svg", "German", "<?xml", "18 Lautsprecher");
    row("PNG", "plan.png", "English", "\x89PNG", "");
    row("design PDF: the report, the plan, both maps, the system page", "plan.pdf", "English",
        "%PDF-", "5 pages");
    row("DXF", "plan.dxf", "English", "999\ndxflib", "LOUDSPEAKERS");
}

void TestCli::planDrawings() {
    QFETCH(QString, name);
    QFETCH(QString, language);
    QFETCH(QByteArray, begins);
    QFETCH(QString, holds);
    const QString out = path(name);
    const Result result = run(args("plan --data-dir " + m_data.path() + " --locale C --type user " +
                                   kRoom + "--language " + language + " -o " + out));
    QCOMPARE(result.err, QString());
    QCOMPARE(result.status, 0);
    const QByteArray bytes = test::readBytes(out);
    QVERIFY(bytes.startsWith(begins));
    if (name.endsWith(QLatin1String(".pdf")))
        QCOMPARE(QStringLiteral("%1 pages")
                     .arg(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") +
                          bytes.count("/Type /Page>") + bytes.count("/Type /Page ")),
                 holds);
    else
        QVERIFY(QString::fromUtf8(bytes).contains(holds));
    QVERIFY(QFile::remove(out));
}

void TestCli::plan_data() {
    // The plain output whole (the layout lines, the figures) and, where one
    // is kept, the JSON: the core's plan and map of the same calculation,
    // number for number.
    QTest::addColumn<QString>("options");
    // Every figure of each golden worked out anew by tests/data/check_goldens.py.
    QTest::addColumn<QString>("golden"); // under tests/data/cli, .txt and .json
    QTest::addColumn<int>("count");
    QTest::newRow("20 x 10 m, default samples") << "--locale C"
                                                << "plan-default" << 18;
    QTest::newRow("margin 1 m, 4 samples") << "--locale C --margin 1 --samples 4"
                                           << "plan-margin" << 18;
    QTest::newRow("Dutch numbers, margin written with a comma") << "--locale nl_NL --margin 0,5"
                                                                << "plan-dutch" << 18;
    QTest::newRow("one loudspeaker, 3 x 2 m") << "--locale C --length 3 --width 2"
                                              << "plan-one" << 1;
    // 5, 4, 5 loudspeakers in 3 rows; the figures checked against
    // tests/reference/plan_reference.py, a sum over the 14 at every sample point.
    QTest::newRow("offset rows") << "--locale C --pattern offset"
                                 << "plan-offset" << 14;
}

void TestCli::keptSpacing() {
    // The meeting room is calculated at 3.29 m and laid out 4 x 3 m by the
    // nearest count; keeping the spacing lays it out 2.67 x 3 m, 3 x 2.
    const QString meeting = QStringLiteral(KVX_SOURCE_DIR "/examples/meeting-room.kvx");
    const Result result = run(
        QStringList{"plan", "--data-dir", m_data.path(), meeting, "--fit", "spacing", "--json"});
    QCOMPARE(result.status, 0);
    const QJsonObject layout = result.json("layout");
    QCOMPARE(std::tuple(layout["columns"].toInt(), layout["rows"].toInt(), layout["count"].toInt(),
                        layout["pattern"].toString()),
             std::tuple(3, 2, 6, QString("square")));
    const double spacing = 3.293462108226599;
    QVERIFY(layout["spacingX"].toDouble() <= spacing && layout["spacingY"].toDouble() <= spacing);
}

void TestCli::plan() {
    QFETCH(QString, options);
    QFETCH(QString, golden);
    QFETCH(int, count);
    const QString csv = path(QStringLiteral("positions.csv"));
    QFile::remove(csv);
    const QStringList command =
        args("plan --data-dir " + m_data.path() + " --type user " + kRoom + options + " -o " + csv);
    Result result = run(command);
    QCOMPARE(result.err, QString());
    QCOMPARE(result.status, 0);
    QCOMPARE(result.out.replace(m_work.path(), "@work"),
             QString::fromUtf8(test::readBytes(kData + golden + ".txt")));
    QCOMPARE(test::readBytes(csv).count('\n'), count + 1);

    result = run(QStringList(command) << QStringLiteral("--json"));
    QCOMPARE(result.status, 0);
    const QByteArray json = test::readBytes(kData + golden + ".json");
    if (json.isEmpty())
        QCOMPARE(result.json().value("layout").toObject().value("count").toInt(), count);
    else
        QCOMPARE(result.json(), QJsonDocument::fromJson(json).object());
}

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
