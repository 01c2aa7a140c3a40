// The main window as a Linux desktop user meets it: keys, the caption, the
// choice boxes, a saved project that only gets looked at, the language of
// later starts, the projects opened last and the question before a modified
// project goes.
#include "app/lang_select_view.h"
#include "core/base/ini_file.h"
#include "gui/gui_support.h"

#include <QAction>
#include <QComboBox>
#include <QDropEvent>
#include <QFileDialog>
#include <QMenu>
#include <QMimeData>
#include <QRadioButton>
#include <QUrl>

using namespace kvx;
using namespace kvx::app;

class TestDesktopHabits : public test::DesktopTest {
    Q_OBJECT
    void trigger(const char* action) { m_window->findChild<QAction*>(action)->trigger(); }

private Q_SLOTS:
    void cleanup() { stop(); }
    void choiceBoxesArePickOnly_data();
    void choiceBoxesArePickOnly();
    void returnCalculates_data();
    void returnCalculates();
    void lookingAtASavedProjectKeepsItSaved();
    void languageForLaterStarts();
    void replacingAModifiedProjectAsks();
    void fileDialogsOfferAName_data();
    void fileDialogsOfferAName();
    void fitsItsLayout();
};

void TestDesktopHabits::choiceBoxesArePickOnly_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<bool>("typing"); // a typed tap ("1/8 P") has a meaning
    QTest::newRow("loudspeaker type") << "lstLsp" << false;
    QTest::newRow("data file") << "FileSel" << false;
    QTest::newRow("speaker tap") << "lstLspTap" << true;
    QTest::newRow("amplifier tap") << "lstAmpTap" << true;
}

void TestDesktopHabits::choiceBoxesArePickOnly() {
    QFETCH(QString, box);
    QFETCH(bool, typing);
    start();
    auto* combo = m_window->findChild<QComboBox*>(box);
    QCOMPARE(combo->isEditable(), typing);
    if (typing)
        return;
    const QString before = combo->currentText();
    combo->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(combo, QStringLiteral("Foo"));
    QTest::keyClick(combo, Qt::Key_Tab);
    QCOMPARE(combo->currentText(), before);
    QVERIFY(!model().kvx.Modified);
    // A type the catalogue lacks, from a project file, is still shown.
    model().lstLsp.setText(QStringLiteral("Old type   "));
    QCOMPARE(m_window->findChild<QComboBox*>("lstLsp")->placeholderText(), "Old type   ");
}

void TestDesktopHabits::returnCalculates_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed"); // empty: Return alone, with nothing to calculate
    QTest::addColumn<QString>("distance");
    for (const QStringList& row : {QStringList{"room width typed", "txtRoomWidth", "0", "3.6"},
                                   {"description typed", "txtDescription", "x", "marker"},
                                   {"nothing typed", "txtRoomHeight", "", "marker"}})
        QTest::newRow(qPrintable(row[0])) << row[1] << row[2] << row[3];
}

void TestDesktopHabits::returnCalculates() {
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, distance);
    start();
    widget(field)->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(widget(field), Qt::Key_End);
    QTest::keyClicks(widget(field), typed);
    model().lblDistance.setText(QStringLiteral("marker"));
    QCOMPARE(widget("cmdCalc")->property("default").toBool(), true);
    QTest::keyClick(widget(field), Qt::Key_Return);
    QCOMPARE(shown("lblDistance"), distance);
}

void TestDesktopHabits::lookingAtASavedProjectKeepsItSaved() {
    start(QStringLiteral("English"), QStringLiteral("user.kvx"));
    QCOMPARE(model().lstLsp.text(), model().kvx.texts.UserTypeName);
    QTest::mouseClick(widget("cmdCalc"), Qt::LeftButton);
    trigger("mnuSave");
    QVERIFY(!model().kvx.Modified);
    // Twice round the window with Tab, and back with Shift+Tab.
    for (int i = 0; i < 30; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    for (int i = 0; i < 15; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QVERIFY(!model().kvx.Modified);
    QVERIFY(!m_window->isWindowModified());
    QVERIFY(m_answerer.messages.isEmpty());
}

// The arrows follow the Tab order: English, Deutsch, Nederlands, ... The
// storing itself is the window model's.
void TestDesktopHabits::languageForLaterStarts() {
    start();
    m_answerer.onDialog = [&](QDialog* dialog) {
        auto* window = qobject_cast<LangSelectView*>(dialog);
        if (!window)
            return false;
        // It opens on the language in use.
        if (!window->option(0)->isChecked() || window->focusWidget() != window->option(0))
            return false;
        for (int i = 0; i < 2; ++i)
            QTest::keyClick(window->focusWidget(), Qt::Key_Down);
        window->findChild<QPushButton*>("OK_Key")->click();
        return true;
    };
    trigger("mnuLanguage");
    QTRY_COMPARE(m_answerer.messages,
                 QStringList{"KVX: The new language applies from the next start of KVX. "
                             "(Information; Ok)"});
    QCOMPARE(ReadIniValue("Configuration", "Language", m_folder->filePath("Kvx.ini")).value_or(""),
             "Dutch");
    QCOMPARE(m_window->findChild<QAction*>("mnuNew")->text(), "&New project");
    QCOMPARE(model().kvx.LanguageOffset, 0);
}

// The caption marks unsaved changes and keeps the project's name through a
// translation (the About window). New, Open and a dropped project ask before a
// modified project goes; a Save As whose dialog is cancelled stops the
// command. Open recent brings the project back.
void TestDesktopHabits::replacingAModifiedProjectAsks() {
    start(QStringLiteral("English"), QStringLiteral("hall.kvx"));
    QCOMPARE(m_window->windowTitle(), "KVX - hall.kvx[*]");
    QVERIFY(!m_window->isWindowModified());
    const QString hall = m_folder->filePath("hall.kvx");
    QByteArray saved = test::readBytes(hall);
    const auto type = [this] {
        widget("txtRoomWidth")->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(widget("txtRoomWidth"), QStringLiteral("1"));
        QVERIFY(m_window->isWindowModified());
    };
    const auto askedOnce = [this] {
        QCOMPARE(m_answerer.messages,
                 QStringList{"KVX: The project data is modified. Do you want to save it first? "
                             "(Question; Yes|No|Cancel)"});
        m_answerer.messages.clear();
    };
    type();
    m_answerer.answers << QMessageBox::Cancel;
    trigger("mnuNew");
    askedOnce();
    QCOMPARE(m_window->windowTitle(), "KVX - hall.kvx[*]");
    QVERIFY(m_window->isWindowModified());
    QCOMPARE(test::readBytes(hall), saved);
    trigger("mnuSave");
    QVERIFY(!m_window->isWindowModified());
    m_answerer.onDialog = [](QDialog* dialog) { return dialog->close(); };
    trigger("mnuAbout");
    QCOMPARE(m_window->windowTitle(), "KVX - hall.kvx[*]");

    saved = test::readBytes(hall);
    type();
    m_answerer.answers << QMessageBox::Yes;
    trigger("mnuNew");
    askedOnce();
    QCOMPARE(m_window->windowTitle(), "KVX - <New>[*]");
    QVERIFY(test::readBytes(hall) != saved); // the edit went into the project's file

    // A new project: Yes is Save As, and its cancelled dialog cancels Open.
    type();
    int dialogs = 0;
    m_answerer.onDialog = [&dialogs](QDialog* dialog) {
        ++dialogs;
        dialog->reject();
        return true;
    };
    m_answerer.answers << QMessageBox::Yes;
    trigger("mnuOpen");
    askedOnce();
    QCOMPARE(dialogs, 1); // Save As only, no Open dialog after it
    QCOMPARE(m_window->windowTitle(), "KVX - <New>[*]");
    QVERIFY(m_window->isWindowModified());

    // A project dropped on the window: No goes on without saving.
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(hall)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_window, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    m_answerer.answers << QMessageBox::No;
    QApplication::sendEvent(m_window, &drop);
    QTRY_COMPARE(m_window->windowTitle(), "KVX - hall.kvx[*]");
    askedOnce();
    QVERIFY(!m_window->isWindowModified());

    model().mnuNew_Click();
    auto* recent = m_window->findChild<QMenu*>("mnuRecent");
    QVERIFY(recent);
    QCOMPARE(recent->title(), "Open recen&t");
    Q_EMIT recent->aboutToShow();
    QCOMPARE(recent->actions().size(), 1);
    QVERIFY(recent->actions().at(0)->text().endsWith(QStringLiteral("hall.kvx")));
    recent->actions().at(0)->trigger();
    QCOMPARE(m_window->windowTitle(), "KVX - hall.kvx[*]");
}

// Every file dialog of the main window starts where the program's rule says
// (a saved project's folder, else the portable program's own) and a save
// offers a name: the project's, a new one's description made fit for a file
// name, else "Untitled"; with the command's own extension.
void TestDesktopHabits::fileDialogsOfferAName_data() {
    QTest::addColumn<bool>("saved");          // saved as projects/hall.kvx first
    QTest::addColumn<QString>("description"); // typed; empty: left as a new project has it
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("offered"); // the name in the dialog; empty for Open
    const auto row = [](const char* name, bool saved, const char* description, const char* command,
                        const char* offered) {
        QTest::newRow(name) << saved << QString(description) << QString(command)
                            << QString(offered);
    };
    row("Save As, a new project", false, "", "mnuSaveAs", "Untitled.kvx");
    row("Save As, a new project described", false, " Hall 2: east/west.. ", "mnuSaveAs",
        "Hall 2 east west.kvx");
    row("Save As, a saved project", true, "Other words", "mnuSaveAs", "hall.kvx");
    row("Print to file, a new project described", false, "CON", "mnuPrintFile", "CON_.txt");
    row("Export PDF, a saved project", true, "", "mnuExportPdf", "hall.pdf");
    row("Open, a saved project", true, "", "mnuOpen", "");
    row("Open a building, a saved project", true, "", "mnuOpenBuilding", "");
}

void TestDesktopHabits::fileDialogsOfferAName() {
    QFETCH(bool, saved);
    QFETCH(QString, description);
    QFETCH(QString, command);
    QFETCH(QString, offered);
    // A saved project given at start: going through the file dialog here
    // would race its folder model, which reads the new folder in the background.
    start(QStringLiteral("English"), saved ? QStringLiteral("projects/hall.kvx") : QString());
    const QString projects = m_folder->filePath("projects");
    if (!description.isEmpty()) {
        widget("txtDescription")->setFocus(Qt::TabFocusReason);
        QTest::keyClick(widget("txtDescription"), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(widget("txtDescription"), description);
    }
    QString folder, name;
    m_answerer.onDialog = [&](QDialog* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        folder = files->directory().canonicalPath();
        if (files->acceptMode() == QFileDialog::AcceptSave)
            name = QFileInfo(files->selectedFiles().value(0)).fileName();
        dialog->reject();
        return true;
    };
    m_answerer.answers << QMessageBox::No; // Open: the modified project set aside unsaved
    trigger(qPrintable(command));
    m_answerer.answers.clear();
    m_answerer.messages.clear();
    QCOMPARE(folder, QDir(saved ? projects : m_folder->path()).canonicalPath());
    QCOMPARE(name, offered);
}

void TestDesktopHabits::fitsItsLayout() {
    start();
    // Room for every field, and no more: maximised, no gaps open up.
    const QSize content = m_window->centralWidget()->sizeHint();
    QVERIFY(m_window->width() >= content.width());
    QCOMPARE(m_window->maximumSize(), m_window->size());
    QVERIFY(m_window->screen()->availableGeometry().contains(m_window->frameGeometry()));
}

QTEST_MAIN(TestDesktopHabits)
#include "test_desktop_habits.moc"
