// The System page as a model, driven as a user drives it: the settings typed
// and picked (through the main window's numeric filter, into the project),
// the figures following the calculation, and the advice taken by picking the
// taps in the main window.
#include "core/plan/plan_settings.h"
#include "core/project/project_settings.h"
#include "core/system/listener_level.h"
#include "core/ui/main_window.h"
#include "core/ui/system_panel.h"
#include "support/compare.h"
#include "support/files.h"
#include "support/system_case.h"

#include <QRegularExpression>
#include <QTest>

using namespace kvx;
using namespace kvx::test;

namespace {

// "name=text" types into a field, "name#n" picks item n, "name" clicks.
void act(SystemPanel& p, const QString& actions) {
    const QList<Control*> controls = {&p.txtAmbient,     &p.txtAbove,        &p.txtAmplifier,
                                      &p.txtCableLength, &p.lstCrossSection, &p.lstLoad,
                                      &p.txtDropLimit,   &p.txtMargin,       &p.cmdTakeAdvice};
    for (const QString& action : actions.split(u';', Qt::SkipEmptyParts)) {
        const qsizetype at = action.indexOf(QRegularExpression(QStringLiteral("[=#]")));
        const QString name = action.left(at);
        Control* c = *std::find_if(controls.begin(), controls.end(),
                                   [&](const Control* x) { return x->name() == name; });
        c->userFocus();
        if (at < 0)
            c->userClick();
        else if (action[at] == u'#')
            c->userPick(action.mid(at + 1).toInt());
        else
            c->userSetText(action.mid(at + 1));
    }
}

} // namespace

class TestSystemPanel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void edits_data() {
        QTest::addColumn<QString>("actions");
        QTest::addColumn<QString>("settings"); // as the project file holds them
        QTest::addColumn<QString>("messages");
        const auto row = [](const char* name, const char* actions, const char* settings,
                            const char* messages = "") {
            QTest::newRow(name) << QString(actions) << QString(settings) << QString(messages);
        };
        row("nothing typed", "", "|15|||1.5|end|0.5");
        row("ambient", "txtAmbient=55", "55|15|||1.5|end|0.5");
        row("a comma", "txtAmbient=55,5", "55.5|15|||1.5|end|0.5");
        row("ambient typed and cleared", "txtAmbient=55;txtAmbient=", "|15|||1.5|end|0.5");
        row("a letter is refused by the filter", "txtAmplifier=120;txtAmplifier=12x",
            "|15|120||1.5|end|0.5",
            " (0): Invalid Character. Use: \n +/-, 0...9, one decimal separator (dot or comma).");
        row("a lone sign changes nothing yet", "txtCableLength=50;txtCableLength=-",
            "|15||50|1.5|end|0.5");
        row("above cleared is the default again", "txtAbove=10;txtAbove=", "|15|||1.5|end|0.5");
        row("cross-section typed", "lstCrossSection=14 awg", "|15|||14AWG|end|0.5");
        row("cross-section picked", "lstCrossSection#0", "|15|||0.75|end|0.5");
        row("an unlisted cross-section is kept as typed", "lstCrossSection=3", "|15|||3|end|0.5");
        row("load spread", "lstLoad#1", "|15|||1.5|spread|0.5");
        row("every setting",
            "txtAmbient=60;txtAbove=12;txtAmplifier=150;txtCableLength=80;lstCrossSection#3;"
            "lstLoad#1;txtDropLimit=1",
            "60|12|150|80|2.5|spread|1");
    }
    void edits() {
        QFETCH(QString, actions);
        Harness h;
        calculateSystemCase(h);
        SystemPanel panel(*h.w, oneDecibelDown);
        act(panel, actions);
        QTEST(systemSettingsFields(h.w->systemSettings()).join(u'|'), "settings");
        QTEST(messageLog(h.platform).join(u'\n'), "messages");
        // Typing back what was there (the cleared ambient) still counts as a change.
        QCOMPARE(h.kvx.Modified, !actions.isEmpty());
    }

    // The figures follow the settings and the calculation.
    void figuresFollow() {
        Harness h;
        SystemPanel panel(*h.w, oneDecibelDown);
        QCOMPARE(panel.notes(), QStringList{"Calculate first"});
        calculateSystemCase(h);
        QVERIFY(panel.figures());
        QCOMPARE(panel.figures()->total, 108.0);
        QVERIFY(!panel.figures()->level && !panel.cmdTakeAdvice.isEnabled());
        act(panel, "txtAmbient=55;txtAmplifier=120");
        QVERIFY(panel.figures()->level && panel.figures()->level->met);
        QCOMPARE(int(panel.figures()->amplifierState.value()), int(AmplifierState::Tight));
        QVERIFY(panel.cmdTakeAdvice.isEnabled());
        // A bad setting is named; the rest stays.
        act(panel, "txtAmplifier=0");
        QVERIFY(!panel.figures()->amplifierState && panel.figures()->level);
        QVERIFY(panel.notes().first().startsWith("Amplifier rating: \"0\" must be above zero"));
        // Open or New put their settings into the fields.
        SystemSettings s;
        s.cableLength = 25;
        h.w->setSystemSettings(s);
        QCOMPARE(panel.txtAmbient.text(), QString());
        QCOMPARE(panel.txtCableLength.text(), QStringLiteral("25"));
        QVERIFY(panel.figures()->cable);
    }

    // The level check and the advice look at the project's listener area: the
    // margin typed here is the one the Coverage page shows and the file keeps,
    // and the note says which area it is.
    void marginOfTheListenerArea_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("margin"); // the project's afterwards
        QTest::newRow("none: the whole room") << "" << 0.0;
        QTest::newRow("one metre") << "txtMargin=1" << 1.0;
        QTest::newRow("a comma") << "txtMargin=2,5" << 2.5;
        QTest::newRow("a lone sign changes nothing yet") << "txtMargin=1;txtMargin=-" << 1.0;
        QTest::newRow("cleared is the whole room") << "txtMargin=1;txtMargin=" << 0.0;
    }
    void marginOfTheListenerArea() {
        QFETCH(QString, typed);
        QFETCH(double, margin);
        Harness h;
        calculateSystemCase(h);
        SystemPanel panel(*h.w); // the quietest point on a map of the project's margin
        act(panel, "txtAmbient=60;" + typed);
        QCOMPARE(h.w->planSettings().margin, margin);
        QVERIFY(h.kvx.Modified);
        const Design& design = *h.w->design();
        KVX_COMPARE_NEAR(panel.figures()->level->quietest,
                         levelOffset1k(design) + *quietestRelative1k(design, margin), 1e-9);
        QCOMPARE(panel.notes().last(),
                 QStringLiteral("The quietest listener is the quietest point at 1 kHz of the "
                                "listener area, %1 m from the walls, less the cable drop.")
                     .arg(QLocale::c().toString(margin)));
        // The project's margin changed elsewhere (Open, the Coverage page) shows here.
        PlanSettings plan;
        plan.margin = 3;
        h.w->setPlanSettings(plan);
        QCOMPARE(panel.txtMargin.text(), "3");
        KVX_COMPARE_NEAR(panel.figures()->level->quietest,
                         levelOffset1k(design) + *quietestRelative1k(design, 3), 1e-9);
    }

    // Taking the advice picks the taps as a user does: modified, recalculated.
    void takeAdvice_data() {
        QTest::addColumn<QString>("ambient");
        QTest::addColumn<QString>("taps");
        QTest::addColumn<double>("power");
        QTest::addColumn<double>("shortBy"); // with full power
        // Quietest 88.82 dB at 6 W: 70 dB is met by the least, 0.375 W.
        QTest::newRow("70 dB") << "55"
                               << "1/4 P| 50 V" << 0.375 << 0.0;
        QTest::newRow("81.8 dB: 1.47 W on 70 V") << "66,8"
                                                 << "1/2 P| 70 V" << 1.47 << 0.0;
        QTest::newRow("88 dB: nothing less than full power") << "73"
                                                             << "1/1 P|100 V" << 6.0 << 0.0;
        QTest::newRow("95 dB: nothing is enough, nothing to take")
            << "80"
            << "1/1 P|100 V" << 6.0 << 95 - 88.8227;
    }
    void takeAdvice() {
        QFETCH(QString, ambient);
        QFETCH(QString, taps);
        QFETCH(double, power);
        QFETCH(double, shortBy);
        Harness h;
        calculateSystemCase(h);
        SystemPanel panel(*h.w, oneDecibelDown);
        act(panel, "txtAmbient=" + ambient);
        const TapAdvice& advice = panel.figures()->advice.value();
        QCOMPARE(bool(advice.taps), shortBy == 0);
        KVX_COMPARE_NEAR(advice.shortBy, shortBy, 1e-4);
        if (shortBy > 0)
            QVERIFY(!panel.cmdTakeAdvice.isEnabled());
        h.kvx.Modified = false;
        act(panel, "cmdTakeAdvice");
        QCOMPARE(h.w->lstLspTap.text() + u'|' + h.w->lstAmpTap.text(), taps);
        QVERIFY(h.w->design());
        QCOMPARE(h.w->design()->speakerPower, power);
        QCOMPARE(h.kvx.Modified, power != 6.0);
        QVERIFY(h.platform.messages.isEmpty());
        if (shortBy > 0)
            return;
        // The advice on the new taps is the same taps: nothing left to take.
        QCOMPARE(panel.figures()->advice->taps->speakerTap(), taps.section(u'|', 0, 0));
        QVERIFY(panel.figures()->level->met);
    }
};

QTEST_GUILESS_MAIN(TestSystemPanel)
#include "test_system_panel.moc"
