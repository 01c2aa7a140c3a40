// Start-up, the main window's load, activation and closing, and centring.
#include "core/kvx_error.h"
#include "core/shell/program.h"
#include "core/shell/window_placement.h"
#include "support/fake_platform.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace kvx;
using kvx::test::FakePlatform;

namespace {

struct LspType {
    QByteArray name;
    qint16 angle1;
    qint16 angle4;
    float sensitivity;
    float maxPower;
};

// A loudspeaker data file: 23-byte records, little-endian numbers.
void writeLsp(const QString& path, const QList<LspType>& types) {
    QByteArray bytes;
    for (const LspType& t : types) {
        QByteArray record = t.name.leftJustified(11, ' ', true);
        char buffer[4];
        qToLittleEndian(t.angle1, buffer);
        record.append(buffer, 2);
        qToLittleEndian(t.angle4, buffer);
        record.append(buffer, 2);
        qToLittleEndian(t.sensitivity, buffer);
        record.append(buffer, 4);
        qToLittleEndian(t.maxPower, buffer);
        record.append(buffer, 4);
        bytes += record;
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList iniLines(const QString& path) {
    QStringList lines;
    for (const QByteArray& line : readFile(path).split('\n')) {
        const QString trimmed = QString::fromLatin1(line).trimmed();
        if (!trimmed.isEmpty())
            lines << trimmed;
    }
    return lines;
}

const QByteArray kHallProject = "[Project Description]\r\n"
                                "Hall project\r\n"
                                "[Loudspeaker Data]\r\n"
                                "\"Type B     \",\"120\",\"140\",\"91\",\"10\"\r\n"
                                "[Room Data]\r\n"
                                "\"20\",\"10\",\"4\",\"1.5\"\r\n"
                                "[Power Settings]\r\n"
                                "\"1/1 P\",\"100 V\",\"10\"\r\n"
                                "[Calculated Data]\r\n"
                                "\"\",\"\",\"\",\"6\",\"\"\r\n";

const QString kExitQuestion = QStringLiteral(
    "The project data is modified. Do you want to save before Exiting the program ?");

// A platform whose screen size cannot be read: the centring step of the load fails.
class NoScreenPlatform : public FakePlatform {
public:
    QSizeF screenSizeTwips() override {
        throw KvxError(QStringLiteral("Screen size not available"));
    }
};

// Restores the working folder that a test changes.
struct CurrentFolderGuard {
    QString saved = QDir::currentPath();
    ~CurrentFolderGuard() { QDir::setCurrent(saved); }
};

} // namespace

class TestStartup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void firstStartChoosingDutch();
    void firstStartOkAtOnceRunsInEnglish();
    void firstStartClosedWithoutOkThenLaterStart();
    void folderThatCannotBeWrittenRunsInEnglish();
    void laterStartTakesLanguageFromFile_data();
    void laterStartTakesLanguageFromFile();
    void loadLeavesResultsCurrentAndWindowCentred();
    void sixtyDataFilesListFiftyOne();
    void noDataFileListsNothingAndEnds();
    void commandLineProjectIsReadAndSavedBack_data();
    void commandLineProjectIsReadAndSavedBack();
    void commandLineFileMissing_data();
    void commandLineFileMissing();
    void commandLineProjectOfAnotherLanguageIsNotAdopted();
    void activationTooltipsFallBackToEnglish_data();
    void activationTooltipsFallBackToEnglish();
    void activationAfterInformationWindow_data();
    void activationAfterInformationWindow();
    void loadGuardReportsAndContinues();
    void closingByFrame_data();
    void closingByFrame();
    void centreWindow_data();
    void centreWindow();
    void centreWindowLeavesDefaultPointer();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    void writeIni(const QByteArray& language);
    std::unique_ptr<Program> startedProgram(const QString& commandLine = {});

    std::unique_ptr<QTemporaryDir> m_dir;
    FakePlatform m_platform;
};

void TestStartup::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    m_platform = FakePlatform();
    writeLsp(path("Basic.lsp"), {{"Type A", 90, 60, 89.5f, 6}, {"Type B", 120, 140, 91, 10}});
}

void TestStartup::cleanup() {
    m_dir.reset();
}

void TestStartup::writeIni(const QByteArray& languageLines) {
    writeFile(path("Kvx.ini"), "[Current lsp file]\r\nFilename=Basic.lsp\r\n" + languageLines);
}

std::unique_ptr<Program> TestStartup::startedProgram(const QString& commandLine) {
    auto program = std::make_unique<Program>(m_platform, m_dir->path(), QLocale::c(), commandLine);
    if (program->start())
        return nullptr; // a language window here is a test fault
    return program;
}

void TestStartup::firstStartChoosingDutch() {
    Program program(m_platform, m_dir->path(), QLocale::c());
    QVERIFY(program.start());
    QVERIFY(!program.hasMainWindow());

    program.langSelect.LanSel[2]->userClick();
    program.languageChosen();
    QVERIFY(program.hasMainWindow());
    QCOMPARE(program.kvx.LanguageOffset, 1000);
    QCOMPARE(iniLines(path("Kvx.ini")), (QStringList{"[Current lsp file]", "Filename=Basic.lsp",
                                                     "[Configuration]", "Language=Dutch"}));

    FrmKvx& w = *program.mainWindow;
    w.Form_Activate();
    QCOMPARE(w.cmdCalc.text(), QStringLiteral("Bereken"));
    QCOMPARE(w.mnuFile.text(), QStringLiteral("&Bestand"));
    QVERIFY(m_platform.messages.isEmpty());
}

void TestStartup::firstStartOkAtOnceRunsInEnglish() {
    Program program(m_platform, m_dir->path(), QLocale::c());
    QVERIFY(program.start());
    program.languageChosen();
    QCOMPARE(program.kvx.LanguageOffset, 0);
    QCOMPARE(iniLines(path("Kvx.ini")), (QStringList{"[Current lsp file]", "Filename=Basic.lsp"}));
    program.mainWindow->Form_Activate();
    QCOMPARE(program.mainWindow->cmdCalc.text(), QStringLiteral("Calculate"));
    QVERIFY(m_platform.messages.isEmpty());
}

void TestStartup::firstStartClosedWithoutOkThenLaterStart() {
    {
        Program first(m_platform, m_dir->path(), QLocale::c());
        QVERIFY(first.start());
    }
    QCOMPARE(iniLines(path("Kvx.ini")), (QStringList{"[Current lsp file]", "Filename=Basic.lsp"}));

    Program later(m_platform, m_dir->path(), QLocale::c());
    QVERIFY(!later.start());
    QVERIFY(later.hasMainWindow());
    QCOMPARE(later.kvx.LanguageOffset, 0);
    QCOMPARE(later.kvx.CurrentLspFile, QStringLiteral("Basic.lsp"));
}

void TestStartup::folderThatCannotBeWrittenRunsInEnglish() {
    // A folder in the way of the configuration file: nothing can be stored.
    QVERIFY(QDir(m_dir->path()).mkdir("Kvx.ini"));
    Program program(m_platform, m_dir->path(), QLocale::c());
    QVERIFY(program.start());
    program.langSelect.select(2);
    program.languageChosen();
    QCOMPARE(program.kvx.LanguageOffset, 0);
    QVERIFY(QFileInfo(path("Kvx.ini")).isDir());
    // No data file name could be stored either, so the load finds none.
    QVERIFY(program.programEnded());
    QCOMPARE(m_platform.messages.size(), 1);
}

void TestStartup::laterStartTakesLanguageFromFile_data() {
    QTest::addColumn<QByteArray>("languageLines");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("calculate");
    QTest::newRow("Dutch") << QByteArray("[Configuration]\r\nLanguage=Dutch\r\n") << 1000
                           << "Bereken";
    QTest::newRow("German") << QByteArray("[Configuration]\r\nLanguage=German\r\n") << 4000
                            << "Berechnung";
    QTest::newRow("French") << QByteArray("[Configuration]\r\nLanguage=French\r\n") << 2000
                            << "Calculez";
    QTest::newRow("Italian") << QByteArray("[Configuration]\r\nLanguage=Italian\r\n") << 3000
                             << "Calcolare";
    QTest::newRow("lower case name is English")
        << QByteArray("[Configuration]\r\nLanguage=dutch\r\n") << 0 << "Calculate";
    QTest::newRow("upper case name is English")
        << QByteArray("[Configuration]\r\nLanguage=GERMAN\r\n") << 0 << "Calculate";
    QTest::newRow("translated name is English")
        << QByteArray("[Configuration]\r\nLanguage=Nederlands\r\n") << 0 << "Calculate";
    QTest::newRow("empty value is English")
        << QByteArray("[Configuration]\r\nLanguage=\r\n") << 0 << "Calculate";
    QTest::newRow("no language key is English") << QByteArray() << 0 << "Calculate";
    QTest::newRow("Spanish runs in English")
        << QByteArray("[Configuration]\r\nLanguage=Spanish\r\n") << 5000 << "Calculate";
}

void TestStartup::laterStartTakesLanguageFromFile() {
    QFETCH(QByteArray, languageLines);
    QFETCH(int, offset);
    QFETCH(QString, calculate);
    writeIni(languageLines);
    const QByteArray before = readFile(path("Kvx.ini"));

    auto program = startedProgram();
    QVERIFY(program);
    QCOMPARE(program->kvx.LanguageOffset, offset);
    QCOMPARE(program->kvx.texts.ProgramTitle, QStringLiteral("KVX"));
    QVERIFY(!program->kvx.texts.SectionProjectDescription.isEmpty());
    program->mainWindow->Form_Activate();
    QCOMPARE(program->mainWindow->cmdCalc.text(), calculate);
    QCOMPARE(readFile(path("Kvx.ini")), before);
    QCOMPARE(m_platform.messages.size(), 0);
}

void TestStartup::loadLeavesResultsCurrentAndWindowCentred() {
    writeIni("[Configuration]\r\nLanguage=English\r\n");
    auto program = startedProgram();
    QVERIFY(program);
    const FrmKvx& w = *program->mainWindow;
    QCOMPARE(w.form.width(), 7680.0);
    QCOMPARE(w.form.height(), 7850.0);
    QCOMPARE(w.form.left(), (19200.0 - 7680.0) / 2);
    QCOMPARE(w.form.top(), (15360.0 - 7850.0) / 2);
    QCOMPARE(w.FileSel.text(), QStringLiteral("Basic.lsp"));
    QCOMPARE(w.FileSel.items(), QStringList{"Basic.lsp"});
    QCOMPARE(w.lstLsp.items(), (QStringList{"Type A     ", "Type B     ", "User type"}));
    QCOMPARE(w.lstLsp.text(), QStringLiteral("Type A     "));
    QCOMPARE(w.txtAngle4.text(), QStringLiteral("60"));
    QCOMPARE(w.txtAngle1.backColor(), kLightYellow);
    QCOMPARE(w.DiffSet.value(), 60);
    QCOMPARE(w.txtLevelDif4.text(), QStringLiteral("6"));
    QCOMPARE(w.lstLspTap.text(), QStringLiteral("1/1 P"));
    QCOMPARE(w.lstAmpTap.text(), QStringLiteral("100 V"));
    QCOMPARE(w.form.text(), QStringLiteral("KVX - <New>"));
    QVERIFY(!w.cmdCalc.isEnabled());
    QVERIFY(w.mnuPrintFile.isEnabled());
    QVERIFY(w.mnuReport.isEnabled());
    QVERIFY(!program->kvx.Modified);
    QVERIFY(w.CmDialog1.fileName.isEmpty());

    // The first display: the caption becomes the program title alone.
    program->mainWindow->Form_Activate();
    QCOMPARE(w.form.text(), QStringLiteral("KVX"));
    QVERIFY(!w.lblDistance.text().isEmpty());
    QVERIFY(!w.lblNrofSpeakers.text().isEmpty());
    QVERIFY(m_platform.messages.isEmpty());
}

void TestStartup::sixtyDataFilesListFiftyOne() {
    writeIni({});
    for (int i = 0; i < 59; ++i)
        writeLsp(path(QStringLiteral("Cat%1.lsp").arg(i, 2, 10, QLatin1Char('0'))),
                 {{"Type", 90, 60, 89, 6}});
    writeFile(path("notes.txt"), "not a data file");
    QVERIFY(QDir(m_dir->path()).mkdir("Folder.lsp"));

    auto program = startedProgram();
    QVERIFY(program);
    const QStringList listed = program->mainWindow->FileSel.items();
    QCOMPARE(listed.size(), 51);
    QCOMPARE(QSet<QString>(listed.begin(), listed.end()).size(), 51);

    // In the order the directory yields them, not sorted.
    QStringList directoryOrder;
    QDirIterator it(m_dir->path(), {"*.lsp"}, QDir::Files);
    while (it.hasNext() && directoryOrder.size() < 51) {
        it.next();
        directoryOrder << it.fileName();
    }
    QCOMPARE(listed, directoryOrder);
}

void TestStartup::noDataFileListsNothingAndEnds() {
    QVERIFY(QFile::remove(path("Basic.lsp")));
    writeIni({});
    Program program(m_platform, m_dir->path(), QLocale::c());
    QVERIFY(!program.start());
    QVERIFY(program.programEnded());
    QVERIFY(m_platform.ended);
    QVERIFY(program.mainWindow->FileSel.items().isEmpty());
    QCOMPARE(m_platform.messages.size(), 1);
    QCOMPARE(m_platform.messages[0].title, QStringLiteral("Loudspeaker File Error"));
    QCOMPARE(m_platform.messages[0].style, MsgStyle::Critical);
    // The load stopped there: nothing after the data file ran.
    QVERIFY(program.mainWindow->cmdCalc.isEnabled());
}

void TestStartup::commandLineProjectIsReadAndSavedBack_data() {
    QTest::addColumn<QString>("relativeFile");
    QTest::addColumn<bool>("absolute");
    QTest::newRow("bare name in the working folder") << "Hall.kvx" << false;
    QTest::newRow("relative path with spaces") << "My projects/Hall 2.kvx" << false;
    QTest::newRow("absolute path") << "projects/Hall.kvx" << true;
}

void TestStartup::commandLineProjectIsReadAndSavedBack() {
    QFETCH(QString, relativeFile);
    QFETCH(bool, absolute);
    writeIni({});
    const QString projectPath = path(relativeFile);
    writeFile(projectPath, kHallProject);

    CurrentFolderGuard folderGuard;
    QVERIFY(QDir::setCurrent(m_dir->path()));
    auto program = startedProgram(absolute ? projectPath : relativeFile);
    QVERIFY(program);
    FrmKvx& w = *program->mainWindow;
    QCOMPARE(w.txtDescription.text(), QStringLiteral("Hall project"));
    QCOMPARE(w.txtRoomLength.text(), QStringLiteral("20"));
    QCOMPARE(w.lstLsp.text(), QStringLiteral("Type B     "));
    QCOMPARE(w.form.text(), "KVX - " + QFileInfo(projectPath).fileName());
    QCOMPARE(w.CmDialog1.fileName, QFileInfo(projectPath).absoluteFilePath());
    QVERIFY(!program->kvx.Modified);
    QVERIFY(m_platform.messages.isEmpty());
    QVERIFY(!w.cmdCalc.isEnabled());

    // Started from elsewhere, Save still writes the file that was opened.
    QTemporaryDir elsewhere;
    QVERIFY(QDir::setCurrent(elsewhere.path()));
    w.txtDescription.userClick();
    w.txtDescription.userSetText(QStringLiteral("Hall project, revised"));
    w.mnuSave.userClick();
    QVERIFY(m_platform.dialogsShown.isEmpty());
    QVERIFY(readFile(projectPath).contains("Hall project, revised\r\n"));
    QVERIFY(QDir(elsewhere.path()).isEmpty());
    QVERIFY(!program->kvx.Modified);
}

void TestStartup::commandLineProjectOfAnotherLanguageIsNotAdopted() {
    // Read under English, a German file fails at its first header and leaves a
    // new project; a later Save must ask for a name rather than overwrite it.
    writeIni({});
    QByteArray german = kHallProject;
    german.replace("[Project Description]", "[Projekt Umschreibung]");
    const QString projectPath = path("Halle.kvx");
    writeFile(projectPath, german);

    auto program = startedProgram(projectPath);
    QVERIFY(program);
    QCOMPARE(m_platform.messageTitles(), QStringList{QStringLiteral("Fatal Error")});
    FrmKvx& w = *program->mainWindow;
    QVERIFY(w.CmDialog1.fileName.isEmpty());
    m_platform.saveAnswers = {std::nullopt};
    w.mnuSave.userClick();
    QCOMPARE(m_platform.dialogsShown.size(), 1);
    QCOMPARE(readFile(projectPath), german);
}

void TestStartup::commandLineFileMissing_data() {
    QTest::addColumn<QString>("argument");
    QTest::newRow("missing file") << "Missing.kvx";
    QTest::newRow("quotes are part of the name") << "\"Hall.kvx\"";
    QTest::newRow("several words are one name") << "Hall.kvx other.kvx";
    QTest::newRow("a folder") << "projects";
}

void TestStartup::commandLineFileMissing() {
    QFETCH(QString, argument);
    writeIni({});
    writeFile(path("Hall.kvx"), kHallProject);
    writeFile(path("projects/readme.txt"), "x");
    CurrentFolderGuard folderGuard;
    QVERIFY(QDir::setCurrent(m_dir->path()));

    auto program = startedProgram(argument);
    QVERIFY(program);
    QCOMPARE(m_platform.messages.size(), 1);
    QCOMPARE(m_platform.messages[0].text, "Project file: " + argument + " does not exist");
    QCOMPARE(m_platform.messages[0].style, MsgStyle::Information);
    QCOMPARE(m_platform.messages[0].title, QStringLiteral("File specification error"));
    const FrmKvx& w = *program->mainWindow;
    QCOMPARE(w.form.text(), QStringLiteral("KVX - <New>"));
    QVERIFY(w.CmDialog1.fileName.isEmpty());
    QVERIFY(!w.cmdCalc.isEnabled());
    QVERIFY(w.mnuReport.isEnabled());
}

void TestStartup::activationTooltipsFallBackToEnglish_data() {
    QTest::addColumn<QByteArray>("language");
    QTest::addColumn<bool>("english");
    QTest::newRow("English") << QByteArray("English") << true;
    QTest::newRow("French lacks the level tooltip") << QByteArray("French") << false;
    QTest::newRow("Spanish has no texts") << QByteArray("Spanish") << true;
    QTest::newRow("Dutch") << QByteArray("Dutch") << false;
}

void TestStartup::activationTooltipsFallBackToEnglish() {
    QFETCH(QByteArray, language);
    QFETCH(bool, english);
    writeIni("[Configuration]\r\nLanguage=" + language + "\r\n");
    auto program = startedProgram();
    QVERIFY(program);
    FrmKvx& w = *program->mainWindow;
    w.Form_Activate();
    const StringTable& strings = program->kvx.strings;
    const int offset = program->kvx.LanguageOffset;
    const auto expected = [&](int id) {
        return english ? strings.text(id) : strings.find(id + offset).value_or(strings.text(id));
    };
    QCOMPARE(w.lblDistance.toolTip(), expected(1036));
    QCOMPARE(w.lblNrofSpeakers.toolTip(), expected(1038));
    QCOMPARE(w.lblLevelDif1.toolTip(), expected(1031));
    QCOMPARE(w.txtLevelDif4.toolTip(), expected(1032));
    QCOMPARE(w.lblLevel.toolTip(), expected(1034));
    if (language == "French")
        QCOMPARE(w.lblLevel.toolTip(), QStringLiteral("Calculated direct sound level @ 1 kHz"));
    if (language == "Spanish")
        QCOMPARE(w.lblDistance.toolTip(), QStringLiteral("Mounting distance between loudspeakers"));
    QVERIFY(m_platform.messages.isEmpty());
    QVERIFY(!m_platform.ended);
}

void TestStartup::activationAfterInformationWindow_data() {
    QTest::addColumn<bool>("about");
    QTest::newRow("About") << true;
    QTest::newRow("Working with") << false;
}

void TestStartup::activationAfterInformationWindow() {
    QFETCH(bool, about);
    writeIni("[Configuration]\r\nLanguage=German\r\n");
    writeFile(path("Hall.kvx"), "[Projekt Umschreibung]\r\nHalle\r\n");
    auto program = startedProgram(path("Hall.kvx"));
    QVERIFY(program);
    FrmKvx& w = *program->mainWindow;
    QCOMPARE(w.form.text(), QStringLiteral("KVX - Hall.kvx"));
    w.Form_Activate();

    // An edit leaves the results cleared and Calculate offered.
    w.txtRoomLength.userFocus();
    w.txtRoomLength.userClick();
    w.txtRoomLength.userSetText(QStringLiteral("30"));
    QVERIFY(w.lblDistance.text().isEmpty());
    QVERIFY(w.cmdCalc.isEnabled());
    w.lblLevel.setToolTip({});
    w.form.setText(QStringLiteral("KVX - Hall.kvx"));

    QString distanceWhileOpen = QStringLiteral("not shown");
    const auto whileOpen = [&] { distanceWhileOpen = w.lblDistance.text(); };
    m_platform.onAbout = whileOpen;
    m_platform.onWorking = whileOpen;
    if (about)
        w.mnuAbout.userClick();
    else
        w.mnuWorking.userClick();

    QCOMPARE(m_platform.aboutShown, about ? 1 : 0);
    QCOMPARE(m_platform.workingShown, about ? 0 : 1);
    QVERIFY(distanceWhileOpen.isEmpty()); // activation comes after the window closes
    QCOMPARE(w.form.text(), QStringLiteral("KVX"));
    QVERIFY(!w.lblDistance.text().isEmpty());
    QVERIFY(!w.cmdCalc.isEnabled());
    QCOMPARE(w.lblLevel.toolTip(), program->kvx.strings.text(5034));
    QCOMPARE(w.cmdCalc.text(), QStringLiteral("Berechnung"));
    QVERIFY(m_platform.messages.isEmpty());
}

void TestStartup::loadGuardReportsAndContinues() {
    writeIni({});
    NoScreenPlatform platform;
    Program program(platform, m_dir->path(), QLocale::c());
    QVERIFY(!program.start());
    QVERIFY(!program.programEnded());

    QCOMPARE(platform.messages.size(), 1);
    QCOMPARE(platform.messages[0].text, QStringLiteral("Screen size not available"));
    QCOMPARE(platform.messages[0].title, QStringLiteral("Form Load Error"));
    QCOMPARE(platform.messages[0].style, MsgStyle::OkOnly);
    QCOMPARE(platform.pointerLog, (QList<bool>{true, false}));

    // Every step after the failed one ran.
    const FrmKvx& w = *program.mainWindow;
    QCOMPARE(w.form.left(), 0.0);
    QCOMPARE(w.lstLsp.items().size(), 3);
    QCOMPARE(w.lstLspTap.items().size(), 3);
    QCOMPARE(w.lstAmpTap.items().size(), 3);
    QCOMPARE(w.form.text(), QStringLiteral("KVX - <New>"));
    QVERIFY(!w.cmdCalc.isEnabled());
    QVERIFY(w.mnuPrintFile.isEnabled());
    QVERIFY(w.mnuReport.isEnabled());
}

void TestStartup::closingByFrame_data() {
    QTest::addColumn<bool>("modified");
    QTest::addColumn<bool>("named");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("saveAs"); // "-": no dialog; "": cancelled; else a file name
    QTest::addColumn<bool>("closes");
    QTest::addColumn<bool>("modifiedAfter");
    QTest::addColumn<QString>("written");

    const int yes = int(MsgResult::Yes);
    const int no = int(MsgResult::No);
    const int cancel = int(MsgResult::Cancel);
    QTest::newRow("unmodified closes without a question")
        << false << true << 0 << "-" << true << false << "";
    QTest::newRow("No closes without saving") << true << true << no << "-" << true << false << "";
    QTest::newRow("Cancel keeps the window open")
        << true << true << cancel << "-" << false << true << "";
    QTest::newRow("Yes saves the named project and closes")
        << true << true << yes << "-" << true << false << "Hall.kvx";
    QTest::newRow("Yes on a new project, Save As cancelled, stays open")
        << true << false << yes << "" << false << true << "";
    QTest::newRow("Yes on a new project, Save As chosen, closes")
        << true << false << yes << "New.kvx" << true << false << "New.kvx";
}

void TestStartup::closingByFrame() {
    QFETCH(bool, modified);
    QFETCH(bool, named);
    QFETCH(int, answer);
    QFETCH(QString, saveAs);
    QFETCH(bool, closes);
    QFETCH(bool, modifiedAfter);
    QFETCH(QString, written);

    writeIni({});
    writeFile(path("Hall.kvx"), kHallProject);
    auto program = startedProgram(named ? path("Hall.kvx") : QString());
    QVERIFY(program);
    FrmKvx& w = *program->mainWindow;
    w.Form_Activate();
    if (modified) {
        w.txtDescription.userClick();
        w.txtDescription.userSetText(QStringLiteral("Changed"));
        QVERIFY(program->kvx.Modified);
        m_platform.answers = {MsgResult(answer)};
    }
    if (saveAs != "-")
        m_platform.saveAnswers = {saveAs.isEmpty() ? std::nullopt
                                                   : std::optional<QString>(path(saveAs))};

    QCOMPARE(w.Form_QueryUnload(), closes);
    QCOMPARE(program->kvx.Modified, modifiedAfter);
    if (modified) {
        QCOMPARE(m_platform.messages.size(), 1);
        QCOMPARE(m_platform.messages[0].text, kExitQuestion);
        QCOMPARE(m_platform.messages[0].style, MsgStyle::YesNoCancelQuestion);
        QCOMPARE(m_platform.messages[0].title, QStringLiteral("Exit KVX"));
    } else {
        QVERIFY(m_platform.messages.isEmpty());
    }
    QCOMPARE(m_platform.dialogsShown.size(), saveAs == "-" ? 0 : 1);
    if (!written.isEmpty())
        QVERIFY(readFile(path(written)).contains("Changed\r\n"));
    else
        QCOMPARE(readFile(path("Hall.kvx")), kHallProject);
}

void TestStartup::centreWindow_data() {
    QTest::addColumn<QSizeF>("screen");
    QTest::addColumn<QSizeF>("window");
    QTest::addColumn<double>("left");
    QTest::addColumn<double>("top");
    QTest::newRow("main window on a 1280 x 1024 screen")
        << QSizeF(19200, 15360) << QSizeF(7680, 7850) << 5760.0 << 3755.0;
    QTest::newRow("odd difference keeps the half twip")
        << QSizeF(19200, 15360) << QSizeF(7681, 7851) << 5759.5 << 3754.5;
    QTest::newRow("window larger than the screen")
        << QSizeF(9600, 7200) << QSizeF(12000, 9000) << -1200.0 << -900.0;
    QTest::newRow("single precision arithmetic")
        << QSizeF(33554432, 33554432) << QSizeF(1, 1) << 16777216.0 << 16777216.0;
}

void TestStartup::centreWindow() {
    QFETCH(QSizeF, screen);
    QFETCH(QSizeF, window);
    QFETCH(double, left);
    QFETCH(double, top);
    m_platform.screen = screen;
    Control form(ControlKind::Form, QStringLiteral("frm"));
    form.setSize(window.width(), window.height());
    QStringList order;
    connect(&form, &Control::updated, this,
            [&] { order << QStringLiteral("%1,%2").arg(form.left()).arg(form.top()); });
    CentreWindow(m_platform, form);
    QCOMPARE(form.left(), left);
    QCOMPARE(form.top(), top);
    QCOMPARE(form.width(), window.width());
    // Top moves first.
    QCOMPARE(order.value(0), QStringLiteral("0,%1").arg(top));
}

void TestStartup::centreWindowLeavesDefaultPointer() {
    Control form(ControlKind::Form, QStringLiteral("frm"));
    m_platform.setBusyPointer(true); // a caller that was busy already
    CentreWindow(m_platform, form);
    QCOMPARE(m_platform.pointerLog, (QList<bool>{true, true, false}));
}

QTEST_GUILESS_MAIN(TestStartup)
#include "test_startup.moc"
