// Where an installed and a portable program keep their files: which one it is,
// the standard folders, the user's catalogues first and shadowing shipped ones,
// settings never beside an installed program, and where file dialogs start.
#include "core/base/kvx_error.h"
#include "core/base/program_folders.h"
#include "core/shell/program.h"
#include "support/files.h"

#include <QDir>
#include <QTest>

using namespace kvx;
using namespace kvx::test;

namespace {

const QList<LspRecord> kShippedTypes = {lspRecord("Shipped A", 90, 60, 90.0f, 6.0f),
                                        lspRecord("Shipped B", 120, 80, 88.0f, 10.0f)};
const QList<LspRecord> kUserTypes = {lspRecord("Mine", 100, 70, 89.0f, 6.0f)};

// A project of "Shipped B", 10 m long.
const QByteArray kProject = testData(QStringLiteral("folders/hall.kvx"));

// An installed program in a temporary tree: bin (the program's folder),
// config/kvx, data/kvx (the user's), share/kvx (shipped with Basic.lsp) and
// docs. A folder name given as a file makes that folder impossible to create.
struct InstalledTree {
    InstalledTree() {
        for (const char* folder : {"bin", "data/kvx", "share/kvx", "docs"})
            QDir(root.path()).mkpath(QString::fromLatin1(folder));
        writeLspFile(path("share/kvx/Basic.lsp"), kShippedTypes);
    }
    QString path(const QString& name) const { return root.filePath(name); }
    ProgramFolders folders() const {
        return {path("bin"), InstalledFolders{path("config/kvx"),
                                              {path("data/kvx"), path("share/kvx")},
                                              path("docs")}};
    }
    QTemporaryDir root;
};

// Makes folder and the names in it: a name ending in / a folder, any other a
// file that write makes.
void make(const QString& folder, const QStringList& names,
          const std::function<bool(const QString&)>& write) {
    QVERIFY(QDir().mkpath(folder));
    for (const QString& name : names)
        QVERIFY(name.endsWith(u'/') ? QDir(folder).mkdir(name)
                                    : write(QDir(folder).filePath(name)));
}

bool writeCatalogue(const QString& path) {
    return writeLspFile(path, kShippedTypes);
}

// A first start: the language window answered with option language.
void chooseLanguage(Program& program, int language) {
    QVERIFY(program.start());
    program.langSelect.LanSel[language]->userClick();
    program.languageChosen();
}

} // namespace

class TestProgramFolders : public QObject {
    Q_OBJECT
private Q_SLOTS:

    void portableOrInstalled_data() {
        QTest::addColumn<QStringList>(
            "beside"); // files beside the program; a trailing / is a folder
        QTest::addColumn<bool>("portable");
        QTest::newRow("a Kvx.ini: portable") << QStringList{"kvx", "Kvx.ini"} << true;
        QTest::newRow("a catalogue: portable") << QStringList{"kvx", "Basic.lsp"} << true;
        QTest::newRow("any catalogue name: portable") << QStringList{"Hall.lsp"} << true;
        QTest::newRow("the programs alone: installed") << QStringList{"kvx", "kvx-cli"} << false;
        QTest::newRow("an empty folder: installed") << QStringList{} << false;
        QTest::newRow("a folder named like a catalogue: installed")
            << QStringList{"Basic.lsp/"} << false;
        QTest::newRow("a folder named Kvx.ini: installed") << QStringList{"Kvx.ini/"} << false;
        QTest::newRow("another letter case: installed") << QStringList{"kvx.INI"} << false;
    }

    void portableOrInstalled() {
        QFETCH(QStringList, beside);
        QFETCH(bool, portable);
        QTemporaryDir bin;
        make(bin.path(), beside, [](const QString& path) { return writeBytes(path, "x"); });
        QCOMPARE(isPortableFolder(bin.path()), portable);
        const ProgramFolders folders =
            locateProgramFolders(bin.path(), QStringLiteral("../share/kvx"));
        QCOMPARE(folders.programFolder, bin.path());
        QCOMPARE(!folders.installed, portable);
    }

    void installedFollowsTheStandardFolders() {
        QTemporaryDir root;
        const QString home = root.filePath("home");
        const auto set = [&](const char* name, const QString& value) {
            qputenv(name, value.toLocal8Bit());
        };
        set("HOME", home);
        set("XDG_CONFIG_HOME", home + "/.config");
        set("XDG_DATA_HOME", home + "/.local/share");
        set("XDG_DATA_DIRS", root.filePath("usr/share") + u':' + root.filePath("opt/share"));
        QDir(root.path()).mkpath("prefix/bin");

        const ProgramFolders folders =
            locateProgramFolders(root.filePath("prefix/bin"), QStringLiteral("../share/kvx"));
        QVERIFY(folders.installed);
        QCOMPARE(folders.installed->configFolder, home + "/.config/kvx");
        QCOMPARE(folders.installed->catalogueFolders,
                 (QStringList{home + "/.local/share/kvx", root.filePath("prefix/share/kvx"),
                              root.filePath("usr/share/kvx"), root.filePath("opt/share/kvx")}));
        QVERIFY(!folders.installed->documentsFolder.isEmpty());
        // Working the folders out creates none of them.
        QVERIFY(!QFileInfo::exists(home));

        // A prefix that is also a system data folder is searched once.
        set("XDG_DATA_DIRS", root.filePath("prefix/share"));
        QCOMPARE(locateProgramFolders(root.filePath("prefix/bin"), QStringLiteral("../share/kvx"))
                     .installed->catalogueFolders,
                 (QStringList{home + "/.local/share/kvx", root.filePath("prefix/share/kvx")}));
    }

    void catalogues_data() {
        QTest::addColumn<QStringList>("user"); // names in the user's folder; "x/" a folder
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QString>("pick");
        QTest::addColumn<QString>("pickedFrom"); // "user", "shipped"
        // Lists are space separated; the shipped folder holds Basic.lsp.
        const auto row = [](const char* name, const QString& user, const QString& listed,
                            const QString& pick, const QString& from) {
            QTest::newRow(name) << user.split(u' ', Qt::SkipEmptyParts) << listed.split(u' ')
                                << pick << from;
        };
        row("shipped only", "", "Basic.lsp", "Basic.lsp", "shipped");
        row("the user's listed first", "Mine.lsp", "Mine.lsp Basic.lsp", "Mine.lsp", "user");
        row("a user's file shadows the shipped one of its name", "Basic.lsp", "Basic.lsp",
            "Basic.lsp", "user");
        row("names differing in letter case are two catalogues", "basic.lsp", "basic.lsp Basic.lsp",
            "Basic.lsp", "shipped");
        row("a folder named like a catalogue shadows nothing", "Basic.lsp/", "Basic.lsp",
            "Basic.lsp", "shipped");
        row("other files are not catalogues", "notes.txt", "Basic.lsp", "notes.txt", "user");
        row("a name found nowhere is looked for in the user's folder", "", "Basic.lsp", "Gone.lsp",
            "user");
    }

    void catalogues() {
        QFETCH(QStringList, user);
        QFETCH(QString, pick);
        QFETCH(QString, pickedFrom);
        QTemporaryDir root;
        const QStringList folders = {root.filePath("user"), root.filePath("shipped")};
        make(folders[0], user, writeCatalogue);
        make(folders[1], {"Basic.lsp"}, writeCatalogue);
        QTEST(catalogueNames(folders, 51), "listed");
        QCOMPARE(cataloguePath(folders, pick), root.filePath(pickedFrom) + u'/' + pick);
    }

    void installedStart_data() {
        QTest::addColumn<int>("language");        // the option chosen in the language window
        QTest::addColumn<bool>("userBasic");      // a user's Basic.lsp shadows the shipped one
        QTest::addColumn<bool>("configWritable"); // else a file stands where config/ would be
        QTest::addColumn<bool>("project");        // a project named on the command line
        QTest::addColumn<QStringList>("types");   // the type list of the main window
        const QStringList shipped = {"Shipped A  ", "Shipped B  ", "Benutzer Typ"};
        QTest::newRow("first start: settings made in the configuration folder")
            << 1 << false << true << false << shipped;
        QTest::newRow("the user's Basic.lsp is opened instead of the shipped one")
            << 1 << true << true << false << QStringList{"Mine       ", "Benutzer Typ"};
        QTest::newRow("an unwritable configuration folder: said once, the program runs")
            << 1 << false << false << false << shipped;
        QTest::newRow("a project double-clicked before the first start: opened after the language")
            << 0 << false << true << true << QStringList{"Shipped A  ", "Shipped B  ", "User type"};
    }

    void installedStart() {
        QFETCH(int, language);
        QFETCH(bool, userBasic);
        QFETCH(bool, configWritable);
        QFETCH(bool, project);
        QFETCH(QStringList, types);
        InstalledTree tree;
        if (userBasic)
            QVERIFY(writeLspFile(tree.path("data/kvx/Basic.lsp"), kUserTypes));
        if (!configWritable)
            QVERIFY(writeBytes(tree.path("config"), "a file, not a folder"));
        const QString projectFile = project ? tree.path("hall.kvx") : QString();
        if (project)
            QVERIFY(writeBytes(projectFile, kProject));
        const QStringList untouched = snapshot(tree.path("bin")) + snapshot(tree.path("share"));

        FakePlatform platform;
        Program program(platform, tree.folders(), QLocale::c(), projectFile);
        chooseLanguage(program, language);
        QVERIFY(program.hasMainWindow() && !program.programEnded());
        const FrmKvx& window = *program.mainWindow;
        QCOMPARE(window.FileSel.text(), "Basic.lsp");
        QCOMPARE(window.lstLsp.items(), types);
        QCOMPARE(platform.messageTitles(),
                 configWritable ? QStringList() : QStringList{"Settings"}); // said once
        QCOMPARE(window.CmDialog1.fileName, projectFile);
        QCOMPARE(window.txtRoomLength.text(), project ? "10" : "50");
        QCOMPARE(window.lstLsp.text(), project ? "Shipped B  " : types.constFirst());
        // The choice holds for this run whether or not it could be kept.
        QCOMPARE(program.kvx.LanguageOffset, language == 1 ? LanguageOffsets::German : 0);

        QCOMPARE(snapshot(tree.path("bin")) + snapshot(tree.path("share")), untouched);
        if (configWritable) {
            QCOMPARE(readBytes(tree.path("config/kvx/Kvx.ini")),
                     "[Current lsp file]\r\nFilename=Basic.lsp\r\n[Configuration]\r\nLanguage=" +
                         QByteArray(language == 1 ? "German" : "English") + "\r\n");
            // The next start goes straight to the main window.
            FakePlatform again;
            Program next(again, tree.folders(), QLocale::c());
            QVERIFY(!next.start());
            QCOMPARE(next.mainWindow->lstLsp.items(), types);
        } else {
            QVERIFY(platform.messages.constFirst().text.contains(tree.path("config/kvx/Kvx.ini")));
        }
    }

    void aCatalogueThatCannotBeOpenedIsNotKept() {
        InstalledTree tree;
        QVERIFY(writeLspFile(tree.path("data/kvx/Gone.lsp"), kUserTypes));
        {
            FakePlatform platform;
            Program program(platform, tree.folders(), QLocale::c());
            chooseLanguage(program, 0);
            FrmKvx& window = *program.mainWindow;
            QCOMPARE(window.FileSel.items(), (QStringList{"Gone.lsp", "Basic.lsp"}));
            QVERIFY(QFile::remove(tree.path("data/kvx/Gone.lsp")));
            platform.clear();
            try {
                window.FileSel.userPick(0);
            } catch (const ProgramEnded&) {
            }
            QCOMPARE(platform.messageTitles(), QStringList{"Loudspeaker File Error"});
            QVERIFY(platform.ended);
        }
        // The next start opens the catalogue that worked.
        FakePlatform platform;
        Program next(platform, tree.folders(), QLocale::c());
        QVERIFY(!next.start());
        QCOMPARE(next.mainWindow->FileSel.text(), "Basic.lsp");
        QCOMPARE(next.mainWindow->lstLsp.items().constFirst(), "Shipped A  ");
        QCOMPARE(platform.messageTitles(), QStringList());
    }

    void dialogStartFolder_data() {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QString>("project");    // the current project, under the tree
        QTest::addColumn<QString>("lastFolder"); // LastFolder of Kvx.ini, under the tree
        QTest::addColumn<QString>("expected");   // under the tree
        const auto row = [](const char* name, bool installed, const char* project, const char* last,
                            const char* expected) {
            QTest::newRow(name) << installed << project << last << expected;
        };
        row("installed, the project's folder first", true, "projects/hall.kvx", "reports",
            "projects");
        row("installed, no project: the last folder used", true, "", "reports", "reports");
        row("installed, a last folder that is gone: the documents", true, "", "gone", "docs");
        row("installed, nothing yet: the documents, not the program's folder", true, "", "",
            "docs");
        row("portable, nothing yet: the program's folder", false, "", "", "bin");
        row("portable, a last folder in Kvx.ini is not used: the program's folder", false, "",
            "reports", "bin");
    }

    void dialogStartFolder() {
        QFETCH(bool, installed);
        QFETCH(QString, project);
        QFETCH(QString, lastFolder);
        QFETCH(QString, expected);
        InstalledTree tree;
        QDir(tree.root.path()).mkpath("projects");
        QDir(tree.root.path()).mkpath("reports");
        ProgramFolders folders = tree.folders();
        if (!installed)
            folders.installed.reset();
        FakePlatform platform;
        Kvx1 kvx(platform, folders, QLocale::c());
        if (!lastFolder.isEmpty())
            QVERIFY(kvx.keepSetting("Configuration", "LastFolder", tree.path(lastFolder)));
        FrmKvx window(kvx);
        window.CmDialog1.fileName = project.isEmpty() ? QString() : tree.path(project);

        // Every file dialog of the window starts there.
        platform.openAnswers = {std::nullopt};
        platform.saveAnswers = {std::nullopt, std::nullopt, std::nullopt};
        window.mnuOpen_Click();
        window.mnuSaveAs_Click();
        window.mnuPrintFile_Click();
        window.mnuExportPdf_Click();
        QCOMPARE(platform.dialogsShown.size(), 4);
        for (const CommonDialog& shown : std::as_const(platform.dialogsShown))
            QCOMPARE(shown.initDir, tree.path(expected));
        // Cancelled dialogs remember nothing.
        QCOMPARE(kvx.readSetting("Configuration", "LastFolder").value_or(QString()),
                 lastFolder.isEmpty() ? QString() : tree.path(lastFolder));

        // A project saved elsewhere makes its folder the last one used; a
        // portable program keeps its Kvx.ini as it was.
        const QByteArray portableIni = readBytes(tree.path("bin/Kvx.ini"));
        platform.saveAnswers = {tree.path("reports/hall.kvx")};
        window.mnuSaveAs_Click();
        QVERIFY(QFileInfo::exists(tree.path("reports/hall.kvx")));
        if (installed) {
            QCOMPARE(kvx.readSetting("Configuration", "LastFolder").value_or(QString()),
                     tree.path("reports"));
            QVERIFY(!QFileInfo::exists(tree.path("bin/Kvx.ini")));
        } else {
            QCOMPARE(readBytes(tree.path("bin/Kvx.ini")), portableIni);
            QVERIFY(!QFileInfo::exists(tree.path("config")));
        }
    }
};

QTEST_GUILESS_MAIN(TestProgramFolders)
#include "test_program_folders.moc"
