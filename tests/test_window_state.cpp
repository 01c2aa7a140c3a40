// What the main window shows must match what it holds: results that a refused
// run no longer backs, the caption, the colours of the loudspeaker fields,
// the modified flag; and the File menu's guards around reports, recent
// projects and the language of later starts.
#include "core/base/ini_file.h"
#include "core/calc/design.h"
#include "core/ui/translation.h"
#include "support/files.h"

#include <QDir>
#include <QTest>

using namespace kvx;
using namespace kvx::test;

namespace {

// A project window whose type list also holds the user type, with a
// Kvx.ini in its folder, so that recent projects are kept.
struct Window : ProjectWindow {
    explicit Window(int offset = 0)
        : ProjectWindow(offset) {
        w->lstLsp.addItem(kvx.texts.UserTypeName);
        w->DiffSet.setValue(60); // as the load leaves it
        kvx.keepRecentProjects = true;
        writeBytes(kvx.iniPath(), "[Configuration]\r\nLanguage=English\r\n");
    }
    void pickUserType() { w->lstLsp.userPick(1); }
    // The four results as shown, joined.
    QString results() const {
        return QStringList{w->lblDistance.text(), w->lblNrofSpeakers.text(), w->lblLevelDif1.text(),
                           w->lblLevel.text()}
            .join(u'|');
    }
    QString colour() const {
        const Rgb c = w->txtAngle1.backColor();
        for (const Control* f : {&w->txtAngle4, &w->txtSensitivity, &w->txtMaxPower}) {
            if (f->backColor() != c)
                return QStringLiteral("mixed");
        }
        return c == kWhite         ? QStringLiteral("white")
               : c == kLightYellow ? QStringLiteral("yellow")
                                   : QStringLiteral("other");
    }
    void saveAs(const QString& name) {
        platform.saveAnswers << path(name);
        w->mnuSaveAs_Click();
    }
    void open(const QString& name) {
        platform.withoutSaving(kvx.Modified, [&] {
            platform.openAnswers << path(name);
            w->mnuOpen_Click();
        });
    }
    // Runs space separated steps: user, A (the catalogue type), save, new,
    // open (both hall.kvx), about, working, activate.
    void run(const QString& steps) {
        for (const QString& step : steps.split(u' ')) {
            if (step == "user")
                pickUserType();
            else if (step == "A")
                w->lstLsp.userPick(0);
            else if (step == "save")
                saveAs("hall.kvx");
            else if (step == "new")
                platform.withoutSaving(kvx.Modified, [this] { w->mnuNew_Click(); });
            else if (step == "open")
                open("hall.kvx");
            else if (step == "about")
                w->mnuAbout_Click();
            else if (step == "working")
                w->mnuWorking_Click();
            else if (step == "activate")
                w->Form_Activate();
        }
    }
};

} // namespace

Q_DECLARE_METATYPE(std::optional<int>)

class TestWindowState : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A run refused by the input checks leaves no result beside the refused
    // value, says so once, and the report is then refused as for cleared results.
    void refusedRunClearsResults_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("message");
        const auto row = [](const char* name, const char* how, const char* message) {
            QTest::newRow(name) << QString(how) << "Input Error (48): " + QString(message);
        };
        row("slider at its left end", "slider 0", "Difference Level should be positive !");
        row("difference above 12 set directly", "caption 12.5",
            "Difference Level is too high !\nFor equal coverage value about: 6 dB");
        row("room length 0, then Calculate", "length 0", "Room Length should be positive !");
    }
    void refusedRunClearsResults() {
        QFETCH(QString, how);
        QFETCH(QString, message);
        Window h;
        h.pickUserType();
        QVERIFY(!h.results().startsWith(u'|'));
        h.platform.clear();
        if (how == "slider 0") {
            h.w->DiffSet.userSetValue(0);
        } else if (how == "caption 12.5") {
            h.w->txtLevelDif4.setText("12.5");
        } else {
            h.w->txtRoomLength.userSetText("0");
            h.w->cmdCalc_Click();
        }
        QCOMPARE(messageLog(h.platform), QStringList{message});
        QCOMPARE(h.results(), "|||");
        QVERIFY(!h.w->lastCalculation());

        h.platform.clear();
        h.platform.saveAnswers << h.path("report.txt");
        h.w->mnuPrintFile_Click();
        QVERIFY(!QFileInfo::exists(h.path("report.txt")));
        QCOMPARE(h.platform.messages.size(), 1);
        QVERIFY(h.platform.messages[0].text.startsWith("Print error"));
    }

    // The caption names the project as New, Open and Save set it, through a
    // translation (activation, the About window) and in every language. The
    // loudspeaker fields are white exactly when they take typing (the user
    // type is in the type box), whatever put the type there.
    void captionAndColours_data() {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("shown"); // the caption and the fields' colour
        const auto row = [](const char* name, int offset, const char* steps, const char* shown) {
            QTest::newRow(name) << offset << steps << shown;
        };
        row("saved, then About", 0, "save about", "KVX - hall.kvx, yellow");
        row("saved, then activated", 0, "save activate", "KVX - hall.kvx, yellow");
        row("opened, then Working with", 0, "save new open working", "KVX - hall.kvx, yellow");
        row("new, then About", 0, "save new about", "KVX - <New>, yellow");
        row("German, saved, then activated", 4000, "save activate", "KVX - hall.kvx, yellow");
        row("German, new, then activated", 4000, "activate", "KVX - <Neu>, yellow");
        row("user type picked", 0, "user", "KVX - <New>, white");
        row("user type, then New", 0, "user new", "KVX - <New>, yellow");
        row("user type, then the catalogue type", 0, "user A", "KVX - <New>, yellow");
        row("user-type project opened after New", 0, "user save new open", "KVX - hall.kvx, white");
        row("catalogue project opened over the user type", 0, "save user open",
            "KVX - hall.kvx, yellow");
        row("user type, then activated", 0, "user activate", "KVX - <New>, white");
    }
    void captionAndColours() {
        QFETCH(int, offset);
        QFETCH(QString, steps);
        Window h(offset);
        h.w->SetUserTypeFields(false);
        h.run(steps);
        QTEST(h.w->form.text() + ", " + h.colour(), "shown");
    }

    // Entering a field without typing never marks a saved project modified
    // (it may clear the results).
    void focusAloneKeepsTheProjectSaved_data() {
        QTest::addColumn<QString>("field");
        for (const char* name :
             {"txtRoomLength", "txtRoomWidth", "txtRoomHeight", "txtEarHeight", "txtAngle1",
              "txtAngle4", "txtSensitivity", "txtMaxPower", "lstLspTap", "lstAmpTap", "lstLsp",
              "FileSel", "DiffSet", "cmdCalc"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void focusAloneKeepsTheProjectSaved() {
        QFETCH(QString, field);
        Window h;
        h.pickUserType();
        h.saveAs("user.kvx");
        h.open("user.kvx");
        h.w->mnuSave_Click();
        QVERIFY(!h.kvx.Modified);
        // Every field in turn, as Tab goes, the one of the row last.
        for (Control* c : h.w->controls()) {
            if (c->kind() != ControlKind::Menu && c->name() != field)
                c->userFocus();
        }
        h.w->control(field)->userFocus();
        QVERIFY(!h.kvx.Modified);
    }

    // A report is offered under the project's name with its own extension,
    // and is never written over a project without a question answered Yes.
    void reportsOfferTheirOwnName_data() {
        QTest::addColumn<QString>("project"); // empty: a new project
        QTest::addColumn<bool>("pdf");
        QTest::addColumn<QString>("offered");
        QTest::addColumn<QString>("title");
        const QString text = "Print to file", pdf = "Export report as PDF";
        QTest::newRow("text, new project") << "" << false << "~/Untitled.txt" << text;
        QTest::newRow("text, hall.kvx") << "hall.kvx" << false << "~/hall.txt" << text;
        QTest::newRow("PDF, new project") << "" << true << "~/Untitled.pdf" << pdf;
        QTest::newRow("PDF, Hall.Project.KVX")
            << "Hall.Project.KVX" << true << "~/Hall.Project.pdf" << pdf;
    }
    void reportsOfferTheirOwnName() {
        QFETCH(QString, project);
        QFETCH(bool, pdf);
        QFETCH(QString, title);
        Window h;
        h.pickUserType();
        if (!project.isEmpty())
            h.saveAs(project);
        h.platform.clear();
        h.platform.saveAnswers << std::nullopt;
        pdf ? h.w->mnuExportPdf_Click() : h.w->mnuPrintFile_Click();
        const CommonDialog& shown = h.platform.dialogsShown.last();
        QTEST(QString(shown.fileName).replace(h.dir.path(), "~"), "offered");
        QCOMPARE(shown.title, title);
        // The project's own dialog is untouched.
        QCOMPARE(h.w->CmDialog1.fileName, project.isEmpty() ? QString() : h.path(project));
        QCOMPARE(h.w->CmDialog1.title, QString());
    }

    void reportNeverReplacesAProjectUnasked_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QByteArray>("before"); // empty: the saved project itself
        QTest::addColumn<MsgResult>("answer");
        QTest::addColumn<bool>("replaced");
        const QByteArray plain = "an old report\r\n";
        const QByteArray project = testData("project/German.kvx");
        QTest::newRow("the open project, No")
            << "hall.kvx" << QByteArray() << MsgResult::No << false;
        QTest::newRow("the open project, Yes")
            << "hall.kvx" << QByteArray() << MsgResult::Yes << true;
        QTest::newRow("a German project named .txt, No")
            << "old.txt" << project << MsgResult::No << false;
        QTest::newRow("an empty .KVX file, No")
            << "empty.KVX" << QByteArray("\n") << MsgResult::No << false;
        QTest::newRow("a text file: no question") << "old.txt" << plain << MsgResult::Ok << true;
    }
    void reportNeverReplacesAProjectUnasked() {
        QFETCH(QString, target);
        QFETCH(QByteArray, before);
        QFETCH(MsgResult, answer);
        for (const bool pdf : {false, true}) {
            Window h;
            h.pickUserType();
            h.saveAs("hall.kvx");
            if (!before.isEmpty())
                QVERIFY(writeBytes(h.path(target), before));
            const QByteArray old = readBytes(h.path(target));
            h.platform.clear();
            h.platform.saveAnswers << h.path(target);
            if (answer != MsgResult::Ok)
                h.platform.answers << answer;
            pdf ? h.w->mnuExportPdf_Click() : h.w->mnuPrintFile_Click();
            QCOMPARE(h.platform.messages.size(), answer == MsgResult::Ok ? 0 : 1);
            for (const RecordedMessage& asked : std::as_const(h.platform.messages)) {
                QCOMPARE(asked.style, MsgStyle::YesNoQuestion | MsgStyle::DefaultButton2);
                QVERIFY(asked.text.contains(QDir::toNativeSeparators(h.path(target))));
            }
            // The fake PDF printer writes nothing: a PDF export shows as a path.
            const bool written = pdf ? h.platform.pdfPaths.contains(h.path(target))
                                     : readBytes(h.path(target)) != old;
            QTEST(written, "replaced");
            QCOMPARE(h.w->CmDialog1.fileName, h.path("hall.kvx"));
        }
    }

    // Open recent: the last projects opened or saved, newest first, each once;
    // one that has gone is reported and dropped.
    void recentProjects() {
        Window h;
        h.pickUserType();
        h.saveAs("a.kvx");
        h.saveAs("b.kvx");
        h.open("a.kvx");
        h.w->mnuSave_Click();
        QCOMPARE(h.w->recentProjects(), (QStringList{h.path("a.kvx"), h.path("b.kvx")}));

        QVERIFY(QFile::remove(h.path("a.kvx")));
        h.platform.clear();
        h.w->openRecent(h.path("a.kvx"));
        QCOMPARE(h.platform.messages.size(), 1);
        QVERIFY(h.platform.messages[0].text.contains(h.path("a.kvx")));
        QCOMPARE(h.w->recentProjects(), QStringList{h.path("b.kvx")});

        h.w->openRecent(h.path("b.kvx"));
        QCOMPARE(h.state()[0], "KVX - b.kvx");

        // Without a configuration file none is created for the list.
        ProjectWindow bare;
        bare.kvx.keepRecentProjects = true;
        bare.platform.saveAnswers << bare.path("c.kvx");
        bare.w->mnuSaveAs_Click();
        QVERIFY(!QFileInfo::exists(bare.kvx.iniPath()));
        QCOMPARE(bare.w->recentProjects(), QStringList());
    }

    // The language of later starts: stored when chosen, said plainly; the
    // running window keeps its language.
    void languageForLaterStarts_data() {
        QTest::addColumn<std::optional<int>>("choice");
        QTest::addColumn<bool>("iniWritable");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("message");
        const auto row = [](const char* name, std::optional<int> choice, bool iniWritable,
                            const char* stored, const char* message) {
            QTest::newRow(name) << choice << iniWritable << QString(stored) << QString(message);
        };
        row("German chosen", 4000, true, "German",
            "KVX (64): The new language applies from the next start of KVX.");
        row("cancelled", std::nullopt, true, "English", "");
        row("Kvx.ini cannot be written", 1000, false, "",
            "KVX (48): The language could not be stored: ~ cannot be written.");
    }
    void languageForLaterStarts() {
        QFETCH(std::optional<int>, choice);
        QFETCH(bool, iniWritable);
        Window h;
        if (!iniWritable) {
            QVERIFY(QFile::remove(h.kvx.iniPath()));
            QVERIFY(QDir(h.dir.path()).mkdir("Kvx.ini"));
        }
        h.platform.languageAnswer = choice;
        h.w->mnuLanguage_Click();
        QCOMPARE(h.platform.languageAsked, QList<int>{0});
        QTEST(ReadIniValue("Configuration", "Language", h.kvx.iniPath()).value_or(QString()),
              "stored");
        QTEST(messageLog(h.platform).join(u'\n').replace(h.kvx.iniPath(), "~"), "message");
        QCOMPARE(h.kvx.LanguageOffset, 0);
    }
};

QTEST_GUILESS_MAIN(TestWindowState)
#include "test_window_state.moc"
