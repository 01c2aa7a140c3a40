// The File menu's project commands driven as a user would: the dialogs, the
// project's file and Modified, and what a failure leaves.
#include "core/base/kvx_error.h"
#include "core/calc/design.h"
#include "core/system/system.h"
#include "support/files.h"

#include <QDir>
#include <QTest>

using namespace kvx;
using namespace kvx::test;

namespace {

// A window whose project is saved as old.kvx and changed since, beside a
// folder taken.kvx and a file plain.
struct Window : ProjectWindow {
    Window() {
        QDir(dir.path()).mkdir("taken.kvx");
        writeBytes(path("plain"), "a file");
        platform.saveAnswers << path("old.kvx");
        w->mnuSaveAs_Click();
        w->txtRoomWidth.userSetText("12");
        platform.clear();
    }
    // Makes the project a new one whose Save As dialog answers with the file
    // named, or is cancelled; nothing for "": the project keeps old.kvx.
    void newProjectSavedAs(const QString& name) {
        if (name.isEmpty())
            return;
        w->CmDialog1.fileName.clear();
        platform.saveAnswers << (name == "cancel" ? std::nullopt : std::optional(path(name)));
    }
};

} // namespace

class TestProjectCommands : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A user's session: the description's placeholder goes at the first click,
    // edits mark the project modified, Save asks for a name once, Open
    // recalculates, New resets to the defaults.
    void session() {
        ProjectWindow h(0, QLocale(QLocale::Dutch));
        h.w->txtDescription.userClick();
        QCOMPARE(h.w->txtDescription.text() + h.state().last(), "modified");
        h.w->txtRoomLength.userSetText("30");
        h.platform.saveAnswers << h.path("Hall.kvx");
        h.w->mnuSave_Click();
        QCOMPARE(h.state(), (QStringList{"KVX - Hall.kvx", "~/Hall.kvx", "unmodified"}));
        h.w->txtDescription.userSetText("Hall");
        QCOMPARE(h.state().last(), "modified");
        h.w->mnuSave_Click(); // an unscripted dialog would throw
        QCOMPARE(h.platform.dialogsShown.size(), 1);
        QVERIFY(readBytes(h.path("Hall.kvx")).startsWith("[Project Description]\r\nHall\r\n"));
        h.w->txtDescription.userClick();
        QCOMPARE(h.w->txtDescription.text() + h.state().last(), "Hallmodified");

        QVERIFY(writeBytes(h.path("Job.kvx"), testData("project/English.kvx")));
        h.platform.answers << MsgResult::No; // the click above left it modified
        h.platform.openAnswers << h.path("Job.kvx");
        h.w->mnuOpen_Click();
        QCOMPARE(h.state(), (QStringList{"KVX - Job.kvx", "~/Job.kvx", "unmodified"}));
        QCOMPARE(h.w->txtDescription.text(), "Conference room, ground floor");
        QVERIFY(h.w->lastCalculation() && h.w->lblLevel.text() != "85"); // stored results replaced

        for (int field : {0, 1, 6, 9, 10, 11, 16})
            h.fields()[field]->userSetText("7");
        h.platform.answers << MsgResult::No;
        h.w->mnuNew_Click();
        QCOMPARE(h.state(), (QStringList{"KVX - <New>", "", "unmodified"}));
        QCOMPARE(h.fieldTexts().mid(0, 12),
                 (QStringList{"Enter a characterization of the project", "Type A     ", "0", "0",
                              "0", "0", "50", "50", "4", "1,5", "1/1 P", "100 V"}));
        QCOMPARE(h.w->txtLevelDif4.text(), "6");
    }

    // A cancelled dialog or a failed Open, Save or Save As changes nothing but
    // its message: the window keeps the old project, unsaved and named after
    // old.kvx, which keeps its bytes. Texts the file cannot hold are refused.
    void failureChangesNothing_data() {
        QTest::addColumn<QString>("command");  // and the file chosen in its dialog, if any
        QTest::addColumn<QByteArray>("bytes"); // the file's content before; null: none
        QTest::addColumn<QString>("text");     // put into field before
        QTest::addColumn<int>("field");        // -1: none
        QTest::addColumn<QString>("message");  // title (style): a piece of the text
        const QByteArray good = testData("project/English.kvx"), none;
        const QString open = "Open File Error (16): ", save = "Save Error (48): ";
        QTest::newRow("Open cancelled") << "Open" << none << "" << -1 << "";
        QTest::newRow("Save As cancelled") << "SaveAs" << none << "" << -1 << "";
        QTest::newRow("Open: missing file")
            << "Open none.kvx" << none << "" << -1 << open + "No such";
        QTest::newRow("Open: end of file inside a record")
            << "Open r.kvx" << good.left(good.indexOf("\"85\"")) << "" << -1
            << open + "the file ends inside the section \"[Calculated Data]\"";
        QTest::newRow("Open: field longer than a text box holds")
            << "Open l.kvx"
            << "[Room Data]\r\n" + QByteArray(70000, '9') + ",1,2,3\r\n"
            << "" << -1 << open + "a field is longer than 65535 characters";
        QTest::newRow("Save As: folder in place of the file")
            << "SaveAs taken.kvx" << none << "" << -1 << save + "a folder has that name";
        QTest::newRow("Save As: parent is a file")
            << "SaveAs plain/p.kvx" << none << "" << -1 << save;
        QTest::newRow("Save: double quote in the type name")
            << "Save" << none << "12\" Type" << 1
            << save + "\"Loudspeaker type\" holds a double quote";
        QTest::newRow("Save As: line break in the description")
            << "SaveAs new.kvx" << none << "two\r\nlines" << 0
            << save + "description holds a line break";
        QTest::newRow("Save As: character beyond the basic plane")
            << "SaveAs new.kvx" << none << QStringLiteral("9\U0001F50A") << 14
            << save + QStringLiteral("\"Number of speakers\" holds the character \"\U0001F50A\"");
    }
    void failureChangesNothing() {
        QFETCH(QString, command);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(int, field);
        QFETCH(QString, message);
        Window h;
        h.w->CmDialog1.filterIndex = 2;
        h.w->CmDialog1.defaultExt = "txt";
        const QByteArray saved = readBytes(h.path("old.kvx"));
        const QString file = command.section(' ', 1);
        QVERIFY(bytes.isNull() || writeBytes(h.path(file), bytes));
        if (field >= 0)
            h.fields()[field]->setText(text);
        const QStringList fields = h.fieldTexts();
        const auto chosen = file.isEmpty() ? std::nullopt : std::optional(h.path(file));
        if (command.startsWith("Open")) {
            h.platform.answers << MsgResult::No; // the question on the changed project
            h.platform.openAnswers << chosen;
            h.w->mnuOpen_Click();
            QCOMPARE(h.platform.messages.takeFirst().style, int(MsgStyle::YesNoCancelQuestion));
        } else if (command.startsWith("SaveAs")) {
            h.platform.saveAnswers << chosen;
            h.w->mnuSaveAs_Click();
        } else {
            h.w->mnuSave_Click();
        }
        QCOMPARE(h.platform.dialogsShown.size(), command == "Save" ? 0 : 1);
        for (const CommonDialog& d : h.platform.dialogsShown) // filter, index, extension, flags
            QCOMPARE(QStringLiteral("%1 %2 %3 %4")
                         .arg(d.filter, QString::number(d.filterIndex), d.defaultExt,
                              QString::number(d.flags)),
                     command.startsWith("Open")
                         ? "KVX Files (*.kvx)|*.kvx|All Files (*.*)|*.* 1 kvx 4100"
                         : "KVX Files (*.KVX)|*.KVX|All Files (*.*)|*.* 1 kvx 2054");
        const QString path = QDir::toNativeSeparators(h.path(file.isEmpty() ? "old.kvx" : file));
        const QString log = messageLog(h.platform).join('\n');
        QCOMPARE(h.platform.messages.size(), message.isEmpty() ? 0 : 1);
        QVERIFY2(log.startsWith(message.section(": ", 0, 0)) &&
                     log.contains(message.section(": ", 1)) &&
                     (message.isEmpty() || log.contains(path)),
                 qPrintable(log));
        QCOMPARE(h.fieldTexts(), fields);
        QCOMPARE(h.state(), (QStringList{"KVX - old.kvx", "~/old.kvx", "modified"}));
        QCOMPARE(readBytes(h.path("old.kvx")), saved);
        QVERIFY(!QFileInfo::exists(h.path("new.kvx")) && QDir(h.path("taken.kvx")).isEmpty());
    }

    // Every command that puts another project into the window, Exit and closing
    // the window by its frame offer to save a modified one first, a changed
    // setting as much as a field: Yes saves (Save As for a new project), No
    // goes on, Cancel and a save that failed or was cancelled stop the command
    // with the project as it was. The frame only tells whether it may close.
    void replacingAsksAboutChanges_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("change");   // field, setting or none
        QTest::addColumn<MsgResult>("answer"); // to the question, if asked
        QTest::addColumn<QString>("saveAs");   // a new project's dialog answer; none: named
        QTest::addColumn<bool>("goesOn");
        const MsgResult yes = MsgResult::Yes, no = MsgResult::No;
        for (const char* command : {"New", "Open", "Open recent", "Given", "Exit", "Close"}) {
            const auto row = [command](const char* name) -> QTestData& {
                return QTest::addRow("%s: %s", command, name) << QString(command);
            };
            row("unmodified, no question") << "none" << yes << "" << true;
            row("Yes saves the edit") << "field" << yes << "" << true;
            row("Yes saves a changed setting") << "setting" << yes << "" << true;
            row("No goes on unsaved") << "setting" << no << "" << true;
            row("Cancel stops") << "field" << MsgResult::Cancel << "" << false;
            row("Yes, Save As of a new project") << "field" << yes << "new.kvx" << true;
            row("Yes, Save As cancelled stops") << "field" << yes << "cancel" << false;
            row("Yes, a failed save stops") << "field" << yes << "plain/p.kvx" << false;
        }
    }
    void replacingAsksAboutChanges() {
        QFETCH(QString, command);
        QFETCH(QString, change);
        QFETCH(MsgResult, answer);
        QFETCH(QString, saveAs);
        QFETCH(bool, goesOn);
        Window h; // old.kvx saved, the width changed to 12 since
        if (change != "field")
            h.w->mnuSave_Click();
        if (change == "setting") {
            SystemSettings system;
            system.ambient = 60;
            h.w->setSystemSettings(system);
        }
        QVERIFY(writeBytes(h.path("Job.kvx"), testData("project/English.kvx")));
        h.newProjectSavedAs(saveAs);
        const bool modified = h.kvx.Modified;
        const QString saved = h.path(saveAs.isEmpty() ? "old.kvx" : saveAs);
        const QByteArray before = readBytes(saved);
        const QStringList fields = h.fieldTexts();
        bool ended = false;
        h.platform.clear();
        if (modified)
            h.platform.answers << answer;
        if (command == "New") {
            h.w->mnuNew_Click();
        } else if (command == "Open") {
            if (goesOn)
                h.platform.openAnswers << h.path("Job.kvx");
            h.w->mnuOpen_Click();
        } else if (command == "Open recent") {
            h.w->openRecent(h.path("Job.kvx"));
        } else if (command == "Given") {
            h.w->openGivenProject(h.path("Job.kvx"));
        } else if (command == "Exit") {
            try {
                h.w->mnuExit_Click();
            } catch (const ProgramEnded&) {
                ended = true;
            }
        } else {
            ended = h.w->Form_QueryUnload();
        }
        const bool exits = command == "Exit" || command == "Close";
        const QString question =
            exits ? "Exit KVX (35): The project data is modified. Do you want to save before "
                    "Exiting the program ?"
                  : "KVX (35): The project data is modified. Do you want to save it first?";
        const QStringList log = messageLog(h.platform);
        QCOMPARE(log.filter("(35)"), modified ? QStringList{question} : QStringList());
        QVERIFY(!modified || log.constFirst() == question);
        QCOMPARE(ended, exits && goesOn);
        QCOMPARE(h.platform.ended, command == "Exit" && goesOn);
        QCOMPARE(log.filter("Save Error").size(), saveAs == "plain/p.kvx" ? 1 : 0);
        const bool savedNow = modified && answer == MsgResult::Yes && goesOn;
        QCOMPARE(readBytes(saved) != before, savedNow);
        if (savedNow)
            QVERIFY(readBytes(saved).contains(change == "field" ? "\"50\",\"12\"" : "[System]"));
        if (goesOn && exits) {
            QVERIFY(!h.kvx.Modified);
        } else if (goesOn) {
            QCOMPARE(h.state(),
                     (command == "New" ? QStringList{"KVX - <New>", "", "unmodified"}
                                       : QStringList{"KVX - Job.kvx", "~/Job.kvx", "unmodified"}));
        } else {
            QCOMPARE(h.fieldTexts(), fields);
            QVERIFY(h.kvx.Modified);
            QCOMPARE(h.platform.openAnswers.size(), 0);
        }
    }
};

QTEST_GUILESS_MAIN(TestProjectCommands)
#include "test_project_commands.moc"
