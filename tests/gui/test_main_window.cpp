// The main window on screen, driven with keys and the mouse as a user would,
// on a program folder that the test writes.
#include "app/twips.h"
#include "core/ui/main_window.h"
#include "gui/gui_support.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>

using namespace kvx;
using namespace kvx::app;

class TestMainWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { start(QStringLiteral("English")); }
    void cleanup();
    void comesUpTranslatedAndPlaced_data();
    void comesUpTranslatedAndPlaced();
    void captionChangeKeepsAMovedWindow();
    void userInput_data();
    void userInput();
    void tabOrder_data();
    void tabOrder();
    void catalogueFieldSendsFocusToSlider_data();
    void catalogueFieldSendsFocusToSlider();
    void messageBoxDoesNotActivateAgain();
    void closingAsksAboutUnsavedChanges();

private:
    void start(const QString& language);
    FrmKvx& model() const { return m_app->mainWindow()->model(); }
    template <class W = QWidget>
    W* widget(const QString& name) const {
        return m_app->mainWindow()->findChild<W*>(name);
    }
    QString shown(const QString& name) const { return widget(name)->property("text").toString(); }
    // Calculate is offered, and the reports withdrawn, until the results are current.
    bool resultsCurrent() const {
        return !widget(QStringLiteral("cmdCalc"))->isEnabled() &&
               widget<QAction>(QStringLiteral("mnuReport"))->isEnabled() &&
               widget<QAction>(QStringLiteral("mnuPrintFile"))->isEnabled();
    }

    std::unique_ptr<test::ProgramFolder> m_folder;
    std::unique_ptr<test::ModalAnswerer> m_answerer;
    std::unique_ptr<Application> m_app;
};

void TestMainWindow::start(const QString& language) {
    m_app.reset();
    m_folder = std::make_unique<test::ProgramFolder>(language);
    m_answerer = std::make_unique<test::ModalAnswerer>();
    m_app = test::startProgram(*m_folder);
    QVERIFY(m_app && m_app->mainWindow());
}

void TestMainWindow::cleanup() {
    const QStringList unexpected = m_answerer->unexpected;
    m_app.reset();
    QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join(u'\n')));
}

void TestMainWindow::comesUpTranslatedAndPlaced_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QStringList>("texts"); // File menu, Calculate, user type, a frame
    QTest::newRow("English") << "English"
                             << QStringList{"&File", "Calculate", "User type", "General"};
    QTest::newRow("German") << "German"
                            << QStringList{"Datei", "Berechnung", "Benutzer Typ", "Allgemein"};
}

void TestMainWindow::comesUpTranslatedAndPlaced() {
    QFETCH(QString, language);
    QFETCH(QStringList, texts);
    if (language != QLatin1String("English"))
        start(language);
    MainWindowView* window = m_app->mainWindow();
    QCOMPARE((QStringList{window->menuBar()->actions().at(0)->text(), shown("cmdCalc"),
                          widget<QComboBox>("lstLsp")->itemText(3),
                          widget<QGroupBox>("Frame6")->title()}),
             texts);
    // The first type is chosen and calculated; the focus waits on the slider.
    QCOMPARE(widget<QComboBox>("lstLsp")->currentText(), QStringLiteral("Test A     "));
    QCOMPARE(shown("lblPower"), QStringLiteral("6"));
    QVERIFY(resultsCurrent());
    QCOMPARE(QApplication::focusWidget(), widget("DiffSet"));

    const QRect frame = window->frameGeometry();
    QCOMPARE(frame.size(), QSize(twipsToPixelsX(7680), twipsToPixelsY(7850)));
    const QRect screen = window->screen()->geometry();
    const QPoint offCentre = frame.center() - screen.center();
    QVERIFY2(offCentre.manhattanLength() <= 2, qPrintable(QString::number(offCentre.x())));
}

void TestMainWindow::captionChangeKeepsAMovedWindow() {
    MainWindowView* window = m_app->mainWindow();
    const QPoint moved = window->pos() + QPoint(30, 20);
    window->move(moved);
    model().form.setText(QStringLiteral("KVX - room.kvx"));
    QCOMPARE(window->windowTitle(), QStringLiteral("KVX - room.kvx"));
    QCOMPARE(window->pos(), moved);
    model().form.setLeft(0); // a new position from the model is applied
    QCOMPARE(window->pos().x(), window->screen()->geometry().left());
}

void TestMainWindow::userInput_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("shown"); // a control's name and text, the focused one
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("calculated");
    QTest::newRow("a digit in the room width")
        << "txtRoomWidth" << int(Qt::Key_End) << "5"
        << QStringList{"txtRoomWidth", "505", "txtRoomWidth"} << QStringList{} << false;
    QTest::newRow("a letter in the room height")
        << "txtRoomHeight" << int(Qt::Key_End) << "x"
        << QStringList{"txtRoomHeight", "4x", "txtRoomHeight"}
        << QStringList{"Kvx32: Invalid Character. Use: \n +/-, 0...9, one decimal separator "
                       "(dot or comma)."}
        << false;
    QTest::newRow("an amplifier tap picked")
        << "lstAmpTap" << int(Qt::Key_Down) << "" << QStringList{"lblPower", "2.94", "DiffSet"}
        << QStringList{} << true;
    QTest::newRow("the slider a tenth up")
        << "DiffSet" << int(Qt::Key_Right) << "" << QStringList{"txtLevelDif4", "6.1", "DiffSet"}
        << QStringList{} << true;
    QTest::newRow("the slider to its end")
        << "DiffSet" << int(Qt::Key_End) << "" << QStringList{"txtLevelDif4", "12", "DiffSet"}
        << QStringList{} << true;
}

void TestMainWindow::userInput() {
    QFETCH(QString, field);
    QFETCH(int, key);
    QFETCH(QString, typed);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, messages);
    QFETCH(bool, calculated);
    model().lblDistance.setText(QStringLiteral("marker")); // a calculation replaces it
    QWidget* input = widget(field);
    input->setFocus(Qt::TabFocusReason);
    QTest::keyClick(input, Qt::Key(key));
    QTest::keyClicks(input, typed);

    QCOMPARE(this->shown(shown[0]), shown[1]);
    QCOMPARE(m_answerer->messages, messages);
    QTRY_COMPARE(QApplication::focusWidget(), widget(shown[2]));
    QCOMPARE(resultsCurrent(), calculated);
    QCOMPARE(this->shown("lblDistance") != QLatin1String("marker"), calculated);
}

void TestMainWindow::tabOrder_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QStringList>("visited");
    const QStringList common{"FileSel",      "txtRoomLength", "txtRoomWidth", "txtRoomHeight",
                             "txtEarHeight", "lstLspTap",     "lstAmpTap",    "lstLsp"};
    QTest::newRow("catalogue type: its fields pass the focus on to the slider")
        << 0 << common + QStringList{"DiffSet", "cmdCalc", "txtDescription"};
    QTest::newRow("user type: every field in turn")
        << 3 << common + QStringList{"txtAngle1",   "txtAngle4", "txtSensitivity",
                                     "txtMaxPower", "DiffSet",   "cmdCalc"};
}

void TestMainWindow::tabOrder() {
    QFETCH(int, type);
    QFETCH(QStringList, visited);
    auto* types = widget<QComboBox>("lstLsp");
    types->setFocus(Qt::TabFocusReason);
    while (types->currentIndex() < type)
        QTest::keyClick(types, Qt::Key_Down);
    widget("txtDescription")->setFocus(Qt::TabFocusReason);
    QStringList seen;
    while (seen.size() < visited.size()) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        seen << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(seen, visited);
}

void TestMainWindow::catalogueFieldSendsFocusToSlider_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("mouse");
    QTest::newRow("tab from the type list") << "lstLsp"
                                            << "txtAngle1" << false;
    QTest::newRow("mouse into the sensitivity") << "txtRoomLength"
                                                << "txtSensitivity" << true;
}

void TestMainWindow::catalogueFieldSendsFocusToSlider() {
    QFETCH(QString, from);
    QFETCH(QString, field);
    QFETCH(bool, mouse);
    widget(from)->setFocus(Qt::TabFocusReason);
    if (mouse)
        QTest::mouseClick(widget(field), Qt::LeftButton);
    else
        QTest::keyClick(widget(from), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), widget("DiffSet"));
    QVERIFY(!widget<QLineEdit>(field)->hasSelectedText());
}

void TestMainWindow::messageBoxDoesNotActivateAgain() {
    // A calculation would replace the marker: activation has not run again.
    model().lblDistance.setText(QStringLiteral("marker"));
    m_app->platform().messageBox(QStringLiteral("Note"), 64);
    QTest::qWait(100);
    QVERIFY(QTest::qWaitForWindowActive(m_app->mainWindow()));
    QCOMPARE(shown("lblDistance"), QStringLiteral("marker"));
}

void TestMainWindow::closingAsksAboutUnsavedChanges() {
    widget("txtRoomLength")->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(widget("txtRoomLength"), QStringLiteral("1"));
    m_answerer->answers << QMessageBox::Cancel << QMessageBox::No;
    QVERIFY(!m_app->mainWindow()->close());
    QVERIFY(m_app->mainWindow()->isVisible());
    QVERIFY(m_app->mainWindow()->close());
    QCOMPARE(m_answerer->buttons, QList<QMessageBox::StandardButtons>(
                                      2, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel));
}

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
