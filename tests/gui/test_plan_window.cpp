// The plan window on screen beside the main window, driven as a user drives
// it: opened from the File menu, following each calculation, saying
// "Calculate first" when there is nothing to plan, its System and Speech
// pages on the map the pages share, and exporting through its file dialog.
#include "app/plan_pages.h"
#include "app/plan_window.h"
#include "app/speech_page.h"
#include "app/system_page.h"
#include "core/ui/main_window/catalogue_selection.h"
#include "gui/gui_support.h"
#include "support/plan.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>

using namespace kvx;
using namespace kvx::app;

class TestPlanWindow : public test::DesktopTest {
    Q_OBJECT
private Q_SLOTS:
    void init() { start(); }
    void cleanup() { stop(); }
    void opensFromTheFileMenu_data();
    void opensFromTheFileMenu();
    void followsEveryCalculation_data();
    void followsEveryCalculation();
    void noResultsNoPlan();
    void marginThatLeavesNoListenerArea();
    void pointerReadsTheLevel();
    void exportsThroughItsDialog();
    void systemPageFollowsTheListenerArea();
    void speechPageOnTheSharedMap();
    void tooManyLoudspeakersToList();
    void offsetRowsAndTheKeptSpacing();
    void followsTheUnitsMenu();
    void saysWhenTheBeamIsAtItsWidest_data();
    void saysWhenTheBeamIsAtItsWidest();

private:
    PlanWindow* openPlan() {
        QTest::keyClick(m_window, Qt::Key_L, Qt::ControlModifier);
        PlanWindow* plan = m_window->planWindow();
        return plan && plan->isVisible() ? plan : nullptr;
    }
    template <typename T = QWidget>
    T* in(QWidget* window, const QString& name) const {
        return window->findChild<T*>(name);
    }
    // What the plan window shows: "Calculate first", or the plan's first line
    // and the number of positions listed.
    QString shown(PlanWindow* plan) const {
        if (in<QStackedWidget>(plan, "planStack")->currentWidget() == in(plan, "calculateFirst"))
            return in<QLabel>(plan, "calculateFirst")->text();
        return in<QLabel>(plan, "planSummary")->text().section(u'\n', 0, 0) +
               QStringLiteral("; %1 listed")
                   .arg(in<QTableView>(plan, "positions")->model()->rowCount());
    }
};

void TestPlanWindow::opensFromTheFileMenu_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QStringList>("texts"); // the entry, the window, its tabs
    QTest::newRow("English") << "English"
                             << QStringList{"P&lan and coverage...", "Plan and coverage", "&Plan",
                                            "&Coverage", "&System"};
    QTest::newRow("German") << "German"
                            << QStringList{"P&lan und Schallversorgung...",
                                           "Plan und Schallversorgung", "&Plan", "&Versorgung",
                                           "&System"};
}

void TestPlanWindow::opensFromTheFileMenu() {
    QFETCH(QString, language);
    QFETCH(QStringList, texts);
    start(language);
    auto* entry = m_window->findChild<QAction*>("mnuPlan");
    QVERIFY(entry && entry->shortcut() == QKeySequence(QStringLiteral("Ctrl+L")));
    PlanWindow* plan = openPlan();
    QVERIFY(plan);
    QCOMPARE((QStringList{entry->text(), plan->windowTitle(), plan->tabs()->tabText(0),
                          plan->tabs()->tabText(1), plan->tabs()->tabText(2)}),
             texts);
    // Non-modal: the main window still takes the user's input.
    QVERIFY(!plan->isModal() && m_window->isEnabled());
    // Closing it changes nothing; it opens again as it was.
    const QString before = shown(plan);
    QVERIFY(plan->close());
    QVERIFY(m_window->model().design() && !m_window->model().kvx.Modified);
    QCOMPARE(openPlan(), plan);
    QCOMPARE(shown(plan), before);
}

void TestPlanWindow::followsEveryCalculation_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("plan");
    QTest::newRow("as started") << ""
                                << ""
                                << "Room 50.00 m × 50.00 m, 196 loudspeakers; 196 listed";
    QTest::newRow("a shorter room") << "txtRoomLength"
                                    << "20"
                                    << "Room 20.00 m × 50.00 m, 84 loudspeakers; 84 listed";
}

void TestPlanWindow::followsEveryCalculation() {
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, plan);
    PlanWindow* window = openPlan();
    QVERIFY(window);
    if (!field.isEmpty())
        calculateWith(field, typed);
    QCOMPARE(shown(window), plan);
    // The count is the main window's.
    QVERIFY(plan.contains(
        QStringLiteral(" %1 loudspeakers").arg(m_window->model().lblNrofSpeakers.text())));
}

void TestPlanWindow::noResultsNoPlan() {
    PlanWindow* plan = openPlan();
    QVERIFY(plan);
    // A refused input clears the results: nothing is planned from stale ones.
    calculateWith("txtEarHeight", "4");
    QCOMPARE(m_answerer.messages.size(), 1);
    QCOMPARE(shown(plan), QStringLiteral("Calculate first"));
    QVERIFY(!plan->scene() && !in(plan, "export")->isEnabled());
    calculateWith("txtEarHeight", "1.2");
    QCOMPARE(shown(plan), QStringLiteral("Room 50.00 m × 50.00 m, 144 loudspeakers; 144 listed"));
    QVERIFY(in(plan, "export")->isEnabled());
}

void TestPlanWindow::marginThatLeavesNoListenerArea() {
    PlanWindow* plan = openPlan();
    QVERIFY(plan);
    plan->tabs()->setCurrentIndex(1);
    auto* margin = in<QDoubleSpinBox>(plan, "margin");
    auto* figures = in<QLabel>(plan, "figures");
    // Each band's figures name the reference of its levels, in kvx-cli's words.
    QVERIFY(figures->text().startsWith(QLatin1String("Levels in dB SPL, direct sound\nMaximum ")));
    in<QComboBox>(plan, "band")->setCurrentIndex(1);
    QVERIFY(figures->text().startsWith(
        QLatin1String("Levels in dB re the map's maximum\nMaximum 0.0 dB")));
    in<QComboBox>(plan, "band")->setCurrentIndex(0);
    // The box takes no negative margin at all.
    QCOMPARE(margin->minimum(), 0.0);
    margin->setValue(25.5);
    QCOMPARE(figures->text(),
             QStringLiteral("The margin leaves no listener area: make it less than half the "
                            "shorter side of the room."));
    QVERIFY(plan->scene() && !plan->scene()->coverage);
    margin->setValue(2);
    QVERIFY(plan->scene()->coverage && plan->scene()->coverage->margin == 2);
    QVERIFY(figures->text().endsWith(QLatin1String("at least 2.00 m from every wall")));
}

void TestPlanWindow::pointerReadsTheLevel() {
    PlanWindow* plan = openPlan();
    QVERIFY(plan);
    plan->tabs()->setCurrentIndex(1);
    auto* canvas = in(plan, "coverageCanvas");
    auto* pointer = in<QLabel>(plan, "pointer");
    QVERIFY(QTest::qWaitForWindowExposed(plan));
    const QString hint = pointer->text();
    // The room's centre is the canvas's, above the legend.
    const RoomFrame frame = coverageFrame(QRectF(canvas->rect()).adjusted(6, 6, -6, -6),
                                          *plan->scene(), canvas->logicalDpiY() / 72.0);
    // The offscreen platform moves no pointer: the move comes as the event.
    const auto moveTo = [canvas](QPointF at) {
        QMouseEvent move(QEvent::MouseMove, at, canvas->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(canvas, &move);
    };
    moveTo(frame.toDevice(QPointF(25, 25)));
    QVERIFY2(QRegularExpression(QStringLiteral("^\\d+\\.\\d dB at x = 2[45]\\.\\d\\d m, "
                                               "y = 2[45]\\.\\d\\d m$"))
                 .match(pointer->text())
                 .hasMatch(),
             qPrintable(pointer->text()));
    // Off the map, the hint again.
    moveTo(QPointF(1, 1));
    QCOMPARE(pointer->text(), hint);
}

void TestPlanWindow::exportsThroughItsDialog() {
    PlanWindow* plan = openPlan();
    QVERIFY(plan);
    QString target = m_folder->filePath("positions");
    QString startedIn, offered;
    m_answerer.onDialog = [&target, &startedIn, &offered](QDialog* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        if (!files)
            return false;
        startedIn = files->directory().canonicalPath();
        offered = QFileInfo(files->selectedFiles().value(0)).fileName();
        files->selectFile(target);
        dialog->accept(); // QFileDialog::accept(), which reads the chosen name
        return true;
    };
    auto* menu = in<QMenu>(plan, "exportMenu");
    menu->actions().at(4)->trigger(); // Positions as CSV
    // A new project of a portable program: the program's folder, as every dialog.
    QCOMPARE(startedIn, QDir(m_folder->path()).canonicalPath());
    // A new project that has no description yet: the string table's "Untitled".
    QCOMPARE(offered, QStringLiteral("Untitled.csv"));
    // The dialog added the extension.
    QCOMPARE(test::readBytes(target + ".csv").count('\n'), 197);
    // A folder that is not there: a message naming the file, no file.
    target = m_folder->filePath("gone/plan.dxf");
    menu->actions().at(3)->trigger(); // DXF
    QCOMPARE(m_answerer.messages.size(), 1);
    QVERIFY2(m_answerer.messages[0].startsWith(
                 QStringLiteral("Export plan: The file \"%1\" cannot be written: ").arg(target)),
             qPrintable(m_answerer.messages[0]));
    QVERIFY(!QFile::exists(target));
}

void TestPlanWindow::systemPageFollowsTheListenerArea() {
    PlanWindow* plan = openPlan();
    QVERIFY(plan);
    SystemPanel& panel = plan->systemPage()->panel();
    const auto quietest = [&panel] {
        return panel.figures() && panel.figures()->level ? panel.figures()->level->quietest : 0.0;
    };
    // Typing the settings takes the map the pages share; it makes none.
    const int scenes = plan->scenesMade();
    for (const char* typed : {"5", "55"}) {
        panel.txtAmbient.userFocus();
        panel.txtAmbient.userSetText(QString::fromLatin1(typed));
    }
    QCOMPARE(plan->scenesMade(), scenes);
    const double wholeRoom = quietest();
    QVERIFY(wholeRoom > 55);
    // Away from the walls the quietest listener is louder, on both pages.
    plan->tabs()->setCurrentIndex(1);
    m_window->model().kvx.Modified = false;
    in<QDoubleSpinBox>(plan, "margin")->setValue(3);
    QCOMPARE(plan->scenesMade(), scenes + 1);
    // The margin is the project's: modified, and shown on the System page.
    QVERIFY(m_window->model().kvx.Modified);
    QCOMPARE(panel.txtMargin.text(), "3");
    QVERIFY2(quietest() > wholeRoom + 0.5, qPrintable(QString::number(quietest())));
    QCOMPARE(quietest(),
             plan->scene()->coverage->offset1k + plan->scene()->coverage->band(Band::K1).min);

    // The design PDF ends with the system page: report, plan, two maps, system.
    const QString pdf = m_folder->filePath("design.pdf");
    QVERIFY(plan->exportTo(pdf, PlanFormat::Pdf));
    const QString text = QString::fromLatin1(test::readBytes(pdf));
    QCOMPARE(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b"))), 5);
}

void TestPlanWindow::speechPageOnTheSharedMap() {
    PlanWindow* plan = openPlan();
    QVERIFY(plan);
    QCOMPARE(plan->tabs()->tabText(3), QStringLiteral("Speec&h"));
    plan->tabs()->setCurrentIndex(3);
    SpeechPanel& panel = plan->speechPage()->panel();
    const auto type = [](Control& field, const char* text) {
        field.userFocus();
        field.userSetText(QString::fromLatin1(text));
    };
    // The settings typed take the map the pages share; the ambient noise is
    // the System page's too.
    const int scenes = plan->scenesMade();
    type(panel.txtReverberation, "1.2");
    type(panel.txtSpeechAmbient, "55");
    QCOMPARE(plan->scenesMade(), scenes);
    QCOMPARE(plan->systemPage()->panel().txtAmbient.text(), QStringLiteral("55"));
    QVERIFY(m_window->model().kvx.Modified);
    QVERIFY(panel.map() && plan->speechPage()->figuresText().contains("Mean STI"));
    QCOMPARE(panel.map()->x, plan->scene()->coverage->x);

    // The value under the pointer, in the middle of the room.
    QVERIFY(QTest::qWaitForWindowExposed(plan));
    auto* canvas = in(plan, "stiCanvas");
    const RoomFrame frame = stiFrame(QRectF(canvas->rect()).adjusted(6, 6, -6, -6), *plan->scene(),
                                     canvas->logicalDpiY() / 72.0);
    const QPointF at = frame.toDevice(QPointF(25, 25));
    QMouseEvent move(QEvent::MouseMove, at, canvas->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(canvas, &move);
    QVERIFY2(in<QLabel>(plan, "stiPointer")->text().startsWith("STI 0."),
             qPrintable(in<QLabel>(plan, "stiPointer")->text()));

    // A new calculation and a new margin: one map each, the STI on it.
    calculateWith("txtRoomLength", "20");
    QCOMPARE(plan->scenesMade(), scenes + 1);
    QCOMPARE(panel.map()->x.back(), 20.0);
    plan->tabs()->setCurrentIndex(1);
    in<QDoubleSpinBox>(plan, "margin")->setValue(3);
    QCOMPARE(plan->scenesMade(), scenes + 2);
    QCOMPARE(panel.map()->margin, 3.0);

    // The design PDF ends with the speech page: report, plan, two maps, system, speech.
    const QString pdf = m_folder->filePath("design.pdf");
    QVERIFY(plan->exportTo(pdf, PlanFormat::Pdf));
    const QString text = QString::fromLatin1(test::readBytes(pdf));
    QCOMPARE(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b"))), 6);

    // Too short for the room: said on the page, no map.
    type(panel.txtReverberation, "0,1");
    QVERIFY(!panel.map());
    QVERIFY(plan->speechPage()->figuresText().contains("is too short for this room"));
}

void TestPlanWindow::tooManyLoudspeakersToList() {
    // 1200 x 1000 loudspeakers: the count and the grid, no positions.
    PlanScene scene;
    scene.layout = test::gridLayout(3600, 3000, 1200, 1000);
    scene.geometry = planGeometry(scene.layout, QLocale::c());
    const PlanTexts texts(m_window->model().kvx);
    LayoutPage page(texts);
    page.showScene(&scene);
    QCOMPARE(in<QLabel>(&page, "planSummary")->text().split(u'\n'),
             (QStringList{"Room 3600.00 m × 3000.00 m, 1200000 loudspeakers",
                          "1200 columns along the length × 1000 rows along the width",
                          "Spacing 3.00 m × 3.00 m (calculated: 0.00 m)",
                          "Distance from the walls 1.50 m × 1.50 m",
                          "More than 1,000,000 loudspeakers: the plan cannot show them one by "
                          "one."}));
    QCOMPARE(in<QTableView>(&page, "positions")->model()->rowCount(), 0);
    QVERIFY(!in(&page, "copyPositions")->isEnabled());
}

void TestPlanWindow::offsetRowsAndTheKeptSpacing() {
    PlanWindow* plan = openPlan();
    QVERIFY(plan);
    const auto summary = [&] { return in<QLabel>(plan, "planSummary")->text().split(u'\n'); };
    // A room 5.4 m long at 3.61 m: one column, 50 % wider than calculated.
    calculateWith("txtRoomLength", "5.4");
    QWidget* stretched = in(plan, "spacingStretched");
    QTRY_VERIFY(stretched->isVisible());
    QCOMPARE(in<QLabel>(plan, "spacingStretched")->text(),
             QStringLiteral("The loudspeakers are laid out up to 50 % farther apart than "
                            "calculated, so the room is covered less evenly than the results "
                            "state. 'Keep spacing' lays out enough loudspeakers to keep the "
                            "calculated spacing."));
    QCOMPARE(summary().value(1), "1 columns along the length × 14 rows along the width");
    // Taking the offer is the user's pick of the fit in the main window.
    QTest::mouseClick(in(plan, "keepSpacing"), Qt::LeftButton);
    QCOMPARE(model().lstFit.text(), "Keep spacing");
    QCOMPARE(m_window->findChild<QComboBox*>("lstFit")->currentText(), "Keep spacing");
    QVERIFY(model().kvx.Modified && m_window->isWindowModified());
    QCOMPARE(summary().value(1), "2 columns along the length × 14 rows along the width");
    QVERIFY(!stretched->isVisible());

    // Offset rows picked in the main window: the plan shows and dimensions them.
    auto* pattern = m_window->findChild<QComboBox*>("lstPattern");
    pattern->setFocus(Qt::TabFocusReason);
    QTest::keyClick(pattern, Qt::Key_Down);
    QCOMPARE(model().lstPattern.text(), "Offset rows");
    QCOMPARE(summary().mid(0, 3),
             (QStringList{"Room 5.40 m × 50.00 m, 21 loudspeakers",
                          "14 rows along the width, of 2 and 1 loudspeakers in turn; every other "
                          "row shifted by half a spacing",
                          "Spacing 2.70 m in the rows, rows 3.57 m apart, offset 1.35 m "
                          "(calculated: 4.15 m)"}));
    QCOMPARE(plan->scene()->geometry.dimensions.back().text, "1.35 m");
}

QTEST_MAIN(TestPlanWindow)
// File > Units redraws the open plan window at once, in feet and back; the
// margin typed stays the same margin.
void TestPlanWindow::followsTheUnitsMenu() {
    PlanWindow* plan = openPlan();
    QVERIFY(plan);
    auto* margin = in<QDoubleSpinBox>(plan, "margin");
    margin->setValue(0.5);
    const QString metric = shown(plan);
    QVERIFY(metric.startsWith("Room 50.00 m × 50.00 m, "));
    const auto choose = [this](const char* entry) {
        QAction* action = m_window->findChild<QAction*>(QLatin1String(entry));
        QVERIFY(action && action->isCheckable());
        action->trigger();
        QVERIFY(action->isChecked());
    };
    choose("mnuImperial");
    QCOMPARE(shown(plan), QString(metric).replace("50.00 m", "164.04 ft"));
    QCOMPARE(in<QLineEdit>(m_window, "txtRoomLength")->text(), "164.04");
    QCOMPARE(margin->suffix(), " ft");
    QCOMPARE(margin->value(), 1.64);
    QCOMPARE(plan->scene()->coverage->margin, 0.5);
    QVERIFY(plan->scene()->geometry.dimensions.front().text.endsWith(u'"'));
    choose("mnuMetric");
    QCOMPARE(shown(plan), metric);
    QCOMPARE(margin->value(), 0.5);
    QVERIFY(!m_window->findChild<QAction*>("mnuImperial")->isChecked());
    // A refused change leaves the check where the units are.
    choose("mnuImperial");
    m_window->model().txtRoomWidth.userSetText("9'12\"");
    QAction* toMetres = m_window->findChild<QAction*>("mnuMetric");
    toMetres->trigger();
    QCOMPARE(m_answerer.messages.size(), 1);
    QVERIFY(!toMetres->isChecked() && m_window->findChild<QAction*>("mnuImperial")->isChecked());
}

#include "test_plan_window.moc"

void TestPlanWindow::saysWhenTheBeamIsAtItsWidest_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("angle");
    QTest::addColumn<int>("band");
    QTest::addColumn<bool>("said");
    QTest::newRow("160 at 1 kHz") << "txtAngle1"
                                  << "160" << 0 << false;
    QTest::newRow("162 at 1 kHz") << "txtAngle1"
                                  << "162" << 0 << true;
    QTest::newRow("170 at 1 kHz, the 4 kHz band") << "txtAngle1"
                                                  << "170" << 1 << false;
    QTest::newRow("170 at 4 kHz") << "txtAngle4"
                                  << "170" << 1 << true;
}

void TestPlanWindow::saysWhenTheBeamIsAtItsWidest() {
    QFETCH(QString, field);
    QFETCH(QString, angle);
    QFETCH(int, band);
    QFETCH(bool, said);
    PlanWindow* plan = openPlan();
    QVERIFY(plan);
    plan->tabs()->setCurrentIndex(1);
    // A catalogue type's angles are its own: the user type takes typed ones.
    auto* types = m_window->findChild<QComboBox*>("lstLsp");
    const int user = types->findText(userTypeText(model().kvx));
    QVERIFY(user >= 0);
    types->setCurrentIndex(user);
    Q_EMIT types->activated(user);
    calculateWith(field, angle);
    QCOMPARE(model().design()->angle1, field == "txtAngle1" ? angle.toDouble() : 120.0);
    in<QComboBox>(plan, "band")->setCurrentIndex(band);
    auto* sentence = in<QLabel>(plan, "widestBeam");
    QCOMPARE(!sentence->isHidden(), said);
    QVERIFY(sentence->text().startsWith(QStringLiteral("From an opening angle of 162° on, ")));
    // Another band or a narrower beam takes the sentence away again.
    in<QComboBox>(plan, "band")->setCurrentIndex(1 - band);
    const bool otherWide = (band == 0) == (field == QLatin1String("txtAngle4"));
    QCOMPARE(!sentence->isHidden(), otherWide && angle.toDouble() >= 162);
}
