// The report: the text file byte for byte, the fonts the printer sees, and the
// commands' dialogs and failures.
#include "core/project/project_settings.h"
#include "core/report/text_report.h"
#include "core/ui/main_window.h"
#include "core/ui/replace_guard.h"
#include "support/files.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTest>

using namespace kvx;
using namespace kvx::test;

namespace {

// Expected listings and the report's labels live in tests/data/report.
const StringTable& reportStrings() {
    static const StringTable table =
        StringTable::fromTsv(QString::fromUtf8(testData(QStringLiteral("report/strings.tsv"))));
    return table;
}

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

const QString kEnglishPrompt = QStringLiteral("Enter a characterization of the project");
const QString kGermanPrompt = QStringLiteral("Beschreibung des Projekts eingeben");

// A project's field values, | between them, in the order the report prints
// them: description; length, width, height, ear height; type, angles at 1 and
// 4 kHz, sensitivity, rated power; speaker and amplifier tap, speaker power;
// distance, number of speakers, direct level, difference levels at 1 and 4 kHz.
const QString kEnglishProject =
    QStringLiteral("Conference room, ground floor|12|12.5|3|1.2|"
                   "KVX-620    |180|90|90|12|1/2 P|100 V|6|3.5|12|88|4.1|6.0");

// Fills the fields without running their event handlers: the report reads
// them as they stand.
void fill(FrmKvx& w, const QString& project) {
    const QStringList values = project.split(QLatin1Char('|'));
    Control* const fields[] = {
        &w.txtDescription, &w.txtRoomLength, &w.txtRoomWidth, &w.txtRoomHeight,  &w.txtEarHeight,
        &w.lstLsp,         &w.txtAngle1,     &w.txtAngle4,    &w.txtSensitivity, &w.txtMaxPower,
        &w.lstLspTap,      &w.lstAmpTap,     &w.lblPower,     &w.lblDistance,    &w.lblNrofSpeakers,
        &w.lblLevel,       &w.lblLevelDif1,  &w.txtLevelDif4};
    for (Control* c : w.controls())
        c->onChange = c->onClick = c->onGotFocus = nullptr;
    for (qsizetype i = 0; i < values.size(); ++i)
        fields[i]->setText(values[i]);
}

const QByteArray kProjectFile = "[Project Description]\r\nHall\r\n";

// A main window holding a project, with the report's global texts; the
// project was saved as hall.kvx.
struct ReportHarness : Harness {
    explicit ReportHarness(const QString& project = kEnglishProject, QLocale locale = QLocale::c(),
                           int offset = 0, const QString& prompt = kEnglishPrompt,
                           const StringTable& strings = reportStrings())
        : Harness(std::move(locale), strings) {
        kvx.LanguageOffset = offset;
        kvx.texts.ProgramTitle = QStringLiteral("KVX");
        kvx.texts.VersionText = QStringLiteral("Version 2.1");
        kvx.texts.DescriptionPrompt = prompt;
        fill(*w, project);
        dialog().fileName = path(QStringLiteral("hall.kvx"));
        writeBytes(dialog().fileName, kProjectFile);
    }
    CommonDialog& dialog() { return w->CmDialog1; }
    // The report's file must leave the project file, and the name Save uses, alone.
    void checkProjectUntouched() {
        QCOMPARE(dialog().fileName, path(QStringLiteral("hall.kvx")));
        QCOMPARE(readBytes(dialog().fileName), kProjectFile);
    }
};

} // namespace

Q_DECLARE_METATYPE(std::optional<double>)

class TestReport : public QObject {
    Q_OBJECT
private Q_SLOTS:

    void textFileByteForByte_data() {
        QTest::addColumn<QLocale>("locale");  // German: the German texts
        QTest::addColumn<QString>("project"); // field values, | between them
        QTest::addColumn<std::optional<double>>("pageWidth");
        QTest::addColumn<bool>("builtInTable");
        // The layout read by eye; the total power checked by tests/data/check_goldens.py.
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("offset"); // the project's pattern: offset rows

        const QLocale c = QLocale::c();
        const std::optional<double> width = 96.0;
        // Among others: 12 and 12.5 at columns 63 and 64, "1/2" at 62 to 64, a total
        // power of 72 from 12 speakers of 6 W, the foot's 44.5 rounded down to even.
        QTest::newRow("English, 96 units")
            << c << kEnglishProject << width << false << "english.txt" << false;
        QTest::newRow("English, the program's string table")
            << c << kEnglishProject << width << true << "english.txt" << false;
        // Offset rows, and only they, add a line after the number of speakers.
        QTest::newRow("English, offset rows")
            << c << kEnglishProject << width << true << "offset_rows.txt" << true;
        // A length of 70 characters goes to column 1 of the next line; a width that
        // reaches the unit column pushes the unit down, a distance that ends just
        // before it does not; the first point counts; odd taps print unchanged; the
        // foot's 45.5 rounds up to even.
        QTest::newRow("values out of the usual columns, 98 units")
            << c
            << "Conference room, ground floor|" + QString(70, QLatin1Char('7')) +
                   "|1234567890.5|8.25|1.2.3|KVX-620    |180|90|90|12|"
                   "1/4 P |70 V|6|123456.7|12|88|4.1|6.0"
            << std::optional(98.0) << false << "odd_values.txt" << false;
        // A comma is no point for the Point rule; the placeholder description
        // prints as an empty line; a label without German text prints in English.
        QTest::newRow("German, German locale, placeholder description")
            << QLocale(QLocale::German, QLocale::Germany)
            << kGermanPrompt + "|8,25|12.5|3,2|1,2|Benutzer Typ|120|60|89|6|"
                               "1/1 P| 70 V|2,94|3,5|12| 85|4,1|6,0"
            << width << false << "german.txt" << false;
        // No printer: an A4 page's width. Empty type and opening angle keep their
        // lines. Characters outside Windows-1252 become "?", one for each.
        QTest::newRow("English, Dutch locale, no printer, empty fields")
            << QLocale(QLocale::Dutch, QLocale::Netherlands)
            << "Vergaderzaal – verdieping 1, € 5/m², Łódź \U0001F50A|12|12,5|2,7|1,2|||60|87|15|"
               "1/4 P| 50 V|3,75|4,2|9|84|3,9|6,0"
            << std::optional<double>() << false << "dutch_locale.txt" << false;
    }

    void textFileByteForByte() {
        QFETCH(QLocale, locale);
        const bool german = locale.language() == QLocale::German;
        QFETCH(QString, project);
        QFETCH(std::optional<double>, pageWidth);
        QFETCH(bool, builtInTable);
        QFETCH(QString, expected);
        QFETCH(bool, offset);

        ReportHarness h(project, locale, german ? 4000 : 0, german ? kGermanPrompt : kEnglishPrompt,
                        builtInTable ? StringTable::builtIn() : reportStrings());
        if (offset)
            h.w->setLayoutSettings({Pattern::Offset, Fit::Nearest});
        h.platform.pageWidth = pageWidth;
        const QString path = h.path(QStringLiteral("report.txt"));
        QVERIFY(writeBytes(path, QByteArray(5000, 'x'))); // replaced without a question
        h.platform.saveAnswers << path;
        h.w->mnuPrintFile_Click();

        QCOMPARE(h.platform.messages.size(), 0);
        QCOMPARE(readBytes(path).split('\n'), testData("report/" + expected).split('\n'));
        QCOMPARE(filesIn(h.dir.path()), (QStringList{"hall.kvx", "report.txt"}));
        h.checkProjectUntouched();
    }

    // Every writer but the project's own Save asks before it replaces a
    // project or a building, whatever the file's name; No is the default.
    void replacingAProjectAsks_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("with"); // Replacement
        QTest::addColumn<bool>("asked");
        const QByteArray project = testData("project/English.kvx");
        const QByteArray building = testData("cli/building-hand.kvxb");
        const int report = int(Replacement::Report), drawing = int(Replacement::Export);
        QTest::newRow("a report over a project named .txt") << "p.txt" << project << report << true;
        QTest::newRow("a German project")
            << "p.csv" << testData("project/German.kvx") << drawing << true;
        QTest::newRow("an export over a building named .csv")
            << "b.csv" << building << drawing << true;
        QTest::newRow("an empty file named .kvx") << "e.kvx" << QByteArray("") << drawing << true;
        QTest::newRow("an earlier export")
            << "x.csv" << QByteArray("number,x,y\n") << drawing << false;
        QTest::newRow("no file yet") << "n.csv" << QByteArray() << drawing << false;
    }
    void replacingAProjectAsks() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(int, with);
        QFETCH(bool, asked);
        Harness h; // the program's own string table
        const QString path = h.path(name);
        QVERIFY(bytes.isNull() || writeBytes(path, bytes));
        for (const MsgResult answer : {MsgResult::No, MsgResult::Yes}) {
            h.platform.clear();
            if (asked)
                h.platform.answers << answer;
            QCOMPARE(mayReplace(h.kvx, path, "Export", Replacement(with)),
                     !asked || answer == MsgResult::Yes);
            QCOMPARE(messageLog(h.platform),
                     asked ? QStringList{QStringLiteral("Export (292): %1 holds a KVX project. "
                                                        "Replace the project with the %2?")
                                             .arg(QDir::toNativeSeparators(path),
                                                  with == int(Replacement::Report) ? "report"
                                                                                   : "export")}
                           : QStringList());
        }
        // The text report itself: No keeps the project.
        if (name == "p.txt") {
            ReportHarness r;
            QVERIFY(writeBytes(r.path(name), bytes));
            r.platform.answers << MsgResult::No;
            r.platform.saveAnswers << r.path(name);
            r.w->mnuPrintFile_Click();
            QCOMPARE(readBytes(r.path(name)), bytes);
            QCOMPARE(r.platform.messages.size(), 1);
        }
    }

    void textFileNotWritten_data() {
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QString>("cleared"); // "results", or the speaker power alone
        QTest::addColumn<std::optional<double>>("pageWidth");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("reason"); // in the one message; empty: no message
        const std::optional<double> a4 = 96.0;
        QTest::newRow("dialog cancelled") << true << "" << a4 << QString() << QString();
        QTest::newRow("results cleared") << false << "results" << a4 << QString() << "total power";
        QTest::newRow("speaker power empty, the count shown")
            << false << "power" << a4 << QString() << "total power";
        QTest::newRow("page width of zero")
            << false << "" << std::optional(0.0) << QString() << "page width";
        QTest::newRow("folder that does not exist")
            << false << "" << a4 << QStringLiteral("missing/deeper") << "cannot be written";
    }

    void textFileNotWritten() {
        QFETCH(bool, cancel);
        QFETCH(QString, cleared);
        QFETCH(std::optional<double>, pageWidth);
        QFETCH(QString, folder);
        QFETCH(QString, reason);

        ReportHarness h;
        if (cleared == "results")
            h.w->ClearResults();
        else if (cleared == "power")
            h.w->lblPower.setText(QString());
        h.platform.pageWidth = pageWidth;
        const QString path = h.path(folder.isEmpty() ? QStringLiteral("r.txt") : folder + "/r.txt");
        const QByteArray before = "an older report\r\n";
        if (folder.isEmpty())
            QVERIFY(writeBytes(path, before));
        h.dialog().filterIndex = 2;
        h.w->mnuPrintSetup_Click();
        h.platform.saveAnswers << (cancel ? std::nullopt : std::optional(path));
        h.w->mnuPrintFile_Click();

        // The settings the command does not make carry over, the printer setup's
        // flag included; the name offered is the project's, as a text file.
        const CommonDialog& shown = h.platform.dialogsShown.value(0);
        QCOMPARE((QStringList{shown.filter, shown.defaultExt, shown.initDir, shown.fileName,
                              QString::number(shown.flags), QString::number(shown.filterIndex)}),
                 (QStringList{"Text File (*.txt)", "txt", h.kvx.programFolder, h.path("hall.txt"),
                              QString::number(DialogFlags::PrintSetup), "2"}));
        QCOMPARE(h.platform.messageTitles(),
                 reason.isEmpty() ? QStringList() : QStringList{"Print to file"});
        if (!reason.isEmpty())
            QVERIFY2(h.platform.messages.first().text.contains(reason),
                     qPrintable(h.platform.messages.first().text));
        // An old file stays as it was, with no temporary file beside it.
        QCOMPARE(readBytes(path), folder.isEmpty() ? before : QByteArray());
        QCOMPARE(filesIn(h.dir.path()),
                 (folder.isEmpty() ? QStringList{"hall.kvx", "r.txt"} : QStringList{"hall.kvx"}));
        h.checkProjectUntouched();
    }

    void printedReport_data() {
        QTest::addColumn<bool>("printer");
        QTest::addColumn<bool>("cleared");
        QTest::addColumn<MsgResult>("answer"); // to the offer of a PDF file
        QTest::addColumn<QString>("message");  // "title (style): text"; empty: none
        QTest::addColumn<int>("statements");   // -1: no document
        const QString pdfOffer = QStringLiteral(
            " (36): No printer is installed. Save the report as a PDF file instead?");
        QTest::newRow("whole report") << true << false << MsgResult::Ok << QString() << 48;
        QTest::newRow("results cleared: rows up to the number of speakers, then Print error")
            << true << true << MsgResult::Ok << " (0): Print error" << 38;
        QTest::newRow("no printer, PDF accepted")
            << false << false << MsgResult::Yes << pdfOffer << 48;
        QTest::newRow("no printer, PDF declined")
            << false << false << MsgResult::No << pdfOffer << -1;
    }

    void printedReport() {
        QFETCH(bool, printer);
        QFETCH(bool, cleared);
        QFETCH(MsgResult, answer);
        QFETCH(QString, message);
        QFETCH(int, statements);

        ReportHarness h;
        h.platform.hasPrinter = printer;
        if (cleared)
            h.w->ClearResults();
        const QString pdf = h.path(QStringLiteral("hall.pdf"));
        h.platform.answers << answer;
        h.platform.saveAnswers << pdf;
        h.w->mnuReport_Click();

        QCOMPARE(messageLog(h.platform), message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(h.platform.pdfPaths, answer == MsgResult::Yes ? QStringList{pdf} : QStringList());
        QCOMPARE(h.platform.pages.size(), statements < 0 ? 0 : 1);
        if (statements < 0)
            return;
        const PrintedPage& page = h.platform.pages.first();
        QCOMPARE(page.statements.size(), statements);
        QCOMPARE(page.ended, statements == 48); // an unfinished document is not ended
        if (statements < 48)
            return;

        // The printer gets the text file's lines.
        QByteArray laidOut;
        for (const ReportStatement& statement : page.statements)
            laidOut += layOutStatement(statement).toLatin1() + "\r\n";
        QCOMPARE(laidOut.split('\n'), testData(QStringLiteral("report/english.txt")).split('\n'));

        // Every line whose font is not plain 11-point Arial, with its font.
        QMap<QString, QString> font; // the latest setting of each kind
        QStringList others;
        for (const QString& entry : page.fontLog) {
            const QString kind = entry.section(' ', 0, 0);
            const QString value = entry.section(' ', 1);
            if (kind != "line") {
                font[kind] = value;
                continue;
            }
            const QString shown =
                QStringList{font["size"], font["face"], font["bold"] == "on" ? "bold" : "",
                            font["italic"] == "on" ? "italic" : ""}
                    .join(' ')
                    .simplified();
            if (shown != "11 Arial")
                others << value + ": " + shown;
        }
        QCOMPARE(others,
                 (QStringList{"1: ", "2: ", "3: ", "4: 16 bold", "8: 11 Arial italic",
                              "9: 11 Arial bold", "11: 11 Arial italic", "19: 11 Arial italic",
                              "29: 11 Arial italic", "36: 11 Arial italic"}));
    }
};

QTEST_GUILESS_MAIN(TestReport)
#include "test_report.moc"
