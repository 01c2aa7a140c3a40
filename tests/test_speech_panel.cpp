// The Speech page as a model: settings typed into the project (the ambient is
// the System page's), New resetting them, and the estimate on the map the page
// is given.
// The room is the system tests' (20 x 10 x 4 m, ears at 1.5 m): at 1.2 s over
// 55 dB the STI model's own evaluation (tests/test_speech.cpp) gives a mean of
// 0.5588, lowest 0.5482, highest 0.5723; Sabine's shortest time is 0.20125 s.
#include "core/plan/coverage.h"
#include "core/project/project_settings.h"
#include "core/ui/main_window.h"
#include "core/ui/speech_panel.h"
#include "support/files.h"
#include "support/system_case.h"

#include <QTest>

using namespace kvx;
using namespace kvx::test;

Q_DECLARE_METATYPE(kvx::ProjectSettings)

namespace {

// "name=text" types into a field of the page.
void type(SpeechPanel& p, const QString& actions) {
    for (const QString& action : actions.split(u';', Qt::SkipEmptyParts)) {
        for (Control* c : {&p.txtReverberation, &p.txtSpeechAmbient, &p.txtTarget}) {
            if (c->name() == action.section(u'=', 0, 0)) {
                c->userFocus();
                c->userSetText(action.section(u'=', 1));
            }
        }
    }
}

// The plan window's part: one map per design and margin, counted.
struct MapMaker {
    double margin = 0;
    int made = 0;
    std::optional<Layout> layout;
    std::optional<CoverageMap> coverage;

    SpeechMap operator()(const Design& design) {
        ++made;
        layout = layoutFor(design);
        coverage.reset();
        try {
            coverage = coverageFor(design, *layout, {0, margin});
        } catch (const CoverageError& error) {
            return {&*layout, nullptr, error.message};
        }
        return {&*layout, &*coverage, {}};
    }
};

// The rows of the page's figures as "label=value", group after group.
QStringList rows(const SpeechPanel& p) {
    QStringList shown;
    for (const FigureGroup& group : p.view().groups)
        for (const FigureRow& row : group.rows)
            shown << row.label + u'=' + row.value;
    return shown;
}

} // namespace

class TestSpeechPanel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // What is typed goes into the project's settings, the ambient into the
    // System page's; typed and cleared again is the default.
    void typedIntoTheProject_data() {
        QTest::addColumn<QString>("actions");
        QTest::addColumn<ProjectSettings>("settings");
        const auto row = [](const char* name, const char* actions,
                            void (*change)(ProjectSettings&)) {
            ProjectSettings settings;
            change(settings);
            QTest::newRow(name) << QString(actions) << settings;
        };
        row("nothing typed", "", [](ProjectSettings&) {});
        row("a reverberation time, with a comma", "txtReverberation=1,25",
            [](ProjectSettings& s) { s.speech.reverberation = 1.25; });
        row("a target only", "txtTarget=0.45", [](ProjectSettings& s) { s.speech.target = 0.45; });
        row("the ambient is the system settings'", "txtSpeechAmbient=55",
            [](ProjectSettings& s) { s.system.ambient = 55; });
        row("typed and cleared again",
            "txtReverberation=2;txtSpeechAmbient=60;txtReverberation=;txtSpeechAmbient=",
            [](ProjectSettings&) {});
    }
    void typedIntoTheProject() {
        QFETCH(QString, actions);
        ProjectWindow h;
        MapMaker maps;
        SpeechPanel panel(*h.w, std::ref(maps));
        type(panel, actions);
        QCOMPARE(h.kvx.Modified, !actions.isEmpty());
        QTEST(h.w->settings(), "settings");
    }

    // One setter tells the page; New drops the settings and the page shows it.
    void newProjectResets() {
        ProjectWindow h;
        MapMaker maps;
        SpeechPanel panel(*h.w, std::ref(maps));
        int told = 0;
        h.w->observeSettings([&told] { ++told; });
        type(panel, "txtReverberation=1.6;txtTarget=0.6");
        QCOMPARE(told, 2);
        QCOMPARE(h.state().last(), "modified");
        h.w->ResetProject();
        QCOMPARE(told, 3);
        QVERIFY(h.w->settings().isDefault());
        QCOMPARE(panel.txtReverberation.text() + u'|' + panel.txtTarget.text(), "|0.5");
        QCOMPARE(h.state().last(), "unmodified");
    }

    // What the page shows for the settings typed: the figures that can be
    // worked out, and first the reason for what is left out.
    void estimate_data() {
        QTest::addColumn<QString>("actions");
        QTest::addColumn<double>("margin");
        QTest::addColumn<QStringList>("shown"); // rows that must be there
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("note"); // the first note
        QTest::addColumn<bool>("map");
        const QString leavesOut = "An estimate from a statistical room model with one "
                                  "reverberation time for all frequencies; masking and the "
                                  "hearing threshold are left out.";
        const auto row = [](const char* name, const char* actions, double margin,
                            const QStringList& shown, int rows, const QString& note, bool map) {
            QTest::newRow(name) << actions << margin << shown << rows << note << map;
        };
        row("no reverberation time: the hint", "", 0, {}, 0,
            "Enter the room's reverberation time for the speech estimate.", false);
        row("1,2 s over 55 dB(A)", "txtReverberation=1,2;txtSpeechAmbient=55", 0,
            {"Mean absorption (Sabine)=0.168", "Room constant=129.0 m²",
             "Critical distance of one loudspeaker=4.19 m", "Mean STI=0.56", "Lowest STI=0.55",
             "Highest STI=0.57", "Share at or above the target=100 %", "STI target=0.50: met"},
            14, leavesOut, true);
        row("target 0.57: short", "txtReverberation=1.2;txtSpeechAmbient=55;txtTarget=0.57", 0,
            {"STI target=0.57: short"}, 14, leavesOut, true);
        row("0.2 s: shorter than the room allows", "txtReverberation=0.2", 0, {}, 0,
            "A reverberation time of 0.2 s is too short for this room: by Sabine's formula it "
            "needs at least 0.21 s. There are no speech figures.",
            false);
        row("0 s: only the figures without it", "txtReverberation=0", 0, {"Volume=800.0 m³"}, 5,
            "Reverberation time: \"0\" must be above zero; the absorption, the room constant, "
            "the reverberant level, the critical distance and the STI are left out.",
            false);
        row("ambient 150: no STI", "txtReverberation=1.2;txtSpeechAmbient=150", 0,
            {"Reverberant level=97.9 dB"}, 9,
            "Ambient noise: \"150\" must be from 0 to 140 dB(A); the STI is left out.", false);
        row("target 1.2: no share, no verdict", "txtReverberation=1.2;txtTarget=1,2", 0,
            {"Mean STI=0.56"}, 12,
            "STI target: \"1.2\" must be from 0 to 1; the share at the target and the verdict "
            "are left out.",
            true);
        row("a margin that leaves no listener area: the room's figures", "txtReverberation=1.2", 6,
            {"Room constant=129.0 m²"}, 9,
            "The margin leaves no listener area: make it less than half the shorter side of the "
            "room.",
            false);
    }
    void estimate() {
        QFETCH(QString, actions);
        QFETCH(double, margin);
        QFETCH(QStringList, shown);
        Harness h;
        calculateSystemCase(h);
        MapMaker maps;
        maps.margin = margin;
        SpeechPanel panel(*h.w, std::ref(maps));
        type(panel, actions);
        const QStringList all = rows(panel);
        for (const QString& row : shown)
            QVERIFY2(all.contains(row), qPrintable(all.join(u'\n')));
        QFETCH(int, rows);
        QFETCH(bool, map);
        QCOMPARE(all.size(), rows);
        QTEST(panel.view().notes.value(0), "note");
        QCOMPARE(panel.map() != nullptr, map);
        QCOMPARE(panel.view().mapProblem.isEmpty(), panel.map() != nullptr);
    }

    // A new calculation is estimated on its own map; the ambient typed on the
    // System page shows here; the value under the pointer is the map's.
    void followsTheProject() {
        Harness h;
        MapMaker maps;
        SpeechPanel panel(*h.w, std::ref(maps));
        QCOMPARE(panel.view().notes, QStringList{"Calculate first"});
        QCOMPARE(maps.made, 0);
        calculateSystemCase(h);
        type(panel, "txtReverberation=1.2");
        const int made = maps.made;
        SystemSettings system = h.w->systemSettings();
        system.ambient = 55;
        h.w->setSystemSettings(system);
        QCOMPARE(panel.txtSpeechAmbient.text(), "55");
        QVERIFY(rows(panel).contains("Mean STI=0.56"));
        QCOMPARE(panel.pointerText(QPointF(0, 0)), "STI 0.55 at x = 0.00 m, y = 0.00 m");
        for (const auto off : {std::optional<QPointF>(QPointF(-1, 0)), std::optional<QPointF>()})
            QCOMPARE(panel.pointerText(off), "Point at the map to read the STI there.");

        h.w->txtRoomLength.setText("30");
        h.w->cmdCalc_Click();
        QVERIFY(maps.made > made);
        QVERIFY(rows(panel).contains("Volume=1200.0 m³"));
        QCOMPARE(panel.map()->x.back(), 30.0);
    }
};

QTEST_GUILESS_MAIN(TestSpeechPanel)
#include "test_speech_panel.moc"
