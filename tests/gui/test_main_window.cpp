// The main window on screen, driven with keys and the mouse as a user would,
// on a program folder that the test writes.
#include "app/application.h"
#include "app/main_window_view.h"
#include "app/twips.h"
#include "core/shell/program.h"
#include "core/ui/main_window.h"
#include "gui/gui_support.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

using namespace kvx;
using namespace kvx::app;

class TestMainWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void comesUpTranslatedAndCalculated();
    void sizeAndPlacementInTwips();
    void captionChangeKeepsAMovedWindow();
    void digitInRoomWidthOffersCalculate();
    void letterShowsFilterMessageAndKeepsFocus();
    void pickingATapRecalculates();
    void sliderDrivesTheDifferenceLevel_data();
    void sliderDrivesTheDifferenceLevel();
    void tabReachesEveryField_data();
    void tabReachesEveryField();
    void catalogueFieldSendsFocusToSlider_data();
    void catalogueFieldSendsFocusToSlider();
    void messageBoxDoesNotActivateAgain();
    void informationWindowsReturnAndRecalculate_data();
    void informationWindowsReturnAndRecalculate();
    void closingAsksAboutUnsavedChanges();
    void germanTexts();

private:
    void startProgram(const QString& language = QStringLiteral("English"));
    FrmKvx& model() const { return m_view->model(); }
    template <class W>
    W* widget(const Control& control) const {
        return qobject_cast<W*>(m_view->widget(control));
    }
    QAction* action(const Control& control) const {
        return m_view->findChild<QAction*>(control.name());
    }
    QString shown(const Control& label) const { return widget<QLabel>(label)->text(); }

    std::unique_ptr<test::ProgramFolder> m_folder;
    std::unique_ptr<test::ModalAnswerer> m_answerer;
    std::unique_ptr<Application> m_app;
    MainWindowView* m_view = nullptr;
};

void TestMainWindow::init() {
    startProgram();
}

void TestMainWindow::startProgram(const QString& language) {
    m_app.reset();
    m_folder = std::make_unique<test::ProgramFolder>(language);
    m_answerer = std::make_unique<test::ModalAnswerer>();
    m_app = std::make_unique<Application>(m_folder->path(), QLocale::c(), QString());
    QVERIFY(m_app->start());
    m_view = m_app->mainWindow();
    QVERIFY(m_view);
    QSignalSpy activated(m_view, &MainWindowView::activated);
    QVERIFY(activated.wait(5000));
    QVERIFY(QTest::qWaitForWindowActive(m_view));
}

void TestMainWindow::cleanup() {
    const QStringList unexpected = m_answerer ? m_answerer->unexpected : QStringList();
    m_app.reset();
    m_answerer.reset();
    m_folder.reset();
    QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join(u'\n')));
}

void TestMainWindow::comesUpTranslatedAndCalculated() {
    QCOMPARE(m_view->windowTitle(), QStringLiteral("KVX"));
    QCOMPARE(widget<QGroupBox>(model().Frame6)->title(), QStringLiteral("General"));
    QCOMPARE(m_view->menuBar()->actions().at(0)->text(), QStringLiteral("&File"));
    QCOMPARE(action(model().mnuPrintFile)->text(), QStringLiteral("P&rint to file"));
    QCOMPARE(widget<QComboBox>(model().lstLsp)->currentText(), QStringLiteral("Test A     "));
    QCOMPARE(widget<QLineEdit>(model().txtSensitivity)->text(), QStringLiteral("89.5"));
    QCOMPARE(shown(model().lblPower), QStringLiteral("6"));
    QVERIFY(!shown(model().lblDistance).isEmpty());
    QVERIFY(!shown(model().lblNrofSpeakers).isEmpty());
    QCOMPARE(widget<QLabel>(model().lblLevel)->palette().color(QPalette::WindowText), Qt::red);
    QCOMPARE(widget<QLineEdit>(model().txtAngle1)->palette().color(QPalette::Base),
             QColor(255, 255, 224));
    QVERIFY(!widget<QPushButton>(model().cmdCalc)->isEnabled());
    QVERIFY(action(model().mnuReport)->isEnabled());
    QCOMPARE(QApplication::focusWidget(), m_view->widget(model().DiffSet));
    QCOMPARE(widget<QLabel>(model().lblDistance)->toolTip(),
             QStringLiteral("Mounting distance between loudspeakers"));
}

void TestMainWindow::sizeAndPlacementInTwips() {
    const QScreen* screen = m_view->screen();
    const QRect frame = m_view->frameGeometry();
    QCOMPARE(frame.size(), QSize(twipsToPixelsX(7680), twipsToPixelsY(7850)));
    const QRect available = screen->geometry();
    const QPoint centred((available.width() - frame.width()) / 2,
                         (available.height() - frame.height()) / 2);
    QVERIFY2((frame.topLeft() - available.topLeft() - centred).manhattanLength() <= 2,
             qPrintable(QStringLiteral("at %1,%2").arg(frame.x()).arg(frame.y())));
}

void TestMainWindow::captionChangeKeepsAMovedWindow() {
    const QPoint moved = m_view->pos() + QPoint(30, 20);
    m_view->move(moved);
    model().form.setText(QStringLiteral("KVX - room.kvx"));
    QCOMPARE(m_view->windowTitle(), QStringLiteral("KVX - room.kvx"));
    QCOMPARE(m_view->pos(), moved);
    // A new position from the model is applied.
    model().form.setLeft(0);
    QCOMPARE(m_view->pos().x(), m_view->screen()->geometry().left());
}

void TestMainWindow::digitInRoomWidthOffersCalculate() {
    auto* width = widget<QLineEdit>(model().txtRoomWidth);
    width->setFocus(Qt::TabFocusReason);
    QTest::keyClick(width, Qt::Key_End);
    QTest::keyClicks(width, QStringLiteral("5"));

    QCOMPARE(model().txtRoomWidth.text(), QStringLiteral("505"));
    QVERIFY(widget<QPushButton>(model().cmdCalc)->isEnabled());
    QVERIFY(!action(model().mnuReport)->isEnabled());
    QVERIFY(!action(model().mnuPrintFile)->isEnabled());
    QVERIFY(m_answerer->messages.isEmpty());
}

void TestMainWindow::letterShowsFilterMessageAndKeepsFocus() {
    auto* height = widget<QLineEdit>(model().txtRoomHeight);
    height->setFocus(Qt::TabFocusReason);
    QTest::keyClick(height, Qt::Key_End);
    QTest::keyClicks(height, QStringLiteral("x"));

    QCOMPARE(m_answerer->messages.size(), 1);
    const test::SeenMessage& message = m_answerer->messages.at(0);
    QCOMPARE(message.title, QStringLiteral("Kvx32"));
    QCOMPARE(message.text, QStringLiteral("Invalid Character. Use: \n +/-, 0...9, one decimal "
                                          "separator (dot or comma)."));
    QCOMPARE(message.icon, QMessageBox::NoIcon);
    QTRY_COMPARE(QApplication::focusWidget(), height);
    QCOMPARE(height->text(), QStringLiteral("4x"));
    QVERIFY(widget<QPushButton>(model().cmdCalc)->isEnabled());
    QVERIFY(!action(model().mnuReport)->isEnabled());
}

void TestMainWindow::pickingATapRecalculates() {
    auto* amplifier = widget<QComboBox>(model().lstAmpTap);
    const QString levelBefore = shown(model().lblLevel);
    amplifier->setFocus(Qt::TabFocusReason);
    QTest::keyClick(amplifier, Qt::Key_Down);

    QCOMPARE(amplifier->currentText(), QStringLiteral(" 70 V"));
    QCOMPARE(shown(model().lblPower), QStringLiteral("2.94"));
    QVERIFY(!shown(model().lblLevel).isEmpty());
    QVERIFY(shown(model().lblLevel) != levelBefore);
    QVERIFY(model().kvx.Modified);
}

void TestMainWindow::sliderDrivesTheDifferenceLevel_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("level");
    QTest::newRow("arrow right: a tenth up") << int(Qt::Key_Right) << "6.1";
    QTest::newRow("arrow left: a tenth down") << int(Qt::Key_Left) << "5.9";
    QTest::newRow("page up: one decibel up") << int(Qt::Key_PageUp) << "7";
    QTest::newRow("end: the highest level") << int(Qt::Key_End) << "12";
}

void TestMainWindow::sliderDrivesTheDifferenceLevel() {
    QFETCH(int, key);
    QFETCH(QString, level);
    auto* slider = widget<QSlider>(model().DiffSet);
    const QString speakersBefore = shown(model().lblNrofSpeakers);
    slider->setFocus(Qt::TabFocusReason);
    QTest::keyClick(slider, Qt::Key(key));

    QCOMPARE(shown(model().txtLevelDif4), level);
    QCOMPARE(model().txtLevelDif4.text(), level);
    // The level started a calculation: its results are current again.
    QVERIFY(!widget<QPushButton>(model().cmdCalc)->isEnabled());
    QVERIFY(!shown(model().lblNrofSpeakers).isEmpty());
    if (level == QLatin1String("12"))
        QVERIFY(shown(model().lblNrofSpeakers).toInt() <= speakersBefore.toInt());
}

void TestMainWindow::tabReachesEveryField_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QStringList>("visited");
    const QStringList common{"FileSel",      "txtRoomLength", "txtRoomWidth", "txtRoomHeight",
                             "txtEarHeight", "lstLspTap",     "lstAmpTap",    "lstLsp"};
    QTest::newRow("catalogue type: the fields pass the focus to the slider")
        << 0 << common + QStringList{"DiffSet", "cmdCalc", "txtDescription"};
    QTest::newRow("user type: every field in turn")
        << 3 << common + QStringList{"txtAngle1",   "txtAngle4", "txtSensitivity",
                                     "txtMaxPower", "DiffSet",   "cmdCalc"};
}

void TestMainWindow::tabReachesEveryField() {
    QFETCH(int, type);
    QFETCH(QStringList, visited);
    auto* types = widget<QComboBox>(model().lstLsp);
    types->setFocus(Qt::TabFocusReason);
    while (types->currentIndex() < type)
        QTest::keyClick(types, Qt::Key_Down);
    QCOMPARE(types->currentIndex(), type);

    widget<QLineEdit>(model().txtDescription)->setFocus(Qt::TabFocusReason);
    QStringList seen;
    for (int i = 0; i < visited.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        seen << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(seen, visited);
}

void TestMainWindow::catalogueFieldSendsFocusToSlider_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("mouse");
    QTest::newRow("tab from the type list into the 1 kHz angle") << "lstLsp"
                                                                 << "txtAngle1" << false;
    QTest::newRow("mouse into the sensitivity") << "txtRoomLength"
                                                << "txtSensitivity" << true;
    QTest::newRow("mouse into the rated power") << "txtDescription"
                                                << "txtMaxPower" << true;
}

void TestMainWindow::catalogueFieldSendsFocusToSlider() {
    QFETCH(QString, from);
    QFETCH(QString, field);
    QFETCH(bool, mouse);
    QWidget* start = m_view->widget(*model().control(from));
    QWidget* target = m_view->widget(*model().control(field));
    start->setFocus(Qt::TabFocusReason);
    if (mouse)
        QTest::mouseClick(target, Qt::LeftButton);
    else
        QTest::keyClick(start, Qt::Key_Tab);

    QCOMPARE(QApplication::focusWidget(), m_view->widget(model().DiffSet));
    QVERIFY(!static_cast<QLineEdit*>(target)->hasSelectedText());
}

void TestMainWindow::messageBoxDoesNotActivateAgain() {
    // A calculation would replace the marker: activation has not run again.
    model().lblDistance.setText(QStringLiteral("marker"));
    m_app->platform().messageBox(QStringLiteral("Note"), 64);
    QTest::qWait(100);
    QVERIFY(QTest::qWaitForWindowActive(m_view));
    QCOMPARE(shown(model().lblDistance), QStringLiteral("marker"));
}

void TestMainWindow::informationWindowsReturnAndRecalculate_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("closeButton");
    QTest::newRow("about") << "mnuAbout"
                           << "frmAbout"
                           << "About KVX"
                           << "Close_Key";
    QTest::newRow("working with") << "mnuWorking"
                                  << "frmWorking"
                                  << "Working with KVX"
                                  << "cmdClose";
}

void TestMainWindow::informationWindowsReturnAndRecalculate() {
    QFETCH(QString, command);
    QFETCH(QString, window);
    QFETCH(QString, title);
    QFETCH(QString, closeButton);
    QString seenTitle;
    bool insideScreen = false;
    m_answerer->onDialog = [&](QDialog* dialog) {
        if (dialog->objectName() != window)
            return false;
        seenTitle = dialog->windowTitle();
        insideScreen = dialog->screen()->geometry().contains(dialog->frameGeometry());
        auto* close = dialog->findChild<QPushButton*>(closeButton);
        if (!close)
            return false;
        QTest::mouseClick(close, Qt::LeftButton);
        return true;
    };
    model().lblDistance.setText(QStringLiteral("marker"));
    action(*model().control(command))->trigger();

    QCOMPARE(seenTitle, title);
    QVERIFY(insideScreen);
    QVERIFY(shown(model().lblDistance) != QLatin1String("marker"));
    QCOMPARE(m_view->windowTitle(), QStringLiteral("KVX"));
}

void TestMainWindow::closingAsksAboutUnsavedChanges() {
    auto* length = widget<QLineEdit>(model().txtRoomLength);
    length->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(length, QStringLiteral("1"));
    QVERIFY(model().kvx.Modified);

    m_answerer->answers << QMessageBox::Cancel;
    QVERIFY(!m_view->close());
    QVERIFY(m_view->isVisible());
    m_answerer->answers << QMessageBox::No;
    QVERIFY(m_view->close());
    QCOMPARE(m_answerer->messages.size(), 2);
    QCOMPARE(m_answerer->messages.at(0).buttons,
             QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
}

void TestMainWindow::germanTexts() {
    startProgram(QStringLiteral("German"));
    QCOMPARE(m_view->menuBar()->actions().at(0)->text(), QStringLiteral("Datei"));
    QCOMPARE(widget<QPushButton>(model().cmdCalc)->text(), QStringLiteral("Berechnung"));
    QCOMPARE(widget<QComboBox>(model().lstLsp)->itemText(3), QStringLiteral("Benutzer Typ"));
}

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
