// The main window's calculation driven as a user drives it: fields typed, taps
// picked, the slider moved, Calculate pressed; checked on the texts shown.
#include "core/calc/design.h"
#include "core/ui/main_window.h"
#include "support/harness.h"

#include <QRegularExpression>
#include <QTest>

using namespace kvx;
using kvx::test::Harness;

namespace {

// Does, in order: "name=text" (typed, or slid to for the slider), "name#n"
// (focused, then item n picked) and "name" (clicked), separated by ';'.
void act(FrmKvx& w, const QString& actions) {
    for (const QString& action : actions.split(u';', Qt::SkipEmptyParts)) {
        const qsizetype at = action.indexOf(QRegularExpression(QStringLiteral("[=#]")));
        Control& c = *w.control(action.left(at));
        if (at < 0) {
            c.userClick();
        } else if (action[at] == u'#') {
            c.userFocus();
            c.userPick(action.mid(at + 1).toInt());
        } else if (c.kind() == ControlKind::HScrollBar) {
            c.userSetValue(action.mid(at + 1).toInt());
        } else {
            c.userSetText(action.mid(at + 1));
        }
    }
}

// The window as after its load with a 20 x 10 m room typed in: 90/60 degrees,
// 90 dB, 6 W at 1/1 P and 100 V, 6 dB; no run has been made, nothing to save.
void enter(Harness& h) {
    h.w->FillSpeakerTapList();
    h.w->FillAmpTapList();
    h.w->FillLayoutLists();
    act(*h.w, "DiffSet=60;lstLspTap=1/1 P;lstAmpTap=100 V;txtRoomLength=20;txtRoomWidth=10;"
              "txtRoomHeight=4;txtEarHeight=1.5;txtAngle1=90;txtAngle4=60;txtSensitivity=90;"
              "txtMaxPower=6");
    h.kvx.Modified = false;
    h.platform.clear();
}

// Runs made (each ends on the slider), level set, unsaved changes; distance,
// 1 kHz difference, speakers, direct level, power; "title (style): text" shown.
QString outcome(const Harness& h) {
    const FrmKvx& w = *h.w;
    QStringList list{w.lblDistance.text(), w.lblLevelDif1.text(), w.lblNrofSpeakers.text(),
                     w.lblLevel.text(), w.lblPower.text()};
    for (const auto& m : h.platform.messages)
        list << QStringLiteral("%1 (%2): %3").arg(m.title).arg(m.style).arg(m.text);
    return QStringLiteral("runs %1, %2 dB%3: %4")
        .arg(h.platform.focusMoves.count(QStringLiteral("DiffSet")))
        .arg(w.txtLevelDif4.text(), h.kvx.Modified ? QStringLiteral(", modified") : QString(),
             list.join(u'|'));
}

} // namespace

class TestCalculation : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void run_data() {
        QTest::addColumn<QString>("actions"); // on the 20 x 10 m room
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("dutch"); // numbers shown in a Dutch locale

        const QString inputError = QStringLiteral("|Input Error (48): ");
        const QString calcError = QStringLiteral("|Calculation Error (48): ");
        const QString digits306 = QStringLiteral("1") + QString(306, u'0');
        const auto row = [](const char* name, const QString& actions, const QString& expected,
                            bool dutch = false) {
            QTest::newRow(name) << actions << expected << dutch;
        };
        row("20 x 10 m, 90/60 degrees, 6 dB", "cmdCalc", "runs 1, 6 dB: 3.6|2.9|18|92|6");
        row("comma notation, same results",
            "txtRoomHeight=4,0;txtEarHeight=1,5;txtMaxPower=6,0;cmdCalc",
            "runs 1, 6 dB, modified: 3.6|2.9|18|92|6");
        row("20 x 10 m, 120/80 degrees, 3 dB",
            "txtRoomHeight=3;txtEarHeight=1.2;txtAngle1=120;txtAngle4=80;txtSensitivity=88;"
            "txtMaxPower=10;DiffSet=30",
            "runs 1, 3 dB, modified: 2.4|1.5|32|96|10");
        // Just below a right angle in radians: a huge start value, yet a real spacing.
        row("4 kHz angle 180 degrees", "txtAngle4=180;cmdCalc",
            "runs 1, 6 dB, modified: 8.1|8.5|2|90|6");
        row("0.1 dB cannot be reached", "DiffSet=1",
            "runs 1, 0.1 dB: 0.0|1.3|0|107|6" + calcError +
                "Maximum number of iterations (100) exceeded\nResults are unreliable");

        // A changed pick runs twice, an unchanged one once; a pick never clears Modified.
        row("1/2 P and 70 V picked", "cmdCalc;lstLspTap#1;lstAmpTap#1",
            "runs 5, 6 dB, modified: 3.6|2.9|18|86|1.47");
        row("the same in a Dutch locale", "cmdCalc;lstLspTap#1;lstAmpTap#1;DiffSet=65",
            "runs 6, 6,5 dB, modified: 3,8|3,2|15|86|1,47", true);
        row("same taps picked", "cmdCalc;lstLspTap#0;lstAmpTap#0", "runs 3, 6 dB: 3.6|2.9|18|92|6");
        row("same taps picked after an edit", "cmdCalc;txtRoomWidth=10,0;lstLspTap#0;lstAmpTap#0",
            "runs 3, 6 dB, modified: 3.6|2.9|18|92|6");
        // The pattern and the fit are the project's: a pick recalculates once and
        // marks the project modified when it changes them. Reference figures from
        // tests/reference/square_reference.py and tests/data/check_goldens.py,
        // which sum the offset lattice and lay it out.
        row("offset rows picked", "lstPattern#1", "runs 1, 6 dB, modified: 4.1|2.8|14|92|6");
        row("the same pattern picked", "cmdCalc;lstPattern#0", "runs 2, 6 dB: 3.6|2.9|18|92|6");
        row("7 dB, spacing kept", "DiffSet=70;lstFit#1", "runs 2, 7 dB, modified: 4.1|3.6|15|92|6");
        row("7 dB, offset rows", "DiffSet=70;lstPattern#1",
            "runs 2, 7 dB, modified: 4.7|3.6|7|91|6");
        row("7 dB, offset rows, spacing kept", "DiffSet=70;lstPattern#1;lstFit#1",
            "runs 3, 7 dB, modified: 4.7|3.6|14|91|6");

        // The direct level uses the power the run shows, whatever was shown before;
        // a typed tap is project data, so it marks the project modified.
        row("taps typed, no pick", "lstLspTap=1/2 P;lstAmpTap= 70 V;cmdCalc",
            "runs 1, 6 dB, modified: 3.6|2.9|18|86|1.47");
        // Any divisor from 1 to 9 typed is taken, not only the listed ones.
        row("1/8 P typed", "lstLspTap=1/8 P;cmdCalc", "runs 1, 6 dB, modified: 3.6|2.9|18|83|0.75");
        row("1/9 P typed", "lstLspTap=1/9 P;cmdCalc",
            "runs 1, 6 dB, modified: 3.6|2.9|18|82|0.666666666666667");

        // The slider sets the level and runs once a 1 kHz angle reads above 0.
        row("slider at 0, refused", "DiffSet=0",
            "runs 1, 0 dB: ||||6" + inputError + "Difference Level should be positive !");
        row("slider back at 60", "DiffSet=65;DiffSet=60", "runs 2, 6 dB: 3.6|2.9|18|92|6");
        row("slider at 70", "DiffSet=70", "runs 1, 7 dB: 4.1|3.6|10|92|6");
        row("slider at 120", "DiffSet=120", "runs 1, 12 dB: 7.8|8.3|3|90|6");
        row("slider without a 1 kHz angle", "txtAngle1=;DiffSet=70", "runs 0, 7 dB: ||||6");
        row("1 kHz angle 0,5 ends at the comma", "txtAngle1=0,5;DiffSet=70",
            "runs 0, 7 dB, modified: ||||6");

        // A run, then a change the second run refuses: impossible results are
        // never shown, and no result beside the refused value; the power stays.
        const auto refused = [&row](const char* name, const QString& change, const QString& error) {
            row(name, "cmdCalc;" + change + ";cmdCalc", "runs 2, 6 dB, modified: ||||6" + error);
        };
        const QString tap = inputError + "Speaker Tap should be 1/n P with n from 1 to 9 !";
        const QString voltage = inputError + "Amplifier Tap should begin with a voltage above 0 !";
        refused("room width 0", "txtRoomWidth=0", inputError + "Room Width should be positive !");
        refused("speaker tap 1/0 P", "lstLspTap=1/0 P", tap);
        refused("empty speaker tap", "lstLspTap=", tap);
        refused("a line of 0 V", "lstAmpTap=  0 V", voltage);
        refused("digit and letter as voltage", "lstAmpTap=7x V", voltage);
        refused(
            "4 kHz angle 270 degrees: negative spacing", "txtAngle4=270",
            calcError +
                "The calculated distance is not positive !\nPlease check the 4 kHz Opening Angle");
        refused("speaker count beyond 32 bits", "txtRoomLength=1000000000000",
                calcError +
                    "Number of loudspeakers out of range (room 1e+12 m x 10 m, spacing 3.60844 m)");
        refused("speaker power beyond a double", "txtMaxPower=" + digits306,
                inputError + "Speaker Power is too large !");
        refused("4 kHz angle in radians beyond a double", "txtAngle4=" + digits306 + "00",
                calcError +
                    "The calculation gives no finite result !\nPlease check the input values");
        // The smallest double above zero, quartered by the tap, is no power at all.
        row("power of 0 goes on without its term",
            "lstLspTap=1/4 P;txtMaxPower=0." + QString(323, u'0') + "5;cmdCalc",
            "runs 1, 6 dB, modified: 3.6|2.9|18|84|0|General Error (0): Invalid procedure call or "
            "argument");
    }
    void run() {
        QFETCH(QString, actions);
        QFETCH(QString, expected);
        QFETCH(bool, dutch);

        Harness h(dutch ? QLocale(QLocale::Dutch, QLocale::Netherlands) : QLocale::c());
        enter(h);
        act(*h.w, actions);
        QCOMPARE(outcome(h), expected);
        // After a run, refused or not, Calculate is off and the reports are on.
        const bool ran = !expected.startsWith(u"runs 0");
        QVERIFY(h.w->cmdCalc.isEnabled() != ran && h.w->mnuReport.isEnabled() == ran &&
                h.w->mnuPrintFile.isEnabled() == ran);
        // Only a run that wrote its results leaves them for the reports.
        QCOMPARE(h.w->lastCalculation().has_value(),
                 !h.w->lblDistance.text().isEmpty() && !expected.contains(u"Input Error"));
    }
    void observers_data() {
        QTest::addColumn<QString>("actions"); // on the 20 x 10 m room; "clear" calls ClearResults
        QTest::addColumn<int>("calls");       // of an observer that stays
        QTest::addColumn<int>("design");      // 0 none, 1 kept but unusable, 2 usable
        QTest::newRow("one run") << "cmdCalc" << 1 << 2;
        QTest::newRow("two runs, one call each") << "cmdCalc;cmdCalc" << 2 << 2;
        QTest::newRow("the slider runs once") << "DiffSet=70" << 1 << 2;
        QTest::newRow("a refused run after a run drops it")
            << "cmdCalc;txtAngle4=0;cmdCalc" << 2 << 0;
        QTest::newRow("a refused first run says nothing") << "txtAngle4=0;cmdCalc" << 0 << 0;
        QTest::newRow("a failed run after a run drops it")
            << "cmdCalc;txtAngle4=270;cmdCalc" << 2 << 0;
        QTest::newRow("ClearResults drops it") << "cmdCalc;clear" << 2 << 0;
        QTest::newRow("ClearResults with nothing to drop") << "clear" << 0 << 0;
        QTest::newRow("a search that does not settle") << "DiffSet=1" << 1 << 1;
    }
    void observers() {
        QFETCH(QString, actions);
        QFETCH(int, design);
        Harness h(QLocale::c());
        enter(h);
        int staying = 0;
        int leaving = 0;
        h.w->observeDesign([&staying] { ++staying; });
        const int id = h.w->observeDesign([&leaving] { ++leaving; });
        h.w->unobserveDesign(id);
        for (const QString& action : actions.split(u';')) {
            if (action == u"clear")
                h.w->ClearResults();
            else
                act(*h.w, action);
        }
        QTEST(staying, "calls");
        QCOMPARE(leaving, 0);
        QCOMPARE(int(h.w->lastCalculation().has_value()) + int(h.w->design() != nullptr), design);
    }
};

QTEST_GUILESS_MAIN(TestCalculation)
#include "test_calculation.moc"
