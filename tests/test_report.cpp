// The report: its lines in the text file byte for byte, the font changes the
// printer sees, and the commands' dialogs and failures.
#include "core/report/report_content.h"
#include "core/report/text_report.h"
#include "core/ui/main_window.h"
#include "support/harness.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <initializer_list>
#include <utility>

using namespace kvx;
using kvx::test::Harness;

namespace {

// The report's labels in English and in a German block of the test's own.
const StringTable& reportStrings() {
    static const StringTable table = StringTable::fromTsv(
        QStringLiteral("id\tEnglish\tDutch\tFrench\tItalian\tGerman\n"
                       "1013\tEar height\t\t\t\tOhrhöhe\n"
                       "1016\tSpeaker tap\t\t\t\tLautsprecherabgriff\n"
                       "1018\tAmplifier tap\t\t\t\tVerstärkerabgriff\n"
                       "1020\tSpeaker power\t\t\t\tLautsprecherleistung\n"
                       "1030\tDifference level\t\t\t\tPegeldifferenz\n"
                       "1035\tMutual distance\t\t\t\tAbstand\n"
                       "1037\tNumber of speakers\t\t\t\tAnzahl Lautsprecher\n"
                       "1057\t[Project Description]\t\t\t\t[Projektbeschreibung]\n"
                       "1058\t[Loudspeaker Data]\t\t\t\t[Lautsprecherdaten]\n"
                       "1059\t[Room Data]\t\t\t\t[Raumdaten]\n"
                       "1060\t[Power Settings]\t\t\t\t[Leistung]\n"
                       "1061\t[Calculated Data]\t\t\t\t[Ergebnisse]\n"
                       "1081\tOpening angle\t\t\t\tÖffnungswinkel\n"
                       "1082\tSensitivity\t\t\t\tEmpfindlichkeit\n"
                       "1083\tRated power\t\t\t\tNennleistung\n"
                       "1084\t(degr.)\t\t\t\t(Grad)\n"
                       "1120\tLength\t\t\t\tLänge\n"
                       "1121\tWidth\t\t\t\tBreite\n"
                       "1122\tHeight\t\t\t\tHöhe\n"
                       "1123\tLoudspeaker\t\t\t\tLautsprecher\n"
                       "1124\tTotal power\t\t\t\tGesamtleistung\n"
                       // No German text: the English one stands in.
                       "1125\tDirect level\n"));
    return table;
}

const QString kEnglishPrompt = QStringLiteral("Enter a characterization of the project");
const QString kGermanPrompt = QStringLiteral("Beschreibung des Projekts eingeben");

// A line with each text starting at its column, spaces between.
QByteArray at(std::initializer_list<std::pair<int, QString>> parts) {
    QString line;
    for (const auto& [column, text] : parts) {
        Q_ASSERT(line.size() < column);
        line = line.leftJustified(column - 1, QLatin1Char(' ')) + text;
    }
    return line.toLatin1();
}

QByteArray heading(const QString& text) {
    return at({{10, text}});
}

// The window's fields of one project, in the order the report prints them.
struct Project {
    QString description, length, width, height, ear, type, angle1, angle4, sensitivity, maxPower,
        speakerTap, ampTap, power, distance, speakers, level, dif1, dif4;
};

// Fills the fields without running their event handlers: the report reads
// them as they stand.
void fill(FrmKvx& w, const Project& p) {
    for (Control* c : w.controls()) {
        c->onChange = nullptr;
        c->onClick = nullptr;
        c->onGotFocus = nullptr;
    }
    const std::pair<Control*, QString> fields[] = {
        {&w.txtDescription, p.description},
        {&w.txtRoomLength, p.length},
        {&w.txtRoomWidth, p.width},
        {&w.txtRoomHeight, p.height},
        {&w.txtEarHeight, p.ear},
        {&w.lstLsp, p.type},
        {&w.txtAngle1, p.angle1},
        {&w.txtAngle4, p.angle4},
        {&w.txtSensitivity, p.sensitivity},
        {&w.txtMaxPower, p.maxPower},
        {&w.lstLspTap, p.speakerTap},
        {&w.lstAmpTap, p.ampTap},
        {&w.lblPower, p.power},
        {&w.lblDistance, p.distance},
        {&w.lblNrofSpeakers, p.speakers},
        {&w.lblLevel, p.level},
        {&w.lblLevelDif1, p.dif1},
        {&w.txtLevelDif4, p.dif4},
    };
    for (const auto& [control, text] : fields)
        control->setText(text);
}

void setGlobalTexts(Kvx1& kvx, int offset, const QString& prompt) {
    kvx.LanguageOffset = offset;
    kvx.texts.ProgramTitle = QStringLiteral("KVX");
    kvx.texts.VersionText = QStringLiteral("Version 2.1");
    kvx.texts.DescriptionPrompt = prompt;
}

const Project kEnglishProject{
    QStringLiteral("Conference room, ground floor"),
    QStringLiteral("12"),
    QStringLiteral("12.5"),
    QStringLiteral("3"),
    QStringLiteral("1.2"),
    QStringLiteral("KVX-620    "),
    QStringLiteral("180"),
    QStringLiteral("90"),
    QStringLiteral("90"),
    QStringLiteral("12"),
    QStringLiteral("1/2 P"),
    QStringLiteral("100 V"),
    QStringLiteral("6"),
    QStringLiteral("3.5"),
    QStringLiteral("12"),
    QStringLiteral("88"),
    QStringLiteral("4.1"),
    QStringLiteral("6.0"),
};

// Page 96 character units wide: the title at 32, the foot at 44 (44.5 rounds to even).
QList<QByteArray> englishLines() {
    const auto s = [](const char* text) { return QString::fromUtf8(text); };
    return {
        "",
        "",
        "",
        at({{32, s("KVX")}}),
        at({{1, s("Version 2.1")}, {80, s("6 Dec 2026")}}),
        "",
        "",
        heading(s("[Project Description]")),
        "Conference room, ground floor",
        "",
        heading(s("[Room Data]")),
        "",
        at({{29, s("Length")}, {63, s("12")}, {72, s("(m)")}}),
        at({{29, s("Width")}, {64, s("12.5")}, {72, s("(m)")}}),
        at({{29, s("Height")}, {64, s("3")}, {72, s("(m)")}}),
        at({{29, s("Ear height")}, {64, s("1.2")}, {72, s("(m)")}}),
        "",
        "",
        heading(s("[Loudspeaker Data]")),
        "",
        at({{29, s("Loudspeaker")}, {62, s("KVX-620    ")}}),
        at({{29, s("Opening angle")}}),
        at({{43, s("@ 1 kHz:")}, {62, s("180")}, {72, s("(degr.)")}}),
        at({{43, s("@ 4 kHz:")}, {63, s("90")}, {72, s("(degr.)")}}),
        at({{29, s("Sensitivity")}, {63, s("90")}, {72, s("(dB)")}}),
        at({{29, s("Rated power")}, {63, s("12")}, {72, s("(W)")}}),
        "",
        "",
        heading(s("[Power Settings]")),
        "",
        at({{29, s("Speaker tap")}, {62, s("1/2")}, {72, s("(P)")}}),
        at({{29, s("Amplifier tap")}, {62, s("100")}, {72, s("(V)")}}),
        at({{29, s("Speaker power")}, {64, s("6")}, {72, s("(W)")}}),
        "",
        "",
        heading(s("[Calculated Data]")),
        at({{29, s("Mutual distance")}, {64, s("3.5")}, {72, s("(m)")}}),
        at({{29, s("Number of speakers")}, {63, s("12")}}),
        "",
        at({{29, s("Total power")}, {63, s(" 72 ")}, {72, s("(W)")}}),
        at({{29, s("Direct level @ 1 kHz")}, {63, s("88")}, {72, s("(dB)")}}),
        at({{29, s("Difference level")}}),
        at({{43, s("@ 1 kHz:")}, {64, s("4.1")}, {72, s("(dB)")}}),
        at({{43, s("@ 4 kHz:")}, {64, s("6.0")}, {72, s("(dB)")}}),
        "",
        "",
        "",
        at({{44, s("Halcyra")}}),
    };
}

const Project kGermanProject{
    kGermanPrompt,          QStringLiteral("8,25"),  QStringLiteral("12.5"),
    QStringLiteral("3,2"),  QStringLiteral("1,2"),   QStringLiteral("Benutzer Typ"),
    QStringLiteral("120"),  QStringLiteral("60"),    QStringLiteral("89"),
    QStringLiteral("6"),    QStringLiteral("1/1 P"), QStringLiteral(" 70 V"),
    QStringLiteral("2,94"), QStringLiteral("3,5"),   QStringLiteral("12"),
    QStringLiteral(" 85"),  QStringLiteral("4,1"),   QStringLiteral("6,0"),
};

// German texts and number forms: a comma is no point for the Point rule, the
// date is 8 characters (column 82), the prompt prints as an empty line.
QList<QByteArray> germanLines() {
    const auto s = [](const char* text) { return QString::fromUtf8(text); };
    return {
        "",
        "",
        "",
        at({{32, s("KVX")}}),
        at({{1, s("Version 2.1")}, {82, s("06.12.26")}}),
        "",
        "",
        heading(s("[Projektbeschreibung]")),
        "",
        "",
        heading(s("[Raumdaten]")),
        "",
        at({{29, s("Länge")}, {61, s("8,25")}, {72, s("(m)")}}),
        at({{29, s("Breite")}, {64, s("12.5")}, {72, s("(m)")}}),
        at({{29, s("Höhe")}, {62, s("3,2")}, {72, s("(m)")}}),
        at({{29, s("Ohrhöhe")}, {62, s("1,2")}, {72, s("(m)")}}),
        "",
        "",
        heading(s("[Lautsprecherdaten]")),
        "",
        at({{29, s("Lautsprecher")}, {62, s("Benutzer Typ")}}),
        at({{29, s("Öffnungswinkel")}}),
        at({{43, s("@ 1 kHz:")}, {62, s("120")}, {72, s("(Grad)")}}),
        at({{43, s("@ 4 kHz:")}, {63, s("60")}, {72, s("(Grad)")}}),
        at({{29, s("Empfindlichkeit")}, {63, s("89")}, {72, s("(dB)")}}),
        at({{29, s("Nennleistung")}, {64, s("6")}, {72, s("(W)")}}),
        "",
        "",
        heading(s("[Leistung]")),
        "",
        at({{29, s("Lautsprecherabgriff")}, {62, s("1/1")}, {72, s("(P)")}}),
        at({{29, s("Verstärkerabgriff")}, {63, s("70")}, {72, s("(V)")}}),
        at({{29, s("Lautsprecherleistung")}, {61, s("2,94")}, {72, s("(W)")}}),
        "",
        "",
        heading(s("[Ergebnisse]")),
        at({{29, s("Abstand")}, {62, s("3,5")}, {72, s("(m)")}}),
        at({{29, s("Anzahl Lautsprecher")}, {63, s("12")}}),
        "",
        at({{29, s("Gesamtleistung")}, {60, s(" 35,28 ")}, {72, s("(W)")}}),
        // The column comes from the trimmed caption, the caption prints as it is.
        at({{29, s("Direct level @ 1 kHz")}, {63, s(" 85")}, {72, s("(dB)")}}),
        at({{29, s("Pegeldifferenz")}}),
        at({{43, s("@ 1 kHz:")}, {62, s("4,1")}, {72, s("(dB)")}}),
        at({{43, s("@ 4 kHz:")}, {62, s("6,0")}, {72, s("(dB)")}}),
        "",
        "",
        "",
        at({{44, s("Halcyra")}}),
    };
}

const Project kDutchLocaleProject{
    QStringLiteral("Vergaderzaal, eerste verdieping"),
    QStringLiteral("12"),
    QStringLiteral("12,5"),
    QStringLiteral("2,7"),
    QStringLiteral("1,2"),
    QString(),
    QString(),
    QStringLiteral("60"),
    QStringLiteral("87"),
    QStringLiteral("15"),
    QStringLiteral("1/4 P"),
    QStringLiteral(" 50 V"),
    QStringLiteral("3,75"),
    QStringLiteral("4,2"),
    QStringLiteral("9"),
    QStringLiteral("84"),
    QStringLiteral("3,9"),
    QStringLiteral("6,0"),
};

// English texts, Dutch number forms and date, no printer (an A4 page's
// width), an empty type and an empty opening angle.
QList<QByteArray> dutchLocaleLines() {
    const auto s = [](const char* text) { return QString::fromUtf8(text); };
    QList<QByteArray> lines = englishLines();
    lines[4] = at({{1, s("Version 2.1")}, {80, s("06-12-2026")}});
    lines[8] = "Vergaderzaal, eerste verdieping";
    lines[12] = at({{29, s("Length")}, {63, s("12")}, {72, s("(m)")}});
    lines[13] = at({{29, s("Width")}, {61, s("12,5")}, {72, s("(m)")}});
    lines[14] = at({{29, s("Height")}, {62, s("2,7")}, {72, s("(m)")}});
    lines[15] = at({{29, s("Ear height")}, {62, s("1,2")}, {72, s("(m)")}});
    // Blank columns up to 61, trailing spaces included.
    lines[20] = at({{29, s("Loudspeaker")}, {62, s("")}});
    lines[22] = at({{43, s("@ 1 kHz:")}, {65, s("")}, {72, s("(degr.)")}});
    lines[23] = at({{43, s("@ 4 kHz:")}, {63, s("60")}, {72, s("(degr.)")}});
    lines[24] = at({{29, s("Sensitivity")}, {63, s("87")}, {72, s("(dB)")}});
    lines[25] = at({{29, s("Rated power")}, {63, s("15")}, {72, s("(W)")}});
    lines[30] = at({{29, s("Speaker tap")}, {62, s("1/4")}, {72, s("(P)")}});
    lines[31] = at({{29, s("Amplifier tap")}, {63, s("50")}, {72, s("(V)")}});
    lines[32] = at({{29, s("Speaker power")}, {61, s("3,75")}, {72, s("(W)")}});
    lines[36] = at({{29, s("Mutual distance")}, {62, s("4,2")}, {72, s("(m)")}});
    lines[37] = at({{29, s("Number of speakers")}, {64, s("9")}});
    lines[39] = at({{29, s("Total power")}, {60, s(" 33,75 ")}, {72, s("(W)")}});
    lines[40] = at({{29, s("Direct level @ 1 kHz")}, {63, s("84")}, {72, s("(dB)")}});
    lines[42] = at({{43, s("@ 1 kHz:")}, {62, s("3,9")}, {72, s("(dB)")}});
    lines[43] = at({{43, s("@ 4 kHz:")}, {62, s("6,0")}, {72, s("(dB)")}});
    return lines;
}

QByteArray joined(const QList<QByteArray>& lines) {
    QByteArray bytes;
    for (const QByteArray& line : lines)
        bytes += line + "\r\n";
    return bytes;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

// A harness with the English texts and the worked English project filled in.
struct EnglishReport : Harness {
    EnglishReport()
        : Harness(QLocale::c(), reportStrings()) {
        setGlobalTexts(kvx, 0, kEnglishPrompt);
        fill(*w, kEnglishProject);
    }
};

// The font state of each printed line, from a printer's log.
struct LineFonts {
    double size = 0;
    QString face;
    bool bold = false;
    bool italic = false;
};

QList<LineFonts> fontsByLine(const QStringList& log) {
    QList<LineFonts> lines;
    LineFonts current;
    for (const QString& entry : log) {
        if (entry.startsWith(QLatin1String("size ")))
            current.size = entry.mid(5).toDouble();
        else if (entry.startsWith(QLatin1String("face ")))
            current.face = entry.mid(5);
        else if (entry.startsWith(QLatin1String("bold ")))
            current.bold = entry == QLatin1String("bold on");
        else if (entry.startsWith(QLatin1String("italic ")))
            current.italic = entry == QLatin1String("italic on");
        else if (entry.startsWith(QLatin1String("line ")))
            lines << current;
    }
    return lines;
}

// 1-based numbers of the lines for which pick holds.
QList<int> linesWhere(const QList<LineFonts>& lines, bool (*pick)(const LineFonts&)) {
    QList<int> numbers;
    for (int i = 0; i < lines.size(); ++i) {
        if (pick(lines[i]))
            numbers << i + 1;
    }
    return numbers;
}

} // namespace

Q_DECLARE_METATYPE(Project)
Q_DECLARE_METATYPE(std::optional<double>)

class TestReport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void textFileByteForByte_data();
    void textFileByteForByte();
    void valueColumns_data();
    void valueColumns();
    void tapShortForms_data();
    void tapShortForms();
    void statementLayout_data();
    void statementLayout();
    void roundsHalvesToEven_data();
    void roundsHalvesToEven();
    void windows1252_data();
    void windows1252();
    void longValueMovesToNextLine();
    void existingFileIsReplaced();
    void reportDialogSettings();
    void cancelledDialogWritesNothing();
    void failureShowsOneMessageAndLeavesNoFile_data();
    void failureShowsOneMessageAndLeavesNoFile();
    void printedReportFonts();
    void printedReportStopsAfterNumberOfSpeakers();
    void noPrinterOffersPdf_data();
    void noPrinterOffersPdf();
    void pdfExportKeepsProjectPath();
    void printSetupFlagsCarryOver();
};

void TestReport::textFileByteForByte_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<Project>("project");
    QTest::addColumn<std::optional<double>>("pageWidth");
    QTest::addColumn<QList<QByteArray>>("lines");
    QTest::addColumn<bool>("builtInTable");

    QTest::newRow("English, C locale, 96 units")
        << QLocale::c() << 0 << kEnglishPrompt << kEnglishProject << std::optional(96.0)
        << englishLines() << false;
    QTest::newRow("German, German locale, 96 units")
        << QLocale(QLocale::German, QLocale::Germany) << 4000 << kGermanPrompt << kGermanProject
        << std::optional(96.0) << germanLines() << false;
    QTest::newRow("English, Dutch locale, no printer")
        << QLocale(QLocale::Dutch, QLocale::Netherlands) << 0 << kEnglishPrompt
        << kDutchLocaleProject << std::optional<double>() << dutchLocaleLines() << false;
    QTest::newRow("English, the program's string table")
        << QLocale::c() << 0 << kEnglishPrompt << kEnglishProject << std::optional(96.0)
        << englishLines() << true;
}

void TestReport::textFileByteForByte() {
    QFETCH(QLocale, locale);
    QFETCH(int, offset);
    QFETCH(QString, prompt);
    QFETCH(Project, project);
    QFETCH(std::optional<double>, pageWidth);
    QFETCH(QList<QByteArray>, lines);
    QFETCH(bool, builtInTable);

    Harness h(locale, builtInTable ? StringTable::builtIn() : reportStrings());
    setGlobalTexts(h.kvx, offset, prompt);
    fill(*h.w, project);
    h.platform.pageWidth = pageWidth;
    const QString path = h.path(QStringLiteral("report.txt"));
    h.platform.saveAnswers << path;

    h.w->mnuPrintFile_Click();

    QCOMPARE(h.platform.messages.size(), 0);
    const QByteArray bytes = readFile(path);
    QVERIFY(bytes.endsWith("\r\n"));
    QList<QByteArray> written = bytes.chopped(2).split('\n');
    for (QByteArray& line : written) {
        QVERIFY2(line.isEmpty() || line.endsWith('\r') || &line == &written.last(),
                 "a line feed without carriage return");
        if (line.endsWith('\r'))
            line.chop(1);
    }
    QCOMPARE(written.size(), 48);
    QCOMPARE(written, lines);
    QCOMPARE(bytes, joined(lines));
}

void TestReport::valueColumns_data() {
    QTest::addColumn<QString>("length");
    QTest::addColumn<QByteArray>("line");

    const QString label = QStringLiteral("Length");
    const QString unit = QStringLiteral("(m)");
    QTest::newRow("whole number ends at 64")
        << QStringLiteral("12") << at({{29, label}, {63, QStringLiteral("12")}, {72, unit}});
    QTest::newRow("point of 12.5 at 66")
        << QStringLiteral("12.5") << at({{29, label}, {64, QStringLiteral("12.5")}, {72, unit}});
    QTest::newRow("point of 8.25 at 65")
        << QStringLiteral("8.25") << at({{29, label}, {63, QStringLiteral("8.25")}, {72, unit}});
    QTest::newRow("first point counts")
        << QStringLiteral("1.2.3") << at({{29, label}, {62, QStringLiteral("1.2.3")}, {72, unit}});
    QTest::newRow("empty value keeps its line")
        << QString() << at({{29, label}, {65, QString()}, {72, unit}});
    QTest::newRow("value reaching the unit column")
        << QStringLiteral("1234567890.5")
        << at({{29, label}, {64, QStringLiteral("1234567890.5")}}) + "\r\n" + at({{72, unit}});
}

void TestReport::valueColumns() {
    QFETCH(QString, length);
    QFETCH(QByteArray, line);

    EnglishReport h;
    h.w->txtRoomLength.setText(length);
    const QString path = h.path(QStringLiteral("r.txt"));
    h.platform.saveAnswers << path;
    h.w->mnuPrintFile_Click();

    const QList<QByteArray> lines = readFile(path).split('\n');
    const QByteArray expected = line + "\r";
    const QByteArray written = line.contains('\n') ? lines[12] + '\n' + lines[13] : lines[12];
    QCOMPARE(written, expected);
}

void TestReport::tapShortForms_data() {
    QTest::addColumn<QString>("speakerTap");
    QTest::addColumn<QString>("speakerShort");
    QTest::addColumn<QString>("ampTap");
    QTest::addColumn<QString>("ampShort");

    QTest::newRow("full power, 100 V") << "1/1 P"
                                       << "1/1"
                                       << "100 V"
                                       << "100";
    QTest::newRow("half power, list entry 70 V") << "1/2 P"
                                                 << "1/2"
                                                 << " 70 V"
                                                 << "70";
    QTest::newRow("quarter power, list entry 50 V") << "1/4 P"
                                                    << "1/4"
                                                    << " 50 V"
                                                    << "50";
    QTest::newRow("70 V without the lead space") << "1/2 P"
                                                 << "1/2"
                                                 << "70 V"
                                                 << "70";
    QTest::newRow("50 V with two lead spaces") << "1/2 P"
                                               << "1/2"
                                               << "  50 V"
                                               << "50";
    QTest::newRow("other texts unchanged") << "1/2P"
                                           << "1/2P"
                                           << "70V"
                                           << "70V";
    QTest::newRow("trailing space is another text") << "1/4 P "
                                                    << "1/4 P "
                                                    << "100 V "
                                                    << "100 V ";
    QTest::newRow("empty taps") << ""
                                << ""
                                << ""
                                << "";
}

void TestReport::tapShortForms() {
    QFETCH(QString, speakerTap);
    QFETCH(QString, speakerShort);
    QFETCH(QString, ampTap);
    QFETCH(QString, ampShort);
    QCOMPARE(speakerTapShortForm(speakerTap), speakerShort);
    QCOMPARE(amplifierTapShortForm(ampTap), ampShort);
}

void TestReport::statementLayout_data() {
    QTest::addColumn<ReportStatement>("statement");
    QTest::addColumn<QString>("text");

    const ReportItem zone{ReportItem::Kind::Zone, 0, {}};
    const auto tab = [](int column) { return ReportItem{ReportItem::Kind::Tab, column, {}}; };
    const auto text = [](const char* s) {
        return ReportItem{ReportItem::Kind::Text, 0, QString::fromUtf8(s)};
    };
    QTest::newRow("empty statement") << ReportStatement{} << QString();
    QTest::newRow("zone from column 1 goes to 15")
        << ReportStatement{zone, text("x")} << QString(14, ' ') + "x";
    QTest::newRow("three zones reach 43")
        << ReportStatement{zone, zone, zone, text("x")} << QString(42, ' ') + "x";
    QTest::newRow("zone from inside a zone goes to the next start")
        << ReportStatement{text("abc"), zone, text("x")} << "abc" + QString(11, ' ') + "x";
    QTest::newRow("zone from a zone start goes to the next one")
        << ReportStatement{tab(15), zone, text("x")} << QString(28, ' ') + "x";
    QTest::newRow("tab to the current column writes nothing")
        << ReportStatement{text("abcd"), tab(5), text("x")} << "abcdx";
    QTest::newRow("tab past its column starts a new line")
        << ReportStatement{text("abcdef"), tab(3), text("x")} << "abcdef\r\n  x";
    QTest::newRow("tab below 1 counts as 1")
        << ReportStatement{text("ab"), tab(-4), text("x")} << "ab\r\nx";
    QTest::newRow("tab 0 at the start stays") << ReportStatement{tab(0), text("x")} << "x";
}

void TestReport::statementLayout() {
    QFETCH(ReportStatement, statement);
    QFETCH(QString, text);
    QCOMPARE(layOutStatement(statement), text);
}

void TestReport::roundsHalvesToEven_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("rounded");

    QTest::newRow("44.5 down to even") << 44.5 << 44;
    QTest::newRow("45.5 up to even") << 45.5 << 46;
    QTest::newRow("below the half") << 44.44 << 44;
    QTest::newRow("above the half") << 79.88 << 80;
    QTest::newRow("title column of a 96 page") << 31.96875 << 32;
    QTest::newRow("minus half to zero") << -0.5 << 0;
    QTest::newRow("minus one and a half to minus two") << -1.5 << -2;
}

void TestReport::roundsHalvesToEven() {
    QFETCH(double, value);
    QFETCH(int, rounded);
    QCOMPARE(roundHalfEven(value), rounded);
}

void TestReport::windows1252_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("ASCII") << QStringLiteral("Length 12") << QByteArray("Length 12");
    QTest::newRow("umlauts") << QStringLiteral("Länge Öffnung")
                             << QByteArray("L\xe4nge \xd6"
                                           "ffnung");
    QTest::newRow("euro sign and en dash")
        << QStringLiteral("5 € – 6") << QByteArray("5 \x80 \x96 6");
    QTest::newRow("character outside the code page") << QStringLiteral("Łódź")
                                                     << QByteArray("?\xf3"
                                                                   "d?");
    QTest::newRow("character beyond the basic plane")
        << QStringLiteral("a\U0001F50Ab") << QByteArray("a?b");
}

void TestReport::windows1252() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(toWindows1252(text), bytes);
}

void TestReport::longValueMovesToNextLine() {
    EnglishReport h;
    const QString value(70, QLatin1Char('7'));
    h.w->txtRoomLength.setText(value);
    const QString path = h.path(QStringLiteral("r.txt"));
    h.platform.saveAnswers << path;
    h.w->mnuPrintFile_Click();

    const QList<QByteArray> lines = readFile(path).split('\n');
    QCOMPARE(lines.size(), 49 + 1); // one line more, and nothing after the last line end
    QCOMPARE(lines[12], at({{29, QStringLiteral("Length")}}) + "\r");
    QCOMPARE(lines[13], at({{1, value}, {72, QStringLiteral("(m)")}}) + "\r");
    QCOMPARE(lines[14], at({{29, QStringLiteral("Width")},
                            {64, QStringLiteral("12.5")},
                            {72, QStringLiteral("(m)")}}) +
                            "\r");
}

void TestReport::existingFileIsReplaced() {
    EnglishReport h;
    const QString path = h.path(QStringLiteral("old.txt"));
    QVERIFY(writeFile(path, QByteArray(5000, 'x')));
    h.platform.saveAnswers << path;
    h.w->mnuPrintFile_Click();

    QCOMPARE(h.platform.messages.size(), 0);
    QCOMPARE(readFile(path), joined(englishLines()));
    QCOMPARE(filesIn(h.dir.path()), QStringList{QStringLiteral("old.txt")});
}

void TestReport::reportDialogSettings() {
    EnglishReport h;
    const QString project = h.path(QStringLiteral("hall.kvx"));
    h.w->CmDialog1.fileName = project;
    h.w->CmDialog1.flags = DialogFlags::FileMustExist;
    h.w->CmDialog1.filterIndex = 2;
    const QString path = h.path(QStringLiteral("hall.txt"));
    h.platform.saveAnswers << path;

    h.w->mnuPrintFile_Click();

    QCOMPARE(h.platform.dialogsShown.size(), 1);
    const CommonDialog shown = h.platform.dialogsShown.first();
    QCOMPARE(shown.filter, QStringLiteral("Text File (*.txt)"));
    QCOMPARE(shown.defaultExt, QStringLiteral("txt"));
    QCOMPARE(shown.initDir, h.kvx.programFolder);
    // Settings it does not make carry over from the last use.
    QCOMPARE(shown.flags, DialogFlags::FileMustExist);
    QCOMPARE(shown.filterIndex, 2);
    QCOMPARE(shown.fileName, project);
    QVERIFY(QFile::exists(path));
    // The next Save writes the project, not into the report's file.
    QCOMPARE(h.w->CmDialog1.fileName, project);
}

void TestReport::cancelledDialogWritesNothing() {
    EnglishReport h;
    const QString project = h.path(QStringLiteral("hall.kvx"));
    const QByteArray projectBytes = "[Project Description]\r\nHall\r\n";
    QVERIFY(writeFile(project, projectBytes));
    h.w->CmDialog1.fileName = project;
    h.platform.saveAnswers << std::nullopt;

    h.w->mnuPrintFile_Click();

    QCOMPARE(h.platform.dialogsShown.size(), 1);
    QCOMPARE(h.platform.messages.size(), 0);
    QCOMPARE(readFile(project), projectBytes);
    QCOMPARE(filesIn(h.dir.path()), QStringList{QStringLiteral("hall.kvx")});
    QCOMPARE(h.w->CmDialog1.fileName, project);
}

void TestReport::failureShowsOneMessageAndLeavesNoFile_data() {
    QTest::addColumn<QString>("speakers");
    QTest::addColumn<QString>("power");
    QTest::addColumn<std::optional<double>>("pageWidth");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("reason");

    const std::optional<double> a4 = 96.0;
    QTest::newRow("results cleared") << ""
                                     << "" << a4 << ""
                                     << "total power";
    QTest::newRow("number of speakers cleared, power kept") << ""
                                                            << "6" << a4 << ""
                                                            << "total power";
    QTest::newRow("speaker power not a number in this locale") << "12"
                                                               << "6,5" << a4 << ""
                                                               << "total power";
    QTest::newRow("page width of zero") << "12"
                                        << "6" << std::optional(0.0) << ""
                                        << "page width";
    QTest::newRow("page width not a number") << "12"
                                             << "6" << std::optional(qQNaN()) << ""
                                             << "page width";
    QTest::newRow("folder that does not exist") << "12"
                                                << "6" << a4 << "missing/deeper"
                                                << "cannot be written";
}

void TestReport::failureShowsOneMessageAndLeavesNoFile() {
    QFETCH(QString, speakers);
    QFETCH(QString, power);
    QFETCH(std::optional<double>, pageWidth);
    QFETCH(QString, folder);
    QFETCH(QString, reason);

    EnglishReport h;
    h.w->lblNrofSpeakers.setText(speakers);
    h.w->lblPower.setText(power);
    h.platform.pageWidth = pageWidth;
    const QString path = h.path(folder.isEmpty() ? QStringLiteral("r.txt") : folder + "/r.txt");
    const QByteArray before = "an older report\r\n";
    if (folder.isEmpty())
        QVERIFY(writeFile(path, before));
    h.platform.saveAnswers << path;

    h.w->mnuPrintFile_Click();

    QCOMPARE(h.platform.messages.size(), 1);
    QCOMPARE(h.platform.messages.first().title, QStringLiteral("Print to file"));
    QVERIFY2(h.platform.messages.first().text.contains(reason),
             qPrintable(h.platform.messages.first().text));
    if (folder.isEmpty()) {
        // The old file stays as it was and no temporary file is left beside it.
        QCOMPARE(readFile(path), before);
        QCOMPARE(filesIn(h.dir.path()), QStringList{QStringLiteral("r.txt")});
    } else {
        QVERIFY(!QFile::exists(path));
    }
}

void TestReport::printedReportFonts() {
    EnglishReport h;
    h.w->mnuReport_Click();

    QCOMPARE(h.platform.messages.size(), 0);
    QCOMPARE(h.platform.pages.size(), 1);
    const auto& page = h.platform.pages.first();
    QVERIFY(page.ended);
    QCOMPARE(page.statements.size(), 48);
    for (int i = 0; i < 48; ++i)
        QCOMPARE(layOutStatement(page.statements[i]).toLatin1(), englishLines()[i]);

    // The printer sees the font changes in this order, and no others.
    QStringList changes;
    for (const QString& entry : page.fontLog) {
        if (!entry.startsWith(QLatin1String("line ")))
            changes << entry;
    }
    const QStringList heading = {QStringLiteral("italic on"), QStringLiteral("italic off")};
    QStringList expected = {QStringLiteral("size 16"), QStringLiteral("bold on"),
                            QStringLiteral("bold off"), QStringLiteral("size 11"),
                            QStringLiteral("face Arial")};
    expected << heading << QStringLiteral("bold on") << QStringLiteral("bold off");
    for (int i = 0; i < 4; ++i)
        expected << heading;
    QCOMPARE(changes, expected);

    const QList<LineFonts> fonts = fontsByLine(page.fontLog);
    QCOMPARE(fonts.size(), 48);
    QCOMPARE(linesWhere(fonts, [](const LineFonts& f) { return f.size == 16; }), QList<int>{4});
    QCOMPARE(linesWhere(fonts, [](const LineFonts& f) { return f.italic; }),
             (QList<int>{8, 11, 19, 29, 36}));
    QCOMPARE(linesWhere(fonts, [](const LineFonts& f) { return f.bold; }), (QList<int>{4, 9}));
    // The face is set once, after the title; every line after it is 11-point Arial.
    QCOMPARE(linesWhere(fonts, [](const LineFonts& f) { return f.face.isEmpty(); }),
             (QList<int>{1, 2, 3, 4}));
    QCOMPARE(linesWhere(fonts, [](const LineFonts& f) { return f.size == 11 && f.face == "Arial"; })
                 .size(),
             44);
}

void TestReport::printedReportStopsAfterNumberOfSpeakers() {
    EnglishReport h;
    for (Control* result :
         {&h.w->lblDistance, &h.w->lblNrofSpeakers, &h.w->lblLevelDif1, &h.w->lblLevel})
        result->setText(QString());

    h.w->mnuReport_Click();

    QCOMPARE(h.platform.pages.size(), 1);
    const auto& page = h.platform.pages.first();
    QCOMPARE(page.statements.size(), 38); // rows up to the number of speakers
    QCOMPARE(layOutStatement(page.statements.last()).toLatin1(),
             at({{29, QStringLiteral("Number of speakers")}, {65, QString()}}));
    QVERIFY(!page.ended);
    QCOMPARE(h.platform.messages.size(), 1);
    QCOMPARE(h.platform.messages.first().text, QStringLiteral("Print error"));
    QCOMPARE(h.platform.messages.first().style, MsgStyle::OkOnly);
    QCOMPARE(h.platform.messages.first().title, QString());
}

void TestReport::noPrinterOffersPdf_data() {
    QTest::addColumn<MsgResult>("answer");
    QTest::addColumn<bool>("exported");
    QTest::newRow("yes: the report goes to a PDF file") << MsgResult::Yes << true;
    QTest::newRow("no: nothing happens") << MsgResult::No << false;
}

void TestReport::noPrinterOffersPdf() {
    QFETCH(MsgResult, answer);
    QFETCH(bool, exported);

    EnglishReport h;
    h.platform.hasPrinter = false;
    h.platform.answers << answer;
    const QString pdf = h.path(QStringLiteral("hall.pdf"));
    if (exported)
        h.platform.saveAnswers << pdf;

    h.w->mnuReport_Click();

    QCOMPARE(h.platform.messages.size(), 1);
    QCOMPARE(h.platform.messages.first().style, MsgStyle::YesNoQuestion);
    QCOMPARE(h.platform.pdfPaths, exported ? QStringList{pdf} : QStringList{});
    QCOMPARE(h.platform.pages.size(), exported ? 1 : 0);
    if (exported) {
        QVERIFY(h.platform.pages.first().ended);
        QCOMPARE(h.platform.pages.first().statements.size(), 48);
    }
}

void TestReport::pdfExportKeepsProjectPath() {
    EnglishReport h;
    const QString project = h.path(QStringLiteral("hall.kvx"));
    h.w->CmDialog1.fileName = project;
    const QString pdf = h.path(QStringLiteral("hall.pdf"));
    h.platform.saveAnswers << pdf << std::nullopt;

    h.w->mnuExportPdf_Click();
    h.w->mnuExportPdf_Click(); // cancelled: nothing more

    QCOMPARE(h.platform.dialogsShown.size(), 2);
    QCOMPARE(h.platform.dialogsShown[0].filter, QStringLiteral("PDF Files (*.pdf)|*.pdf"));
    QCOMPARE(h.platform.dialogsShown[0].defaultExt, QStringLiteral("pdf"));
    QCOMPARE(h.platform.dialogsShown[1].fileName, pdf); // the dialog offers the last PDF again
    QCOMPARE(h.platform.pdfPaths, QStringList{pdf});
    QCOMPARE(h.platform.pages.size(), 1);
    QVERIFY(h.platform.pages.first().ended);
    QCOMPARE(h.platform.messages.size(), 0);
    QCOMPARE(h.w->CmDialog1.fileName, project);
}

void TestReport::printSetupFlagsCarryOver() {
    EnglishReport h;
    h.w->mnuPrintSetup_Click();
    QCOMPARE(h.platform.printerSetupShown, 1);
    h.platform.saveAnswers << std::nullopt;
    h.w->mnuPrintFile_Click();
    // The setup form's flag stays in the shared dialog until a command sets flags.
    QCOMPARE(h.platform.dialogsShown.first().flags, DialogFlags::PrintSetup);
}

QTEST_GUILESS_MAIN(TestReport)
#include "test_report.moc"
