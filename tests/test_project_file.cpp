// Project files: the exact bytes written, what reading puts into the window,
// and that a damaged file or an unstorable text changes nothing.
#include "core/kvx_error.h"
#include "support/harness.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>

using namespace kvx;
using namespace kvx::test;

namespace {

const QString kPrompt = QStringLiteral("Enter a characterization of the project");

const QStringList kEnglish = {"[Project Description]", "[Loudspeaker Data]", "[Room Data]",
                              "[Power Settings]", "[Calculated Data]"};
const QStringList kGerman = {"[Projekt Umschreibung]", "[Lautsprecherdaten]", "[Raumdaten]",
                             "[Leistungsauswahl]", "[Ergebnisse]"};

// The window's project fields in the order the file stores them.
QList<Control*> projectFields(FrmKvx& w) {
    return {&w.txtDescription, &w.lstLsp,       &w.txtAngle1,       &w.txtAngle4,
            &w.txtSensitivity, &w.txtMaxPower,  &w.txtRoomLength,   &w.txtRoomWidth,
            &w.txtRoomHeight,  &w.txtEarHeight, &w.lstLspTap,       &w.lstAmpTap,
            &w.lblPower,       &w.lblDistance,  &w.lblNrofSpeakers, &w.lblLevelDif1,
            &w.txtLevelDif4,   &w.lblLevel};
}

QStringList fieldTexts(FrmKvx& w) {
    QStringList texts;
    for (Control* c : projectFields(w))
        texts << c->text();
    return texts;
}

void setFields(FrmKvx& w, const QStringList& texts) {
    const QList<Control*> fields = projectFields(w);
    for (int i = 0; i < fields.size(); ++i)
        fields[i]->setText(texts.value(i));
}

// The example project, as the window shows it.
const QStringList kExample = {"Conference room, ground floor",
                              "Type A     ",
                              "120",
                              "140",
                              "80",
                              "10",
                              "50",
                              "50",
                              "4",
                              "1.5",
                              "1/1 P",
                              "100 V",
                              "10",
                              "5.5",
                              "90",
                              "4.2",
                              "6",
                              "85"};

QByteArray exampleBytes(const char* lineEnd) {
    const QList<QByteArray> lines = {
        "[Project Description]", "Conference room, ground floor",
        "[Loudspeaker Data]",    "\"Type A     \",\"120\",\"140\",\"80\",\"10\"",
        "[Room Data]",           "\"50\",\"50\",\"4\",\"1.5\"",
        "[Power Settings]",      "\"1/1 P\",\"100 V\",\"10\"",
        "[Calculated Data]",     "\"5.5\",\"90\",\"4.2\",\"6\",\"85\""};
    return lines.join(lineEnd) + lineEnd;
}

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

// A harness whose window speaks the language of headers.
struct Window : Harness {
    explicit Window(const QStringList& headers = kEnglish) {
        kvx.texts.ProgramTitle = QStringLiteral("KVX");
        kvx.texts.NewProjectName = QStringLiteral("<New>");
        kvx.texts.DescriptionPrompt = kPrompt;
        kvx.texts.UserTypeName = QStringLiteral("User type");
        kvx.texts.SectionProjectDescription = headers[0];
        kvx.texts.SectionLoudspeakerData = headers[1];
        kvx.texts.SectionRoomData = headers[2];
        kvx.texts.SectionPowerSettings = headers[3];
        kvx.texts.SectionCalculatedData = headers[4];
        w->FillSpeakerTapList();
        w->FillAmpTapList();
        w->lstLsp.addItem(QStringLiteral("Type A     "));
        w->ResetProject();
    }
};

} // namespace

class TestProjectFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void writesTheExampleByteForByte();
    void readsTheExample_data();
    void readsTheExample();
    void roundTripInEveryLanguage_data();
    void roundTripInEveryLanguage();
    void storedTexts_data();
    void storedTexts();
    void sectionsInAnyOrderAndRepeated();
    void missingSectionLeavesFieldsAlone();
    void headerLine_data();
    void headerLine();
    void unknownHeaderStartsNewProject();
    void damagedFileChangesNothing_data();
    void damagedFileChangesNothing();
    void unstorableTextIsRefused_data();
    void unstorableTextIsRefused();
    void failedWriteReportsTheFile_data();
    void failedWriteReportsTheFile();
    void captionNamesTheSavedFile();
};

void TestProjectFile::writesTheExampleByteForByte() {
    Window h;
    setFields(*h.w, kExample);
    h.kvx.Modified = true;
    h.w->WriteProjectFile(h.path("example.kvx"));
    QCOMPARE(readBytes(h.path("example.kvx")), exampleBytes("\r\n"));
    QCOMPARE(h.kvx.Modified, false);
}

void TestProjectFile::readsTheExample_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("CR LF line ends") << exampleBytes("\r\n");
    QTest::newRow("LF line ends") << exampleBytes("\n");
    QTest::newRow("no line end after the last record") << exampleBytes("\r\n").chopped(2);
    QTest::newRow("unquoted record fields")
        << exampleBytes("\r\n").replace("\"50\",\"50\",\"4\",\"1.5\"", "  50 ,50,  4,1.5   ");
}

void TestProjectFile::readsTheExample() {
    QFETCH(QByteArray, bytes);
    Window h;
    writeBytes(h.path("Example.kvx"), bytes);
    h.kvx.Modified = true;
    h.w->ReadProjectFile(h.path("Example.kvx"));
    QCOMPARE(fieldTexts(*h.w), kExample);
    QCOMPARE(h.w->form.text(), QStringLiteral("KVX - Example.kvx"));
    QCOMPARE(h.kvx.Modified, false);
    QVERIFY(h.platform.messages.isEmpty());
    // Read and written again, an original file keeps its bytes.
    h.w->WriteProjectFile(h.path("again.kvx"));
    QCOMPARE(readBytes(h.path("again.kvx")), exampleBytes("\r\n"));
}

void TestProjectFile::roundTripInEveryLanguage_data() {
    QTest::addColumn<QStringList>("headers");
    QTest::addColumn<QString>("description");
    QTest::newRow("English") << kEnglish << QStringLiteral("Hall, \"main\" floor");
    QTest::newRow("Dutch") << QStringList{"[Project Omschrijving]", "[Luidspreker Gegevens]",
                                          "[Ruimte Gegevens]", "[Vermogensinstellingen]",
                                          "[Berekende Gegevens]"}
                           << QStringLiteral("Zaal, begane grond");
    QTest::newRow("French") << QStringList{"[Description du projet]", "[Choix du haut-parleur]",
                                           "[Dimension de la pièce]", "[Sélection de la puissance]",
                                           "[Résultats]"}
                            << QStringLiteral("Salle de conférence, rez-de-chaussée");
    QTest::newRow("Italian") << QStringList{"[Descrizione del progretto]",
                                            "[Dati dell' altoparlanti]", "[Dati dell' ambiente]",
                                            "[Selezionare la potenza]", "[Dati di calcolo]"}
                             << QStringLiteral("Sala riunioni, 1° piano");
    QTest::newRow("German") << kGerman << QStringLiteral("Saal für 200 Gäste, € 12.000");
}

void TestProjectFile::roundTripInEveryLanguage() {
    QFETCH(QStringList, headers);
    QFETCH(QString, description);
    QStringList texts = kExample;
    texts[0] = description;
    texts[9] = QStringLiteral("1,2");

    Window writer(headers);
    setFields(*writer.w, texts);
    writer.w->WriteProjectFile(writer.path("p.kvx"));
    const QByteArray written = readBytes(writer.path("p.kvx"));
    const QStringList lines =
        QString(QStringDecoder("windows-1252").decode(written)).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 11);
    for (int i = 0; i < 5; ++i)
        QCOMPARE(lines[2 * i], headers[i]);
    QCOMPARE(lines[1], description);

    Window reader(headers);
    reader.w->ReadProjectFile(writer.path("p.kvx"));
    QCOMPARE(fieldTexts(*reader.w), texts);
    reader.w->WriteProjectFile(reader.path("q.kvx"));
    QCOMPARE(readBytes(reader.path("q.kvx")), written);
}

void TestProjectFile::storedTexts_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("readBack");
    QTest::newRow("placeholder description saved as an empty line")
        << 0 << kPrompt << QByteArray("") << QString();
    QTest::newRow("description with commas and quotes")
        << 0 << QStringLiteral("Hall \"A\", \"B\", C") << QByteArray("Hall \"A\", \"B\", C")
        << QStringLiteral("Hall \"A\", \"B\", C");
    QTest::newRow("description with outer spaces")
        << 0 << QStringLiteral("  indented  ") << QByteArray("  indented  ")
        << QStringLiteral("  indented  ");
    QTest::newRow("type name padded to eleven")
        << 1 << QStringLiteral("  K 2      ")
        << QByteArray("\"  K 2      \",\"120\",\"140\",\"80\",\"10\"")
        << QStringLiteral("  K 2      ");
    QTest::newRow("type name with a comma")
        << 1 << QStringLiteral("A,B") << QByteArray("\"A,B\",\"120\",\"140\",\"80\",\"10\"")
        << QStringLiteral("A,B");
    QTest::newRow("empty result label as two quotes")
        << 13 << QString() << QByteArray("\"\",\"90\",\"4.2\",\"6\",\"85\"") << QString();
}

void TestProjectFile::storedTexts() {
    QFETCH(int, field);
    QFETCH(QString, shown);
    QFETCH(QByteArray, line);
    QFETCH(QString, readBack);
    const int lineOfField[] = {1, 3, 3, 3, 3, 3, 5, 5, 5, 5, 7, 7, 7, 9, 9, 9, 9, 9};

    Window h;
    QStringList texts = kExample;
    texts[field] = shown;
    setFields(*h.w, texts);
    h.w->WriteProjectFile(h.path("p.kvx"));
    QCOMPARE(readBytes(h.path("p.kvx")).split('\n').value(lineOfField[field]), line + '\r');

    Window reader;
    reader.w->ReadProjectFile(h.path("p.kvx"));
    QCOMPARE(projectFields(*reader.w)[field]->text(), readBack);
}

void TestProjectFile::sectionsInAnyOrderAndRepeated() {
    Window h;
    // The power section comes after the loudspeaker section, whose rated power
    // recomputes the speaker power: the stored caption wins.
    writeBytes(h.path("p.kvx"), "[Calculated Data]\r\n\"5.5\",\"90\",\"4.2\",\"6\",\"85\"\r\n"
                                "[Loudspeaker Data]\r\n\"X\",\"90\",\"100\",\"88\",\"6\"\r\n"
                                "[Power Settings]\r\n\"1/2 P\",\" 70 V\",\"2.5\"\r\n"
                                "[Room Data]\r\n\"1\",\"2\",\"3\",\"4\"\r\n"
                                "[Project Description]\r\nFirst\r\n"
                                "[Room Data]\r\n\"20\",\"10\",\"3\",\"1,2\"\r\n"
                                "[Project Description]\r\nSecond\r\n");
    h.w->ReadProjectFile(h.path("p.kvx"));
    QCOMPARE(fieldTexts(*h.w),
             (QStringList{"Second", "X", "90", "100", "88", "6", "20", "10", "3", "1,2", "1/2 P",
                          " 70 V", "2.5", "5.5", "90", "4.2", "6", "85"}));
    QCOMPARE(h.kvx.Modified, false);
}

void TestProjectFile::missingSectionLeavesFieldsAlone() {
    Window h;
    setFields(*h.w, kExample);
    writeBytes(h.path("p.kvx"), "[Room Data]\r\n\"20\",\"10\",\"3\",\"1.2\"\r\n");
    h.w->ReadProjectFile(h.path("p.kvx"));
    QStringList expected = kExample;
    expected[6] = "20";
    expected[7] = "10";
    expected[8] = "3";
    expected[9] = "1.2";
    QCOMPARE(fieldTexts(*h.w), expected);
}

void TestProjectFile::headerLine_data() {
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<QString>("lastRecord"); // empty: the header is recognized
    QTest::newRow("text before the bracket") << QByteArray("xx[Room Data]") << QString();
    QTest::newRow("outer spaces") << QByteArray("   [Room Data]   ") << QString();
    QTest::newRow("quoted") << QByteArray("\"[Room Data]\"") << QString();
    QTest::newRow("other letter case")
        << QByteArray("[room data]") << QStringLiteral("[room data]");
    QTest::newRow("long header kept to fifty characters")
        << "[Room Data]" + QByteArray(60, 'x') << "[Room Data]" + QString(39, u'x');
    QTest::newRow("ten thousand characters before the bracket")
        << QByteArray(10000, '-') + "[Foreign section] with a tail"
        << QStringLiteral("[Foreign section] with a tail");
}

void TestProjectFile::headerLine() {
    QFETCH(QByteArray, header);
    QFETCH(QString, lastRecord);
    Window h;
    writeBytes(h.path("p.kvx"), header + "\r\n\"20\",\"10\",\"3\",\"1.2\"\r\n");
    h.w->ReadProjectFile(h.path("p.kvx"));
    if (lastRecord.isEmpty()) {
        QVERIFY(h.platform.messages.isEmpty());
        QCOMPARE(h.w->txtRoomLength.text(), QStringLiteral("20"));
    } else {
        // The new project's calculation may report on its own; the reader's
        // message comes first.
        QCOMPARE(h.platform.messageTitles().count(QStringLiteral("Fatal Error")), 1);
        QCOMPARE(h.platform.messages[0].text,
                 QStringLiteral("Error in project file: \rLast Record read: ") + lastRecord);
    }
}

void TestProjectFile::unknownHeaderStartsNewProject() {
    Window german(kGerman);
    setFields(*german.w, kExample);
    german.w->WriteProjectFile(german.path("Saal.kvx"));

    Window h;
    setFields(*h.w, kExample);
    h.w->CmDialog1.fileName = h.path("old.kvx");
    h.kvx.Modified = true;
    h.w->ReadProjectFile(german.path("Saal.kvx"));
    QCOMPARE(h.platform.messageTitles().count(QStringLiteral("Fatal Error")), 1);
    QCOMPARE(h.platform.messages[0].text,
             QStringLiteral("Error in project file: \rLast Record read: [Projekt Umschreibung]"));
    QCOMPARE(h.platform.messages[0].style, int(MsgStyle::Critical));
    QCOMPARE(h.platform.messages[0].title, QStringLiteral("Fatal Error"));
    QCOMPARE(h.w->form.text(), QStringLiteral("KVX - <New>"));
    QCOMPARE(h.w->txtDescription.text(), kPrompt);
    QCOMPARE(h.w->txtRoomLength.text(), QStringLiteral("50"));
    QVERIFY(h.w->CmDialog1.fileName.isEmpty());
    QCOMPARE(h.kvx.Modified, false);
}

void TestProjectFile::damagedFileChangesNothing_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes"); // written unless empty
    QTest::addColumn<QString>("reason");
    const QByteArray good = exampleBytes("\r\n");
    QTest::newRow("missing file") << "none.kvx" << QByteArray() << "No such file";
    QTest::newRow("folder") << "folder.kvx" << QByteArray() << "it is a folder";
    QTest::newRow("empty file") << "empty.kvx" << QByteArray("") << "the file is empty";
    QTest::newRow("blank line after the last section") << "blank.kvx" << good + "\r\n"
                                                       << "line 11 holds no section header";
    QTest::newRow("header line without bracket")
        << "nobracket.kvx"
        << "Project\r\n" + good << "line 1 holds no section header";
    QTest::newRow("end of file inside a record")
        << "short.kvx" << good.left(good.indexOf("\"85\""))
        << "the file ends inside the section \"[Calculated Data]\"";
    QTest::newRow("end of file inside the description")
        << "desc.kvx" << QByteArray("[Project Description]\r\nno line end")
        << "the file ends inside the section \"[Project Description]\"";
    QTest::newRow("field longer than a text box holds")
        << "long.kvx"
        << "[Room Data]\r\n\"" + QByteArray(200000, '9') + "\",\"1\",\"2\",\"3\"\r\n"
        << "a field is longer than 65535 characters";
    QTest::newRow("description longer than a text box holds")
        << "longdesc.kvx"
        << "[Project Description]\r\n" + QByteArray(1000000, 'x') + "\r\n"
        << "a field is longer than 65535 characters";
}

void TestProjectFile::damagedFileChangesNothing() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    // The window shows another project than the good part of the file.
    const QStringList before = {"Hall", "Type B     ", "90",    "100",  "86", "6", "20", "10", "3",
                                "1,2",  "1/2 P",       " 70 V", "1.47", "",   "",  "",   "6",  ""};
    Window h;
    setFields(*h.w, before);
    h.w->form.setText(QStringLiteral("KVX - Hall.kvx"));
    h.kvx.Modified = true;
    const QString path = h.path(name);
    if (name == QLatin1String("folder.kvx"))
        QVERIFY(QDir(h.dir.path()).mkdir(name));
    else if (!bytes.isNull())
        writeBytes(path, bytes);

    // The broken file is good up to its last section: nothing of it may show.
    QString message;
    try {
        h.w->ReadProjectFile(path);
    } catch (const KvxError& e) {
        message = e.message();
    }
    QVERIFY2(message.contains(QDir::toNativeSeparators(path)), qPrintable(message));
    QVERIFY2(message.contains(reason), qPrintable(message));
    QCOMPARE(fieldTexts(*h.w), before);
    QCOMPARE(h.w->form.text(), QStringLiteral("KVX - Hall.kvx"));
    QCOMPARE(h.kvx.Modified, true);
    QVERIFY(h.platform.messages.isEmpty());
}

void TestProjectFile::unstorableTextIsRefused_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("named");
    QTest::newRow("double quote in the type name")
        << 1 << QStringLiteral("12\" Type")
        << QStringLiteral("\"Loudspeaker type\" holds a double quote");
    QTest::newRow("line break in the description")
        << 0 << QStringLiteral("two\r\nlines") << QStringLiteral("description holds a line break");
    QTest::newRow("line feed in a result")
        << 14 << QStringLiteral("9\n0")
        << QStringLiteral("\"Number of speakers\" holds a line break");
    QTest::newRow("character outside the code page")
        << 6 << QStringLiteral("5\u03A90") << QStringLiteral("\"Room length\" holds the character");
    QTest::newRow("character beyond the basic plane")
        << 1 << QStringLiteral("Type \U0001F50A") << QStringLiteral("the character \"\U0001F50A\"");
    QTest::newRow("description outside the code page")
        << 0 << QStringLiteral("Hall \u4E2D") << QStringLiteral("description holds the character");
}

void TestProjectFile::unstorableTextIsRefused() {
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(QString, named);
    Window h;
    setFields(*h.w, kExample);
    h.w->WriteProjectFile(h.path("p.kvx"));
    projectFields(*h.w)[field]->setText(text);
    h.kvx.Modified = true;
    QString message;
    try {
        h.w->WriteProjectFile(h.path("p.kvx"));
    } catch (const KvxError& e) {
        message = e.message();
    }
    QVERIFY2(message.contains(named), qPrintable(message));
    QCOMPARE(readBytes(h.path("p.kvx")), exampleBytes("\r\n"));
    QCOMPARE(h.kvx.Modified, true);
}

void TestProjectFile::failedWriteReportsTheFile_data() {
    QTest::addColumn<QString>("target");
    QTest::newRow("folder in place of the file") << QStringLiteral("taken.kvx");
    QTest::newRow("parent is a file") << QStringLiteral("plain/p.kvx");
}

void TestProjectFile::failedWriteReportsTheFile() {
    QFETCH(QString, target);
    Window h;
    QVERIFY(QDir(h.dir.path()).mkdir(QStringLiteral("taken.kvx")));
    writeBytes(h.path("plain"), "keep");
    h.kvx.Modified = true;
    const QString caption = h.w->form.text();
    QString message;
    try {
        h.w->WriteProjectFile(h.path(target));
    } catch (const KvxError& e) {
        message = e.message();
    }
    QVERIFY2(message.contains(QDir::toNativeSeparators(h.path(target))), qPrintable(message));
    QCOMPARE(h.kvx.Modified, true);
    QCOMPARE(h.w->form.text(), caption);
    QCOMPARE(readBytes(h.path("plain")), QByteArray("keep"));
    QVERIFY(QDir(h.path("taken.kvx")).isEmpty());
}

void TestProjectFile::captionNamesTheSavedFile() {
    Window h;
    QVERIFY(QDir(h.dir.path()).mkdir(QStringLiteral("jobs")));
    h.w->WriteProjectFile(h.path("jobs/Hall.kvx"));
    QCOMPARE(h.w->form.text(), QStringLiteral("KVX - Hall.kvx"));
}

QTEST_GUILESS_MAIN(TestProjectFile)
#include "test_project_file.moc"
