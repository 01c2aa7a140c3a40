// Start-up, the language window, the main window's load and activation, and
// centring.
#include "core/base/kvx_error.h"
#include "core/shell/program.h"
#include "core/ui/window_placement.h"
#include "support/files.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

using namespace kvx;
using namespace kvx::test;

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()) && writeBytes(path, bytes));
}

// A data file of two types: "Type A" (opening angles 90 and 60 degrees,
// 89.5 dB, 6 W) and "Type B" (120 and 140 degrees, 91 dB, 10 W).
const QByteArray kTwoTypes = kvx::test::testData(QStringLiteral("startup/two_types.lsp"));
// A project of "Type B" described as "Hall project", 20 m long.
const QByteArray kHallProject = kvx::test::testData(QStringLiteral("startup/hall.kvx"));
const QByteArray kDataFileOnly = "[Current lsp file]\r\nFilename=Basic.lsp\r\n";

// The caption, whether Calculate and the reports are offered, and the file
// that Save would write.
QStringList windowState(const FrmKvx& w) {
    return {w.form.text(), w.cmdCalc.isEnabled() ? "Calculate on" : "Calculate off",
            w.mnuPrintFile.isEnabled() && w.mnuReport.isEnabled() ? "reports on" : "reports off",
            w.CmDialog1.fileName};
}
const QStringList kNewProject = {"KVX - <New>", "Calculate off", "reports on", ""};

// A platform whose screen size cannot be read: the centring step of the load fails.
class NoScreenPlatform : public FakePlatform {
public:
    QSizeF screenSizeTwips() override {
        throw KvxError(QStringLiteral("Screen size not available"));
    }
};

} // namespace

class TestStartup : public QObject {
    Q_OBJECT
private Q_SLOTS:

    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        m_platform = FakePlatform();
        QVERIFY(!kTwoTypes.isEmpty() && !kHallProject.isEmpty());
        writeFile(path("Basic.lsp"), kTwoTypes);
    }

    // The language window's choice, stored when OK is pressed, and the main
    // window that follows in that language.
    void firstStart_data() {
        QTest::addColumn<QList<int>>("clicks"); // the options clicked; {-2}: closed without OK
        QTest::addColumn<QByteArray>("ini");    // null: a folder stands in the way of the file
        QTest::addColumn<QString>("calculate"); // empty: the load ends at the data file
        const auto row =
            [](const char* name, QList<int> clicks, const char* language, const char* calculate) {
                QTest::newRow(name)
                    << clicks << kDataFileOnly + "[Configuration]\r\nLanguage=" + language + "\r\n"
                    << QString(calculate);
            };
        row("Nederlands", {2}, "Dutch", "Bereken");
        row("English", {0}, "English", "Calculate");
        row("Deutsch", {1}, "German", "Berechnung");
        row("Francais", {3}, "French", "Calculez");
        row("Italiano", {4}, "Italian", "Calcolare");
        row("the last click wins", {2, 1}, "German", "Berechnung");
        row("Espanol cannot be chosen", {0, 5}, "English", "Calculate");
        QTest::newRow("OK with nothing chosen") << QList<int>{} << kDataFileOnly << "Calculate";
        QTest::newRow("closed without OK, the next start runs in English")
            << QList<int>{-2} << kDataFileOnly << "Calculate";
        // Not even the data file's name is stored, so the load finds no data file.
        QTest::newRow("folder that cannot be written")
            << QList<int>{2} << QByteArray() << QString();
    }

    void firstStart() {
        QFETCH(QList<int>, clicks);
        QFETCH(QByteArray, ini);
        QFETCH(QString, calculate);
        if (ini.isNull())
            QVERIFY(QDir(m_dir->path()).mkdir("Kvx.ini"));

        auto program = std::make_unique<Program>(m_platform, m_dir->path(), QLocale::c());
        QVERIFY(program->start());
        QVERIFY(!program->hasMainWindow());
        if (clicks == QList<int>{-2}) {
            program = std::make_unique<Program>(m_platform, m_dir->path(), QLocale::c());
            QVERIFY(!program->start());
        } else {
            for (int option : clicks)
                program->langSelect.LanSel[option]->userClick();
            program->languageChosen();
        }
        QCOMPARE(readBytes(path("Kvx.ini")), ini);
        QCOMPARE(program->programEnded(), calculate.isEmpty());
        QCOMPARE(m_platform.messages.size(), calculate.isEmpty() ? 1 : 0);
        if (!calculate.isEmpty()) {
            program->mainWindow->Form_Activate();
            QCOMPARE(program->mainWindow->cmdCalc.text(), calculate);
        }
    }

    void laterStart_data() {
        QTest::addColumn<QByteArray>("languageLine");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QString>("calculate");
        const auto row = [](const char* name, const char* line, int offset, const char* calc) {
            QTest::newRow(name) << QByteArray(line) << offset << QString(calc);
        };
        row("Dutch", "Language=Dutch", 1000, "Bereken");
        row("German", "Language=German", 4000, "Berechnung");
        row("French, without a level tooltip", "Language=French", 2000, "Calculez");
        row("Italian", "Language=Italian", 3000, "Calcolare");
        row("lower case name is English", "Language=dutch", 0, "Calculate");
        row("translated name is English", "Language=Nederlands", 0, "Calculate");
        row("empty value is English", "Language=", 0, "Calculate");
        row("no language key is English", "", 0, "Calculate");
        row("Spanish runs in English", "Language=Spanish", 5000, "Calculate");
    }

    void laterStart() {
        QFETCH(QByteArray, languageLine);
        QFETCH(int, offset);
        QFETCH(QString, calculate);
        writeIni(languageLine);
        const QByteArray before = readBytes(path("Kvx.ini"));

        auto program = startedProgram();
        QVERIFY(program);
        QCOMPARE(program->kvx.LanguageOffset, offset);
        QVERIFY(!program->kvx.texts.SectionProjectDescription.isEmpty());
        FrmKvx& w = *program->mainWindow;
        // Sized and centred on the 1280 x 1024 screen, the data file open, a new project.
        QCOMPARE(windowState(w).mid(1), kNewProject.mid(1));
        QCOMPARE(QRectF(w.form.left(), w.form.top(), w.form.width(), w.form.height()),
                 QRectF(5760, 3755, 7680, 7850));
        QCOMPARE(
            (QStringList{w.FileSel.text(), w.lstLsp.items().mid(0, 2).join('|'), w.txtAngle4.text(),
                         w.txtLevelDif4.text(), w.lstLspTap.text() + w.lstAmpTap.text()}),
            (QStringList{"Basic.lsp", "Type A     |Type B     ", "60", "6", "1/1 P100 V"}));
        QVERIFY(!program->kvx.Modified);

        // At the first display and again after the About window has closed (not
        // while it is open): translated with the caption still naming the project,
        // recalculated, and the result tooltips set, in English where the language
        // has no text.
        const QString newProject =
            program->kvx.texts.ProgramTitle + " - " + program->kvx.texts.NewProjectName;
        QStringList activated{newProject, calculate, "results shown", "Calculate off"};
        for (int id : {1036, 1038, 1031, 1034, 1032})
            activated
                << program->kvx.strings.find(id + offset).value_or(program->kvx.strings.text(id));
        const auto state = [&w] {
            return QStringList{w.form.text(), w.cmdCalc.text(),
                               w.lblDistance.text().isEmpty() ? "no results" : "results shown",
                               windowState(w)[1]} +
                   of({&w.lblDistance, &w.lblNrofSpeakers, &w.lblLevelDif1, &w.lblLevel,
                       &w.txtLevelDif4},
                      &Control::toolTip);
        };
        w.Form_Activate();
        QCOMPARE(state(), activated);

        w.txtRoomLength.userClick();
        w.txtRoomLength.userSetText(QStringLiteral("30"));
        QVERIFY(w.lblDistance.text().isEmpty());
        w.lblLevel.setToolTip({});
        w.form.setText(QStringLiteral("KVX - <New>"));
        QString distanceWhileOpen = QStringLiteral("not shown");
        m_platform.onAbout = [&] { distanceWhileOpen = w.lblDistance.text(); };
        w.mnuAbout.userClick();
        QVERIFY(distanceWhileOpen.isEmpty());
        QCOMPARE(state(), activated);
        QCOMPARE(readBytes(path("Kvx.ini")), before);
        QVERIFY(m_platform.messages.isEmpty());
    }

    void dataFileListing_data() {
        QTest::addColumn<int>("files");
        QTest::newRow("sixty data files list fifty-one") << 60;
        QTest::newRow("no data file lists nothing and ends the program") << 0;
    }

    void dataFileListing() {
        QFETCH(int, files);
        writeIni({});
        if (files == 0)
            QVERIFY(QFile::remove(path("Basic.lsp")));
        for (int i = 1; i < files; ++i)
            writeFile(path(QStringLiteral("Cat%1.lsp").arg(i)), kTwoTypes);
        writeFile(path("notes.txt"), "not a data file");
        QVERIFY(QDir(m_dir->path()).mkdir("Folder.lsp"));

        Program program(m_platform, m_dir->path(), QLocale::c());
        QVERIFY(!program.start());
        // The first 51 in the order the directory yields them, not sorted.
        QStringList directoryOrder;
        for (QDirIterator it(m_dir->path(), {"*.lsp"}, QDir::Files);
             it.hasNext() && directoryOrder.size() < 51;)
            directoryOrder << QFileInfo(it.next()).fileName();
        QCOMPARE(directoryOrder.size(), files == 0 ? 0 : 51);
        QCOMPARE(program.mainWindow->FileSel.items(), directoryOrder);
        QCOMPARE(program.programEnded(), files == 0);
        QCOMPARE(m_platform.messageTitles(),
                 files == 0 ? QStringList{"Loudspeaker File Error"} : QStringList());
        // An ended load runs no step after the data file.
        QCOMPARE(program.mainWindow->cmdCalc.isEnabled(), files == 0);
    }

    void commandLineProject_data() {
        QTest::addColumn<QString>("file"); // the project file written, in the program folder
        QTest::addColumn<bool>("unknownHeader");
        QTest::addColumn<QString>("argument"); // "<full path>": the file's own full path
        QTest::addColumn<bool>("adopted");
        QTest::newRow("bare name in the working folder")
            << "Hall.kvx" << false << "Hall.kvx" << true;
        QTest::newRow("relative path with spaces")
            << "My projects/Hall 2.kvx" << false << "My projects/Hall 2.kvx" << true;
        QTest::newRow("full path") << "projects/Hall.kvx" << false << "<full path>" << true;
        QTest::newRow("missing file") << "Hall.kvx" << false << "Missing.kvx" << false;
        QTest::newRow("quotes are part of the name")
            << "Hall.kvx" << false << "\"Hall.kvx\"" << false;
        QTest::newRow("a folder") << "projects/Hall.kvx" << false << "projects" << false;
        // A header of no language fails at once: a new project, which forgets the name.
        QTest::newRow("header of no language") << "Halle.kvx" << true << "<full path>" << false;
    }

    void commandLineProject() {
        QFETCH(QString, file);
        QFETCH(bool, unknownHeader);
        QFETCH(QString, argument);
        QFETCH(bool, adopted);
        writeIni({});
        const QString projectPath = path(file);
        QByteArray contents = kHallProject;
        if (unknownHeader)
            contents.replace("[Project Description]", "[Projektbeschreibung]");
        writeFile(projectPath, contents);
        argument.replace(QStringLiteral("<full path>"), projectPath);

        const auto restore =
            qScopeGuard([saved = QDir::currentPath()] { QDir::setCurrent(saved); });
        QVERIFY(QDir::setCurrent(m_dir->path()));
        auto program = startedProgram(argument);
        QVERIFY(program);
        FrmKvx& w = *program->mainWindow;
        if (unknownHeader)
            QCOMPARE(m_platform.messageTitles(), QStringList{"Fatal Error"});
        else
            QCOMPARE(messageLog(m_platform),
                     adopted ? QStringList()
                             : QStringList{"File specification error (64): Project file: " +
                                           argument + " does not exist"});
        const QString caption = "KVX - " + QFileInfo(file).fileName();
        const QString saved = QFileInfo(projectPath).absoluteFilePath();
        QCOMPARE(
            windowState(w),
            (adopted ? QStringList{caption, "Calculate off", "reports on", saved} : kNewProject));
        if (adopted)
            QCOMPARE(
                (QStringList{w.txtDescription.text(), w.txtRoomLength.text(), w.lstLsp.text()}),
                (QStringList{"Hall project", "20", "Type B     "}));
        QVERIFY(!program->kvx.Modified);

        // Started from elsewhere, Save writes the file that was opened; a project
        // that was not adopted asks for a name (cancelled here).
        QTemporaryDir elsewhere;
        QVERIFY(QDir::setCurrent(elsewhere.path()));
        w.txtDescription.userClick();
        w.txtDescription.userSetText(QStringLiteral("Hall project, revised"));
        m_platform.saveAnswers = {std::nullopt};
        w.mnuSave.userClick();
        QCOMPARE(m_platform.dialogsShown.size(), adopted ? 0 : 1);
        QCOMPARE(readBytes(projectPath).contains("Hall project, revised\r\n"), adopted);
        QCOMPARE(program->kvx.Modified, !adopted);
        QVERIFY(QDir(elsewhere.path()).isEmpty());
    }

    void loadGuardReportsAndContinues() {
        writeIni({});
        NoScreenPlatform platform;
        Program program(platform, m_dir->path(), QLocale::c());
        QVERIFY(!program.start() && !program.programEnded());
        QCOMPARE(messageLog(platform),
                 QStringList{"Form Load Error (0): Screen size not available"});
        QCOMPARE(platform.pointerLog, (QList<bool>{true, false}));

        // Every step after the failed centring ran.
        const FrmKvx& w = *program.mainWindow;
        QCOMPARE(w.form.left(), 0.0);
        QCOMPARE(w.lstLsp.items().size(), 3);
        QCOMPARE(windowState(w), kNewProject);
    }

    void centreWindow_data() {
        QTest::addColumn<QSizeF>("screen");
        QTest::addColumn<QSizeF>("window");
        QTest::addColumn<QPointF>("position");
        QTest::newRow("window larger than the screen")
            << QSizeF(9600, 7200) << QSizeF(12000, 9000) << QPointF(-1200, -900);
        QTest::newRow("single precision arithmetic")
            << QSizeF(33554432, 33554432) << QSizeF(1, 1) << QPointF(16777216, 16777216);
    }

    void centreWindow() {
        QFETCH(QSizeF, screen);
        QFETCH(QSizeF, window);
        m_platform.screen = screen;
        m_platform.setBusyPointer(true); // a caller that was busy already
        Control form(ControlKind::Form, QStringLiteral("frm"));
        form.setSize(window.width(), window.height());
        CentreWindow(m_platform, form);
        QTEST(QPointF(form.left(), form.top()), "position");
        QCOMPARE(m_platform.pointerLog, (QList<bool>{true, true, false}));
    }

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    void writeIni(const QByteArray& languageLine) {
        writeFile(path("Kvx.ini"), kDataFileOnly + "[Configuration]\r\n" + languageLine + "\r\n");
    }
    // A program started with a configuration file: no language window.
    std::unique_ptr<Program> startedProgram(const QString& commandLine = {}) {
        auto program =
            std::make_unique<Program>(m_platform, m_dir->path(), QLocale::c(), commandLine);
        return program->start() ? nullptr : std::move(program);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    FakePlatform m_platform;
};

QTEST_GUILESS_MAIN(TestStartup)
#include "test_startup.moc"
