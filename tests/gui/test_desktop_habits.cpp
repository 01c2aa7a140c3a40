// The main window as a Linux desktop user meets it: keys, the caption, the
// choice boxes, a saved project that only gets looked at, the language of
// later starts and the projects opened last.
#include "app/application.h"
#include "app/lang_select_view.h"
#include "app/main_window_view.h"
#include "core/catalogue/lsp_record.h"
#include "core/shell/ini_file.h"
#include "core/ui/main_window.h"
#include "gui/gui_support.h"
#include "support/files.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

using namespace kvx;
using namespace kvx::app;

class TestDesktopHabits : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup();
    void choiceBoxesArePickOnly_data();
    void choiceBoxesArePickOnly();
    void returnCalculates_data();
    void returnCalculates();
    void captionMarksUnsavedChanges();
    void lookingAtASavedProjectKeepsItSaved();
    void languageForLaterStarts_data();
    void languageForLaterStarts();
    void openRecent();
    void fitsItsLayout();

private:
    // A Kvx.ini naming Test.lsp (one type) and English; with a project file
    // name, a user-type project written there first and opened at start-up.
    void start(const QString& project = {}) {
        m_app.reset();
        m_folder = std::make_unique<QTemporaryDir>();
        QVERIFY(
            writeLspFile(m_folder->filePath("Test.lsp"), {{"Test A     ", 90, 60, 89.5f, 6.f}}));
        QVERIFY(test::writeBytes(m_folder->filePath("Kvx.ini"),
                                 "[Current lsp file]\r\nFilename=Test.lsp\r\n"
                                 "[Configuration]\r\nLanguage=English\r\n"));
        if (!project.isEmpty()) {
            test::ProjectWindow writer;
            writer.w->lstLsp.addItem(writer.kvx.texts.UserTypeName);
            writer.w->lstLsp.userPick(1);
            writer.w->WriteProjectFile(m_folder->filePath(project));
        }
        m_app = std::make_unique<Application>(m_folder->path(), QLocale::c(),
                                              project.isEmpty() ? QString()
                                                                : m_folder->filePath(project));
        QVERIFY(m_app->start());
        QVERIFY((m_window = m_app->mainWindow()));
        QVERIFY(QSignalSpy(m_window, &MainWindowView::activated).wait(5000));
        QVERIFY(QTest::qWaitForWindowActive(m_window));
    }
    QWidget* widget(const QString& name) const { return m_window->findChild<QWidget*>(name); }
    QString shown(const QString& name) const { return widget(name)->property("text").toString(); }
    FrmKvx& model() const { return m_window->model(); }

    std::unique_ptr<QTemporaryDir> m_folder;
    test::ModalAnswerer m_answerer;
    std::unique_ptr<Application> m_app;
    MainWindowView* m_window = nullptr;
};

void TestDesktopHabits::cleanup() {
    m_app.reset();
    QVERIFY2(m_answerer.unexpected.isEmpty(), qPrintable(m_answerer.unexpected.join(u'\n')));
    m_answerer.messages.clear();
    m_answerer.onDialog = nullptr;
}

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
    QTest::newRow("room width typed") << "txtRoomWidth"
                                      << "0"
                                      << "3.6";
    QTest::newRow("description typed") << "txtDescription"
                                       << "x"
                                       << "marker";
    QTest::newRow("nothing typed") << "txtRoomHeight"
                                   << ""
                                   << "marker";
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

void TestDesktopHabits::captionMarksUnsavedChanges() {
    start(QStringLiteral("hall.kvx"));
    QCOMPARE(m_window->windowTitle(), "KVX - hall.kvx[*]");
    QVERIFY(!m_window->isWindowModified());
    widget("txtRoomWidth")->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(widget("txtRoomWidth"), QStringLiteral("1"));
    QVERIFY(m_window->isWindowModified());
    m_window->findChild<QAction*>("mnuSave")->trigger();
    QVERIFY(!m_window->isWindowModified());
    // The About window translates the window again: the project stays named.
    m_answerer.onDialog = [](QDialog* dialog) { return dialog->close(); };
    m_window->findChild<QAction*>("mnuAbout")->trigger();
    QCOMPARE(m_window->windowTitle(), "KVX - hall.kvx[*]");
}

void TestDesktopHabits::lookingAtASavedProjectKeepsItSaved() {
    start(QStringLiteral("user.kvx"));
    QCOMPARE(model().lstLsp.text(), model().kvx.texts.UserTypeName);
    QTest::mouseClick(widget("cmdCalc"), Qt::LeftButton);
    m_window->findChild<QAction*>("mnuSave")->trigger();
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

void TestDesktopHabits::languageForLaterStarts_data() {
    QTest::addColumn<int>("downs"); // arrow presses from English
    QTest::addColumn<QString>("stored");
    // The arrows follow the Tab order: English, Deutsch, Nederlands, ...
    QTest::newRow("one down: Deutsch") << 1 << "German";
    QTest::newRow("two down: Nederlands") << 2 << "Dutch";
    QTest::newRow("none: English again") << 0 << "English";
}

void TestDesktopHabits::languageForLaterStarts() {
    QFETCH(int, downs);
    QFETCH(QString, stored);
    start();
    m_answerer.onDialog = [&](QDialog* dialog) {
        auto* window = qobject_cast<LangSelectView*>(dialog);
        if (!window)
            return false;
        // It opens on the language in use.
        if (!window->option(0)->isChecked() || window->focusWidget() != window->option(0))
            return false;
        for (int i = 0; i < downs; ++i)
            QTest::keyClick(window->focusWidget(), Qt::Key_Down);
        window->findChild<QPushButton*>("OK_Key")->click();
        return true;
    };
    m_window->findChild<QAction*>("mnuLanguage")->trigger();
    QTRY_COMPARE(m_answerer.messages,
                 QStringList{"KVX: The new language applies from the next start of KVX. "
                             "(Information; Ok)"});
    QCOMPARE(ReadIniValue("Configuration", "Language", m_folder->filePath("Kvx.ini")).value_or(""),
             stored);
    QCOMPARE(m_window->findChild<QAction*>("mnuNew")->text(), "&New project");
    QCOMPARE(model().kvx.LanguageOffset, 0);
}

void TestDesktopHabits::openRecent() {
    start(QStringLiteral("hall.kvx"));
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
