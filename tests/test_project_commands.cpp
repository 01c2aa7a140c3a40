// The File menu's project commands driven as a user would: the dialogs they
// show, the file they name, and when the project counts as modified.
#include "core/kvx_error.h"
#include "support/harness.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace kvx;
using namespace kvx::test;

namespace {

const QString kPrompt = QStringLiteral("Enter a characterization of the project");
const QString kExitQuestion = QStringLiteral(
    "The project data is modified. Do you want to save before Exiting the program ?");

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

struct Window : Harness {
    explicit Window(QLocale locale = QLocale::c())
        : Harness(std::move(locale)) {
        kvx.texts.ProgramTitle = QStringLiteral("KVX");
        kvx.texts.NewProjectName = QStringLiteral("<New>");
        kvx.texts.DescriptionPrompt = kPrompt;
        kvx.texts.UserTypeName = QStringLiteral("User type");
        kvx.texts.SectionProjectDescription = QStringLiteral("[Project Description]");
        kvx.texts.SectionLoudspeakerData = QStringLiteral("[Loudspeaker Data]");
        kvx.texts.SectionRoomData = QStringLiteral("[Room Data]");
        kvx.texts.SectionPowerSettings = QStringLiteral("[Power Settings]");
        kvx.texts.SectionCalculatedData = QStringLiteral("[Calculated Data]");
        w->FillSpeakerTapList();
        w->FillAmpTapList();
        w->lstLsp.addItem(QStringLiteral("Type A     "));
        w->ResetProject();
        platform.clear();
    }

    // Save As to path, answering the dialog.
    void saveAs(const QString& path) {
        platform.saveAnswers << path;
        w->mnuSaveAs_Click();
    }

    bool exit() {
        try {
            w->mnuExit_Click();
        } catch (const ProgramEnded&) {
            return true;
        }
        return false;
    }
};

const QByteArray kJob = "[Project Description]\r\nHall\r\n"
                        "[Loudspeaker Data]\r\n\"Type A     \",\"120\",\"140\",\"80\",\"10\"\r\n"
                        "[Room Data]\r\n\"20\",\"10\",\"4\",\"1.5\"\r\n"
                        "[Power Settings]\r\n\"1/1 P\",\"100 V\",\"10\"\r\n"
                        "[Calculated Data]\r\n\"1\",\"999\",\"3\",\"6\",\"4\"\r\n";

} // namespace

class TestProjectCommands : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void resetGivesNewProject_data();
    void resetGivesNewProject();
    void newDoesNotAsk();
    void dialogSettingsAndCancel_data();
    void dialogSettingsAndCancel();
    void openNamesTheProjectAndRecalculates();
    void failedOpenKeepsTheProject_data();
    void failedOpenKeepsTheProject();
    void openingForeignFileGivesNewProject();
    void saveAsksForANameOnlyOnce();
    void failedSaveKeepsOldFileAndModified_data();
    void failedSaveKeepsOldFileAndModified();
    void exitAsksAboutChanges_data();
    void exitAsksAboutChanges();
    void descriptionEditsMarkModified_data();
    void descriptionEditsMarkModified();
};

void TestProjectCommands::resetGivesNewProject_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("earHeight");
    QTest::newRow("dot locale") << QLocale::c() << QStringLiteral("1.5");
    QTest::newRow("comma locale") << QLocale(QLocale::Dutch, QLocale::Netherlands)
                                  << QStringLiteral("1,5");
}

void TestProjectCommands::resetGivesNewProject() {
    QFETCH(QLocale, locale);
    QFETCH(QString, earHeight);
    Window h(locale);
    h.saveAs(h.path("old.kvx"));
    for (Control* c : {&h.w->txtDescription, &h.w->txtRoomLength, &h.w->txtEarHeight,
                       &h.w->lstLspTap, &h.w->lstAmpTap, &h.w->lstLsp})
        c->userSetText(QStringLiteral("7"));
    h.w->txtLevelDif4.setText(QStringLiteral("9"));
    QVERIFY(h.kvx.Modified);

    h.w->ResetProject();
    FrmKvx& w = *h.w;
    QCOMPARE(w.form.text(), QStringLiteral("KVX - <New>"));
    QVERIFY(w.CmDialog1.fileName.isEmpty());
    const QStringList expected = {kPrompt, "50",    "50",    "4",          earHeight,
                                  "6",     "1/1 P", "100 V", "Type A     "};
    QCOMPARE((QStringList{w.txtDescription.text(), w.txtRoomLength.text(), w.txtRoomWidth.text(),
                          w.txtRoomHeight.text(), w.txtEarHeight.text(), w.txtLevelDif4.text(),
                          w.lstLspTap.text(), w.lstAmpTap.text(), w.lstLsp.text()}),
             expected);
    QCOMPARE(h.kvx.Modified, false);
    for (Control* c :
         {&w.lblDistance, &w.lblNrofSpeakers, &w.lblLevelDif1, &w.lblPower, &w.lblLevel})
        QCOMPARE(c->foreColor(), kRed);
}

void TestProjectCommands::newDoesNotAsk() {
    Window h;
    h.w->txtRoomWidth.userSetText(QStringLiteral("12"));
    h.w->txtDescription.userSetText(QStringLiteral("Hall"));
    QVERIFY(h.kvx.Modified);
    h.w->mnuNew_Click(); // an unscripted question would throw
    QCOMPARE(h.kvx.Modified, false);
    QCOMPARE(h.w->txtRoomWidth.text(), QStringLiteral("50"));
    QCOMPARE(h.w->txtDescription.text(), kPrompt);
}

void TestProjectCommands::dialogSettingsAndCancel_data() {
    QTest::addColumn<bool>("open");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<int>("flags");
    QTest::newRow("Open") << true << "KVX Files (*.kvx)|*.kvx|All Files (*.*)|*.*" << 4100;
    QTest::newRow("Save As") << false << "KVX Files (*.KVX)|*.KVX|All Files (*.*)|*.*" << 2054;
}

void TestProjectCommands::dialogSettingsAndCancel() {
    QFETCH(bool, open);
    QFETCH(QString, filter);
    QFETCH(int, flags);
    Window h;
    h.saveAs(h.path("old.kvx"));
    const QByteArray saved = readBytes(h.path("old.kvx"));
    h.w->CmDialog1.filterIndex = 2;
    h.w->CmDialog1.defaultExt = QStringLiteral("txt");
    h.w->txtRoomWidth.userSetText(QStringLiteral("12"));
    h.platform.clear();

    if (open) {
        h.platform.openAnswers << std::nullopt;
        h.w->mnuOpen_Click();
    } else {
        h.platform.saveAnswers << std::nullopt;
        h.w->mnuSaveAs_Click();
    }
    QCOMPARE(h.platform.dialogsShown.size(), 1);
    const CommonDialog& shown = h.platform.dialogsShown[0];
    QCOMPARE(shown.filter, filter);
    QCOMPARE(shown.filterIndex, 1);
    QCOMPARE(shown.defaultExt, QStringLiteral("kvx"));
    QCOMPARE(shown.flags, flags);
    // Cancelled: nothing read, nothing written, nothing said.
    QVERIFY(h.platform.messages.isEmpty());
    QCOMPARE(h.w->CmDialog1.fileName, h.path("old.kvx"));
    QCOMPARE(h.w->txtRoomWidth.text(), QStringLiteral("12"));
    QCOMPARE(h.kvx.Modified, true);
    QCOMPARE(readBytes(h.path("old.kvx")), saved);
}

void TestProjectCommands::openNamesTheProjectAndRecalculates() {
    Window h;
    writeBytes(h.path("Job.kvx"), kJob);
    h.w->txtDescription.userSetText(QStringLiteral("unsaved"));
    h.platform.openAnswers << h.path("Job.kvx"); // no question about the unsaved change
    h.w->mnuOpen_Click();
    QCOMPARE(h.w->form.text(), QStringLiteral("KVX - Job.kvx"));
    QCOMPARE(h.w->CmDialog1.fileName, h.path("Job.kvx"));
    QCOMPARE(h.w->txtDescription.text(), QStringLiteral("Hall"));
    QCOMPARE(h.w->txtRoomLength.text(), QStringLiteral("20"));
    QCOMPARE(h.kvx.Modified, false);
    // The stored results are replaced by a fresh calculation.
    QVERIFY(h.w->lastCalculation.has_value());
    QVERIFY(h.w->lblNrofSpeakers.text() != QStringLiteral("999"));
}

void TestProjectCommands::failedOpenKeepsTheProject_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes"); // null: nothing written
    QTest::newRow("missing file") << "gone.kvx" << QByteArray();
    QTest::newRow("folder") << "folder.kvx" << QByteArray("");
    QTest::newRow("file cut inside a record") << "cut.kvx" << kJob.left(kJob.size() - 6);
    QTest::newRow("text after the last section") << "tail.kvx" << kJob + "trailing words\r\n";
}

void TestProjectCommands::failedOpenKeepsTheProject() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    Window h;
    h.w->txtRoomLength.userSetText(QStringLiteral("33"));
    h.saveAs(h.path("old.kvx"));
    h.w->txtRoomWidth.userSetText(QStringLiteral("44"));
    const QString caption = h.w->form.text();
    h.platform.clear();
    if (name == QLatin1String("folder.kvx"))
        QVERIFY(QDir(h.dir.path()).mkdir(name));
    else if (!bytes.isNull())
        writeBytes(h.path(name), bytes);

    h.platform.openAnswers << h.path(name);
    h.w->mnuOpen_Click();
    QCOMPARE(h.platform.messages.size(), 1);
    QCOMPARE(h.platform.messages[0].title, QStringLiteral("Open File Error"));
    QCOMPARE(h.platform.messages[0].style, int(MsgStyle::Critical));
    QVERIFY(h.platform.messages[0].text.contains(QDir::toNativeSeparators(h.path(name))));
    // Still the old project, still unsaved, still named after its own file.
    QCOMPARE(h.w->CmDialog1.fileName, h.path("old.kvx"));
    QCOMPARE(h.w->form.text(), caption);
    QCOMPARE(h.w->txtRoomLength.text(), QStringLiteral("33"));
    QCOMPARE(h.w->txtRoomWidth.text(), QStringLiteral("44"));
    QCOMPARE(h.kvx.Modified, true);
}

void TestProjectCommands::openingForeignFileGivesNewProject() {
    Window h;
    h.saveAs(h.path("old.kvx"));
    writeBytes(h.path("Saal.kvx"),
               QByteArray(kJob).replace("[Project Description]", "[Projekt Umschreibung]"));
    h.platform.openAnswers << h.path("Saal.kvx");
    h.w->mnuOpen_Click();
    QCOMPARE(h.platform.messageTitles().count(QStringLiteral("Fatal Error")), 1);
    QVERIFY(h.w->CmDialog1.fileName.isEmpty());
    QCOMPARE(h.w->form.text(), QStringLiteral("KVX - <New>"));
    QCOMPARE(h.w->txtDescription.text(), kPrompt);
    QCOMPARE(h.kvx.Modified, false);
}

void TestProjectCommands::saveAsksForANameOnlyOnce() {
    Window h;
    h.w->txtRoomLength.userSetText(QStringLiteral("30"));
    h.platform.saveAnswers << h.path("Hall.kvx");
    h.w->mnuSave_Click();
    QCOMPARE(h.platform.dialogsShown.size(), 1);
    QCOMPARE(h.w->CmDialog1.fileName, h.path("Hall.kvx"));
    QCOMPARE(h.w->form.text(), QStringLiteral("KVX - Hall.kvx"));
    QCOMPARE(h.kvx.Modified, false);
    QVERIFY(readBytes(h.path("Hall.kvx")).contains("\"30\",\"50\""));

    h.w->txtRoomLength.userSetText(QStringLiteral("31"));
    h.w->mnuSave_Click(); // an unscripted dialog would throw
    QCOMPARE(h.platform.dialogsShown.size(), 1);
    QVERIFY(readBytes(h.path("Hall.kvx")).contains("\"31\",\"50\""));
    QCOMPARE(h.kvx.Modified, false);
}

void TestProjectCommands::failedSaveKeepsOldFileAndModified_data() {
    QTest::addColumn<QString>("target"); // empty: Save to the project's own file
    QTest::addColumn<QString>("typeName");
    QTest::newRow("folder in place of the file") << "taken.kvx"
                                                 << "Type A     ";
    QTest::newRow("parent is a file") << "plain/p.kvx"
                                      << "Type A     ";
    QTest::newRow("quote in the type name, Save As") << "new.kvx"
                                                     << "12\" Type";
    QTest::newRow("quote in the type name, Save") << ""
                                                  << "12\" Type";
}

void TestProjectCommands::failedSaveKeepsOldFileAndModified() {
    QFETCH(QString, target);
    QFETCH(QString, typeName);
    Window h;
    QVERIFY(QDir(h.dir.path()).mkdir(QStringLiteral("taken.kvx")));
    writeBytes(h.path("plain"), "a file");
    h.saveAs(h.path("old.kvx"));
    const QByteArray saved = readBytes(h.path("old.kvx"));
    h.w->txtRoomWidth.userSetText(QStringLiteral("12"));
    h.w->lstLsp.setText(typeName);
    h.platform.clear();

    if (target.isEmpty()) {
        h.w->mnuSave_Click();
    } else {
        h.platform.saveAnswers << h.path(target);
        h.w->mnuSaveAs_Click();
    }
    const QString written = target.isEmpty() ? h.path("old.kvx") : h.path(target);
    QCOMPARE(h.platform.messages.size(), 1);
    QCOMPARE(h.platform.messages[0].title, QStringLiteral("Save Error"));
    QVERIFY(h.platform.messages[0].text.contains(QDir::toNativeSeparators(written)));
    QCOMPARE(h.kvx.Modified, true);
    QCOMPARE(h.w->CmDialog1.fileName, h.path("old.kvx"));
    QCOMPARE(h.w->form.text(), QStringLiteral("KVX - old.kvx"));
    QCOMPARE(readBytes(h.path("old.kvx")), saved);
    QVERIFY(!QFileInfo::exists(h.path("new.kvx")));
}

void TestProjectCommands::exitAsksAboutChanges_data() {
    QTest::addColumn<bool>("named");     // the project has a file of its own
    QTest::addColumn<bool>("modified");  // a change is not saved
    QTest::addColumn<int>("answer");     // to the question, 0 for none
    QTest::addColumn<QString>("saveAs"); // the Save As dialog's answer, "cancel", or none
    QTest::addColumn<bool>("ended");
    QTest::addColumn<bool>("saved");
    const int yes = int(MsgResult::Yes);
    const int no = int(MsgResult::No);
    const int cancel = int(MsgResult::Cancel);
    QTest::newRow("unmodified ends without a question")
        << true << false << 0 << "" << true << false;
    QTest::newRow("Yes saves to the project's file and ends")
        << true << true << yes << "" << true << true;
    QTest::newRow("Yes on a new project saves as and ends")
        << false << true << yes << "new.kvx" << true << true;
    QTest::newRow("Yes then a cancelled dialog keeps running")
        << false << true << yes << "cancel" << false << false;
    QTest::newRow("Yes with a failing save keeps running")
        << false << true << yes << "plain/p.kvx" << false << false;
    QTest::newRow("No ends without saving") << true << true << no << "" << true << false;
    QTest::newRow("Cancel keeps running") << true << true << cancel << "" << false << false;
}

void TestProjectCommands::exitAsksAboutChanges() {
    QFETCH(bool, named);
    QFETCH(bool, modified);
    QFETCH(int, answer);
    QFETCH(QString, saveAs);
    QFETCH(bool, ended);
    QFETCH(bool, saved);
    Window h;
    writeBytes(h.path("plain"), "a file");
    if (named)
        h.saveAs(h.path("old.kvx"));
    if (modified)
        h.w->txtRoomWidth.userSetText(QStringLiteral("12"));
    h.platform.clear();
    if (answer)
        h.platform.answers << MsgResult(answer);
    if (saveAs == QLatin1String("cancel"))
        h.platform.saveAnswers << std::nullopt;
    else if (!saveAs.isEmpty())
        h.platform.saveAnswers << h.path(saveAs);

    QCOMPARE(h.exit(), ended);
    QCOMPARE(h.platform.ended, ended);
    QCOMPARE(h.kvx.Modified, !ended);
    if (modified) {
        QCOMPARE(h.platform.messages[0].text, kExitQuestion);
        QCOMPARE(h.platform.messages[0].style, int(MsgStyle::YesNoCancelQuestion));
        QCOMPARE(h.platform.messages[0].title, QStringLiteral("Exit KVX"));
    } else {
        QVERIFY(h.platform.messages.isEmpty());
    }
    const QString file = named ? h.path("old.kvx") : h.path(saveAs);
    QCOMPARE(readBytes(file).contains("\"50\",\"12\""), saved);
}

void TestProjectCommands::descriptionEditsMarkModified_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("afterClick");
    QTest::newRow("placeholder cleared by the click") << kPrompt << QString();
    QTest::newRow("typed description kept") << QStringLiteral("Hall") << QStringLiteral("Hall");
}

void TestProjectCommands::descriptionEditsMarkModified() {
    QFETCH(QString, before);
    QFETCH(QString, afterClick);
    Window h;
    h.w->txtDescription.setText(before);
    h.kvx.Modified = false;
    h.w->txtDescription.userClick();
    QCOMPARE(h.w->txtDescription.text(), afterClick);
    QCOMPARE(h.kvx.Modified, true);

    h.saveAs(h.path("p.kvx"));
    QCOMPARE(h.kvx.Modified, false);
    h.w->txtDescription.userSetText(QStringLiteral("Hall B"));
    QCOMPARE(h.kvx.Modified, true);
}

QTEST_GUILESS_MAIN(TestProjectCommands)
#include "test_project_commands.moc"
