// The desktop program's windows on screen, driven with keys and the mouse as
// a user would, on a program folder that the test writes.
#include "app/lang_select_view.h"
#include "app/twips.h"
#include "core/base/kvx_error.h"
#include "gui/gui_support.h"

#include <QAction>
#include <QComboBox>
#include <QMenuBar>
#include <QRadioButton>
#include <QScreen>

using namespace kvx;
using namespace kvx::app;

class TestMainWindow : public test::DesktopTest {
    Q_OBJECT
private Q_SLOTS:
    void init() { start(); }
    void cleanup() { stop(); }
    void comesUpTranslatedAndPlaced_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<int>("option");        // chosen at a first start
        QTest::addColumn<QStringList>("texts"); // File menu, Calculate, user type, a frame
        QTest::newRow("English") << "English" << -1
                                 << QStringList{"&File", "Calculate", "User type", "General"};
        QTest::newRow("German") << "German" << -1
                                << QStringList{"&Datei", "Berechnung", "Benutzer Typ", "Allgemein"};
        QTest::newRow("Nederlands at a first start")
            << "Dutch" << 2 << QStringList{"&Bestand", "Bereken", "Eigen invoer", "Algemeen"};
    }
    void comesUpTranslatedAndPlaced() {
        QFETCH(QString, language);
        QFETCH(int, option);
        QFETCH(QStringList, texts);
        start(language, {}, option);
        QCOMPARE((QStringList{m_window->menuBar()->actions().at(0)->text(), shown("cmdCalc"),
                              m_window->findChild<QComboBox*>("lstLsp")->itemText(1),
                              widget("Frame6")->property("title").toString()}),
                 texts);
        QVERIFY(test::readBytes(m_folder->filePath("Kvx.ini"))
                    .contains("Language=" + language.toLatin1()));
        // The first type is picked and calculated; the focus waits on the slider.
        QCOMPARE((QStringList{shown("txtSensitivity"), shown("lblPower"), state()}),
                 (QStringList{"89.5", "6", "calculate 0, reports 1 1"}));
        QCOMPARE(QApplication::focusWidget(), widget("DiffSet"));
        const QRect frame = m_window->frameGeometry();
        // The design size, or wider where the language's texts need it.
        QVERIFY(frame.width() >= twipsToPixelsX(7680) && frame.height() >= twipsToPixelsY(7850));
        QCOMPARE(m_window->size(), m_window->maximumSize());
        const QPoint offCentre = frame.center() - m_window->screen()->geometry().center();
        QVERIFY2(offCentre.manhattanLength() <= 2, qPrintable(QString::number(offCentre.x())));
        // A new caption does not move a window that the user has moved.
        m_window->move(m_window->pos() + QPoint(30, 20));
        m_window->model().form.setText(QStringLiteral("KVX - room.kvx"));
        QCOMPARE(m_window->frameGeometry().topLeft(), frame.topLeft() + QPoint(30, 20));
    }
    void userInput_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("key"); // none: a mouse click
        QTest::addColumn<QString>("typed");
        // A control and its text, the focus, the state, the messages shown.
        QTest::addColumn<QStringList>("after");
        const QString fresh = QStringLiteral("calculate 1, reports 0 0, not calculated");
        const QString current = QStringLiteral("calculate 0, reports 1 1");
        const QString unchanged = current + QStringLiteral(", not calculated");
        QTest::newRow("a digit in the room width")
            << "txtRoomWidth" << int(Qt::Key_End) << "5"
            << QStringList{"txtRoomWidth", "505", "txtRoomWidth", fresh};
        QTest::newRow("a letter in the room height")
            << "txtRoomHeight" << int(Qt::Key_End) << "x"
            << QStringList{
                   "txtRoomHeight", "4x", "txtRoomHeight", fresh,
                   "Kvx32: Invalid Character. Use: \n +/-, 0...9, one decimal separator (dot "
                   "or comma). (NoIcon; Ok)"};
        QTest::newRow("an amplifier tap picked")
            << "lstAmpTap" << int(Qt::Key_Down) << ""
            << QStringList{"lblPower", "2.94", "DiffSet", current};
        QTest::newRow("the slider a tenth up")
            << "DiffSet" << int(Qt::Key_Right) << ""
            << QStringList{"txtLevelDif4", "6.1", "DiffSet", current};
        QTest::newRow("offset rows picked")
            << "lstPattern" << int(Qt::Key_Down) << ""
            << QStringList{"lblNrofSpeakers", "161", "DiffSet", current};
        QTest::newRow("mouse into a catalogue field: on to the slider")
            << "txtSensitivity" << 0 << ""
            << QStringList{"txtSensitivity", "89.5", "DiffSet", unchanged};
    }
    void userInput() {
        QFETCH(QString, field);
        QFETCH(int, key);
        QFETCH(QString, typed);
        QFETCH(QStringList, after);
        // A calculation replaces it; the activation that a message box gives back must not.
        m_window->model().lblDistance.setText(QStringLiteral("marker"));
        if (key) {
            widget(field)->setFocus(Qt::TabFocusReason);
            QTest::keyClick(widget(field), Qt::Key(key));
            QTest::keyClicks(widget(field), typed);
        } else {
            QTest::mouseClick(widget(field), Qt::LeftButton);
        }
        QTRY_COMPARE(QApplication::focusWidget(), widget(after[2]));
        QCOMPARE(QStringList({after[0], shown(after[0]), after[2], state()}) + m_answerer.messages,
                 after);
    }
    void tabOrderKeepsTheTapsWithinReach() {
        // A catalogue type's fields pass the focus on to the slider (after lstLsp).
        widget("txtDescription")->setFocus(Qt::TabFocusReason);
        QStringList seen;
        while (seen.size() < 13) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            seen << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(seen, (QStringList{"FileSel", "txtRoomLength", "txtRoomWidth", "txtRoomHeight",
                                    "txtEarHeight", "lstLspTap", "lstAmpTap", "lstLsp", "DiffSet",
                                    "lstPattern", "lstFit", "cmdCalc", "txtDescription"}));
    }
    void accessKeysReachTheLayoutChoices_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("keys"); // of the pattern and the fit
        for (const auto& [language, keys] : {std::pair{"English", "PI"},
                                             {"Dutch", "PI"},
                                             {"French", "DJ"},
                                             {"Italian", "DT"},
                                             {"German", "AE"}})
            QTest::newRow(language) << QString(language) << QString(keys);
    }
    void accessKeysReachTheLayoutChoices() {
        QFETCH(QString, language);
        QFETCH(QString, keys);
        start(language);
        const char* const names[] = {"lstPattern", "lstFit"};
        for (int i = 0; i < 2; ++i) {
            widget("txtRoomLength")->setFocus(Qt::TabFocusReason);
            QTest::keyClick(m_window, Qt::Key(keys.at(i).unicode()), Qt::AltModifier);
            QCOMPARE(QApplication::focusWidget(), widget(QLatin1String(names[i])));
        }
    }
    void onlyTheUsersActionsReachTheModel() {
        // The focus that comes back after a message box or a popup is not the
        // user entering the room length, which offers Calculate.
        widget("txtRoomLength")->setFocus(Qt::ActiveWindowFocusReason);
        widget("txtRoomWidth")->setFocus(Qt::PopupFocusReason);
        QVERIFY(!widget("cmdCalc")->isEnabled());
        widget("txtRoomLength")->setFocus(Qt::TabFocusReason);
        QVERIFY(widget("cmdCalc")->isEnabled());
        // A change that the program makes is shown, not sent back as a pick.
        m_window->model().lblDistance.setText(QStringLiteral("marker"));
        m_window->model().lstAmpTap.setText(QStringLiteral(" 70 V"));
        QCOMPARE(m_window->findChild<QComboBox*>("lstAmpTap")->currentText() + shown("lblDistance"),
                 QStringLiteral(" 70 Vmarker"));
        // What a handler throws is shown, or ends the program.
        m_window->model().cmdCalc.onClick = [] { throw KvxError(QStringLiteral("Disk full")); };
        QTest::mouseClick(widget("cmdCalc"), Qt::LeftButton);
        QCOMPARE(m_answerer.messages, QStringList{"Kvx32: Disk full (Critical; Ok)"});
        m_window->model().cmdCalc.onClick = [] { throw ProgramEnded{}; };
        QTest::mouseClick(widget("cmdCalc"), Qt::LeftButton);
        QVERIFY(m_app->dispatcher().programEnded());
    }
    void closingAsksAboutUnsavedChanges() {
        widget("txtRoomLength")->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(widget("txtRoomLength"), QStringLiteral("1"));
        m_answerer.answers << QMessageBox::Cancel << QMessageBox::No;
        QVERIFY(!m_window->close());
        QVERIFY(m_window->isVisible());
        QVERIFY(m_window->close());
        QCOMPARE(m_answerer.messages,
                 QStringList(2,
                             "Exit KVX: The project data is modified. Do you want to save before "
                             "Exiting the program ? (Question; Yes|No|Cancel)"));
    }

private:
    // Calculate is offered, and the reports withdrawn, until the results are
    // current; a calculation replaces a marker left in the distance.
    QString state() const {
        return QStringLiteral("calculate %1, reports %2 %3%4")
            .arg(widget("cmdCalc")->isEnabled())
            .arg(m_window->findChild<QAction*>("mnuReport")->isEnabled())
            .arg(m_window->findChild<QAction*>("mnuPrintFile")->isEnabled())
            .arg(shown("lblDistance") == QLatin1String("marker") ? ", not calculated" : "");
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
