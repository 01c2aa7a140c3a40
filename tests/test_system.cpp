// System sizing: each figure on a case worked by hand, the states at their
// borders, the tap advice (ties, a cable that changes it, a room where nothing
// is enough), settings that cannot be used, and the [System] record read from a project file.
//
// The hand-worked case: 18 loudspeakers at 6 W (rated 6 W, 1/1 P, 100 V),
// sensitivity 90 dB, h = 2.5 m, quietest point 1 dB below one loudspeaker
// overhead. Level offset 90 + 10 log10 6 - 20 log10 2.5 = 89.8227 dB, so the
// quietest point is at 88.8227 dB; load 108 W, Z = 10000 / 108 = 92.5926 ohm.
// The figures are worked again in tests/reference/system_reference.py.
#include "core/project/project_settings.h"
#include "core/system/system.h"
#include "core/system/system_texts.h"
#include "support/compare.h"
#include "support/files.h"
#include "support/plan.h"

#include <QTest>

using namespace kvx;
using namespace kvx::test;

Q_DECLARE_METATYPE(std::optional<double>)
Q_DECLARE_METATYPE(kvx::SystemSettings)

// The value of a data column without declaring a variable for it.
#define FETCHED(type, name) (*static_cast<type*>(QTest::qData(#name, ::qMetaTypeId<type>())))

namespace {

constexpr double kQuietestRelative = -1.0;

// 20 x 10 m at a spacing of 3.6 m: 6 x 3 loudspeakers.
Design handDesign() {
    return handMade(20, 10, 3.6, 2.5, 90, 60);
}

SystemSettings withAmbient(double ambient, double above = 15) {
    SystemSettings s;
    s.ambient = ambient;
    s.above = above;
    return s;
}

SystemSettings withCable(double length, const QString& section, bool spread = false) {
    SystemSettings s;
    s.cableLength = length;
    s.crossSection = section;
    s.load = spread ? CableLoad::Spread : CableLoad::FarEnd;
    return s;
}

QString adviceText(const SystemFigures& f) {
    if (!f.advice)
        return QStringLiteral("none");
    if (!f.advice->taps)
        return QStringLiteral("short by %1").arg(f.advice->shortBy, 0, 'f', 3);
    return f.advice->taps->speakerTap() + QStringLiteral(" on ") + f.advice->taps->amplifierTap();
}

} // namespace

class TestSystem : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void loadAndLine_data() {
        QTest::addColumn<double>("volts");
        QTest::addColumn<double>("power");
        QTest::addColumn<double>("total");
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("impedance");
        QTest::addColumn<double>("current");
        // 18 x 6 = 108 W; 1.2 x 108; 100^2 / 108; 108 / 100.
        QTest::newRow("6 W on 100 V") << 100.0 << 6.0 << 108.0 << 129.6 << 92.5926 << 1.08;
        // 18 x 2.94 = 52.92 W; 70^2 / 52.92 = 92.5926; 52.92 / 70 = 0.756.
        QTest::newRow("2.94 W on 70 V") << 70.0 << 2.94 << 52.92 << 63.504 << 92.5926 << 0.756;
        // 18 x 0.375 = 6.75 W; 2500 / 6.75 = 370.37; 6.75 / 50 = 0.135.
        QTest::newRow("0.375 W on 50 V") << 50.0 << 0.375 << 6.75 << 8.1 << 370.370 << 0.135;
    }
    void loadAndLine() {
        QFETCH(double, volts);
        QFETCH(double, power);
        Design d = handDesign();
        d.lineVoltage = volts;
        d.speakerPower = power;
        const SystemFigures f = systemFiguresFor(d, {}, std::nullopt);
        KVX_COMPARE_NEAR(f.total, FETCHED(double, total), 1e-9);
        KVX_COMPARE_NEAR(f.minimumAmplifier, FETCHED(double, minimum), 1e-9);
        KVX_COMPARE_NEAR(f.impedance, FETCHED(double, impedance), 1e-3);
        KVX_COMPARE_NEAR(f.current, FETCHED(double, current), 1e-9);
        QVERIFY(!f.rating && !f.cable && !f.level && !f.advice && f.issues.empty());
    }

    // A line without a load (a zone whose rooms are all refused) has no
    // impedance to work a cable from: no figures beyond the load.
    void lineWithoutLoad() {
        SystemSettings s = withCable(50, "1.5");
        s.amplifier = 120;
        const SystemFigures f = lineFiguresFor(0, 100, s);
        QCOMPARE(f.total, 0.0);
        QCOMPARE(f.impedance, 0.0);
        QVERIFY(!f.cable && !f.amplifierState);
    }

    // 108 W on amplifiers rated so that the load is 79, 80, 100 and 101 %.
    void amplifierStates_data() {
        QTest::addColumn<double>("rating");
        QTest::addColumn<double>("load");
        QTest::addColumn<int>("state");
        QTest::newRow("79 % is fine") << 136.8 << 0.78947 << int(AmplifierState::Fine);
        QTest::newRow("80 % is tight") << 135.0 << 0.8 << int(AmplifierState::Tight);
        QTest::newRow("100 % is tight") << 108.0 << 1.0 << int(AmplifierState::Tight);
        QTest::newRow("101 % is overloaded") << 106.9 << 1.01029 << int(AmplifierState::Overloaded);
    }
    void amplifierStates() {
        QFETCH(double, rating);
        SystemSettings s;
        s.amplifier = rating;
        const SystemFigures f = systemFiguresFor(handDesign(), s, std::nullopt);
        QVERIFY(f.amplifierLoad && f.amplifierState);
        KVX_COMPARE_NEAR(*f.amplifierLoad, FETCHED(double, load), 1e-5);
        QCOMPARE(int(*f.amplifierState), FETCHED(int, state));
    }

    // Z = 92.5926 ohm throughout. Loop resistance 2 l / (56 A); the far-end run
    // acts as all of it, the spread one as half.
    void cable_data() {
        QTest::addColumn<SystemSettings>("settings");
        QTest::addColumn<double>("loop");
        QTest::addColumn<double>("drop");
        QTest::addColumn<double>("lost");
        QTest::addColumn<double>("longest");
        QTest::addColumn<QString>("smallest");
        QTest::addColumn<int>("state");
        // 100 / 84 = 1.190476; 20 log10(93.7831 / 92.5926) = 0.1110;
        // 10000 x 1.190476 / 93.7831^2 = 1.35354; allowed R = Z (10^0.025 - 1) = 5.48636,
        // run 5.48636 x 56 x 1.5 / 2 = 230.43 m; 0.75 mm2 gives 0.2211 dB.
        QTest::newRow("50 m of 1.5 mm2, far end")
            << withCable(50, "1.5") << 1.190476 << 0.11096 << 1.35354 << 230.431 << "0.75"
            << int(DropState::Green);
        // Half the resistance: 20 log10(93.1878 / 92.5926) = 0.05566; double the run.
        QTest::newRow("50 m of 1.5 mm2, spread")
            << withCable(50, "1.5", true) << 1.190476 << 0.05566 << 0.68544 << 460.862 << "0.75"
            << int(DropState::Green);
        // 14 AWG is 2.08 mm2: 100 / 116.48 = 0.858516; 18 AWG (0.823) gives 0.2012 dB.
        QTest::newRow("50 m of 14 AWG") << withCable(50, "14AWG") << 0.858516 << 0.08016 << 0.98306
                                        << 319.531 << "18AWG" << int(DropState::Green);
        // 400 / 84 = 4.7619: 20 log10(97.3545 / 92.5926) = 0.4356 dB, within 0.5.
        QTest::newRow("200 m of 1.5 mm2 is amber")
            << withCable(200, "1.5") << 4.761905 << 0.43560 << 5.02422 << 230.431 << "1.5"
            << int(DropState::Amber);
        // 1000 / 84 = 11.9048: 1.0506 dB; 4 mm2 gives 0.4095 dB.
        QTest::newRow("500 m of 1.5 mm2 is red")
            << withCable(500, "1.5") << 11.904762 << 1.05058 << 10.9021 << 230.431 << "4"
            << int(DropState::Red);
        // 500 m needs 3.255 mm2 at most 0.5 dB: 12 AWG (3.31 mm2).
        QTest::newRow("500 m of 18 AWG, 12 AWG would do")
            << withCable(500, "18AWG") << 21.697622 << 1.82866 << 16.61093 << 126.430 << "12AWG"
            << int(DropState::Red);
        // 2000 m needs 13 mm2: nothing listed.
        QTest::newRow("2000 m of 6 mm2, nothing would do")
            << withCable(2000, "6") << 11.904762 << 1.05058 << 10.9021 << 921.725 << ""
            << int(DropState::Red);
    }
    void cable() {
        QFETCH(SystemSettings, settings);
        const SystemFigures f = systemFiguresFor(handDesign(), settings, std::nullopt);
        QVERIFY(f.cable);
        const CableFigures& c = *f.cable;
        KVX_COMPARE_NEAR(c.loopResistance, FETCHED(double, loop), 1e-5);
        KVX_COMPARE_NEAR(c.drop, FETCHED(double, drop), 1e-4);
        KVX_COMPARE_NEAR(c.lost, FETCHED(double, lost), 1e-3);
        QVERIFY(c.longestRun);
        KVX_COMPARE_NEAR(*c.longestRun, FETCHED(double, longest), 1e-2);
        QTEST(c.smallestForRun ? c.smallestForRun->name : QString(), "smallest");
        QCOMPARE(int(c.state.value()), FETCHED(int, state));
    }

    void dropStates_data() {
        QTest::addColumn<double>("drop");
        QTest::addColumn<double>("limit");
        QTest::addColumn<int>("state");
        QTest::newRow("just under 0.4") << 0.399 << 0.5 << int(DropState::Green);
        QTest::newRow("0.4 is amber") << 0.4 << 0.5 << int(DropState::Amber);
        QTest::newRow("at the limit is amber") << 0.5 << 0.5 << int(DropState::Amber);
        QTest::newRow("beyond the limit is red") << 0.501 << 0.5 << int(DropState::Red);
        QTest::newRow("a limit under 0.4: beyond it is red") << 0.35 << 0.3 << int(DropState::Red);
    }
    void dropStates() {
        QCOMPARE(int(dropStateFor(FETCHED(double, drop), FETCHED(double, limit))),
                 FETCHED(int, state));
    }

    // Quietest 88.8227 dB, less the drop at the current 6 W.
    void levelCheck_data() {
        QTest::addColumn<SystemSettings>("settings");
        QTest::addColumn<double>("required");
        QTest::addColumn<double>("quietest");
        QTest::addColumn<double>("shortBy");
        QTest::newRow("55 + 15, no cable: met") << withAmbient(55) << 70.0 << 88.8227 << 0.0;
        QTest::newRow("80 + 15: short by 6.18") << withAmbient(80) << 95.0 << 88.8227 << 6.1773;
        // The ambient that puts the required level exactly on the quietest point.
        const double quietest = 90 + 10 * std::log10(6.0) - 20 * std::log10(2.5) - 1;
        QTest::newRow("exactly met, 10 above")
            << withAmbient(quietest - 10, 10) << quietest << quietest << 0.0;
        SystemSettings cable = withCable(500, "1.5");
        cable.ambient = 73;
        // The drop of 1.0506 dB counts against the level: 87.7721 < 88.
        QTest::newRow("73 + 15 with 500 m of cable: short by 0.23")
            << cable << 88.0 << 87.7721 << 0.2279;
    }
    void levelCheck() {
        QFETCH(SystemSettings, settings);
        const SystemFigures f = systemFiguresFor(handDesign(), settings, kQuietestRelative);
        QVERIFY(f.level);
        KVX_COMPARE_NEAR(f.level->required, FETCHED(double, required), 1e-9);
        KVX_COMPARE_NEAR(f.level->quietest, FETCHED(double, quietest), 1e-4);
        KVX_COMPARE_NEAR(f.level->shortBy, FETCHED(double, shortBy), 1e-4);
        QCOMPARE(f.level->met, FETCHED(double, shortBy) == 0.0);
        if (QTest::currentDataTag() == QLatin1String("exactly met, 10 above"))
            QCOMPARE(f.level->quietest, f.level->required);
    }

    // Tap powers at rated 6 W: 6, 3, 1.5 (100 V); 2.94, 1.47, 0.735 (70 V);
    // 1.5, 0.75, 0.375 (50 V). The quietest point at P is 88.8227 + 10 log10(P / 6).
    void advice_data() {
        QTest::addColumn<SystemSettings>("settings");
        QTest::addColumn<QString>("advice");
        QTest::addColumn<double>("quietest"); // of the advised taps, else of the level check
        QTest::addColumn<double>("rated");
        QTest::newRow("70 dB: the least of all, 0.375 W")
            << withAmbient(55) << "1/4 P on 50 V" << 76.7815 << 6.0;
        // P >= 6 x 10^-0.38227 = 2.488 W.
        QTest::newRow("85 dB: 2.94 W on 70 V")
            << withAmbient(70) << "1/1 P on 70 V" << 85.7247 << 6.0;
        // P >= 1.191 W: 1.47 W beats the two 1.5 W.
        QTest::newRow("81.8 dB: 1.47 W on 70 V")
            << withAmbient(66.8) << "1/2 P on 70 V" << 82.7144 << 6.0;
        // P >= 1.4822 W: 1.5 W twice, the higher line voltage wins.
        QTest::newRow("82.75 dB: a tie at 1.5 W goes to 100 V")
            << withAmbient(67.75) << "1/4 P on 100 V" << 82.8021 << 6.0;
        // 500 m of 0.75 mm2 (23.81 ohm): 1.47 W (Z 185.19) loses 1.0506 dB and
        // falls to 81.664; 1.5 W on 100 V (Z 370.37) loses 0.5412 dB, 82.261.
        SystemSettings cable = withCable(500, "0.75");
        cable.ambient = 66.8;
        QTest::newRow("81.8 dB with a long thin cable: 1.5 W on 100 V")
            << cable << "1/4 P on 100 V" << 82.2609 << 6.0;
        QTest::newRow("95 dB: even full power is short")
            << withAmbient(80) << "short by 6.177" << 88.8227 << 6.0;
        // A design given straight to the sizing without a rated power: the
        // level check stands, no tap has a power to advise.
        QTest::newRow("rated power 0: no advice") << withAmbient(55) << "none" << 88.8227 << 0.0;
    }
    void advice() {
        QFETCH(SystemSettings, settings);
        Design design = handDesign();
        design.ratedPower = FETCHED(double, rated);
        const SystemFigures f = systemFiguresFor(design, settings, kQuietestRelative);
        QCOMPARE(adviceText(f), FETCHED(QString, advice));
        QVERIFY(f.level);
        KVX_COMPARE_NEAR(f.advice ? f.advice->quietest : f.level->quietest,
                         FETCHED(double, quietest), 1e-4);
    }

    // A setting that cannot be used names itself; only the figures that need
    // it are left out.
    void badSettings_data() {
        QTest::addColumn<SystemSettings>("settings");
        QTest::addColumn<int>("setting");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("present"); // a amplifier, c cable, r longest run, l level
        SystemSettings base = withCable(50, "1.5");
        base.ambient = 55;
        base.amplifier = 200;
        // base with one member set to a value that cannot be used.
        const auto row = [&base](const char* name, auto member, auto value, SystemSetting setting,
                                 SystemIssue::Kind kind, const char* present) {
            SystemSettings s = base;
            s.*member = value;
            QTest::newRow(name) << s << int(setting) << int(kind) << present;
        };
        using S = SystemSettings;
        using Kind = SystemIssue::Kind;
        QTest::newRow("all good") << base << -1 << -1 << "acrl";
        row("amplifier 0", &S::amplifier, 0.0, SystemSetting::Amplifier, Kind::NotPositive, "crl");
        row("cable length 0", &S::cableLength, 0.0, SystemSetting::CableLength, Kind::NotPositive,
            "a");
        row("cross-section 0", &S::crossSection, "0", SystemSetting::CrossSection,
            Kind::NotPositive, "a");
        row("cross-section 2 is not listed", &S::crossSection, "2", SystemSetting::CrossSection,
            Kind::UnknownCrossSection, "a");
        row("ambient 141", &S::ambient, 141.0, SystemSetting::Ambient, Kind::AmbientOutOfRange,
            "acr");
        row("ambient -1", &S::ambient, -1.0, SystemSetting::Ambient, Kind::AmbientOutOfRange,
            "acr");
        for (const double border : {0.0, kMaxAmbient}) {
            SystemSettings s = base;
            s.ambient = border;
            QTest::addRow("ambient %g is taken", border) << s << -1 << -1 << "acrl";
        }
        row("drop limit 0", &S::dropLimit, 0.0, SystemSetting::DropLimit, Kind::NotPositive, "acl");
    }
    void badSettings() {
        QFETCH(SystemSettings, settings);
        QFETCH(int, setting);
        const SystemFigures f = systemFiguresFor(handDesign(), settings, kQuietestRelative);
        QString present;
        if (f.amplifierState)
            present += u'a';
        if (f.cable)
            present += u'c';
        if (f.cable && f.cable->longestRun)
            present += u'r';
        if (f.level && f.advice)
            present += u'l';
        QCOMPARE(present, FETCHED(QString, present));
        if (setting < 0) {
            QVERIFY(f.issues.empty());
            return;
        }
        QCOMPARE(f.issues.size(), size_t(1));
        QCOMPARE(int(f.issues[0].setting), setting);
        QCOMPARE(int(f.issues[0].kind), FETCHED(int, kind));
        // The load and the line never depend on a setting.
        KVX_COMPARE_NEAR(f.minimumAmplifier, 129.6, 1e-9);
    }

    void crossSectionNames_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("name"); // empty: not listed (0.823 is no metric size)
        const std::pair<const char*, const char*> cases[] = {
            {"1.5", "1.5"},     {"1,5", "1.5"},     {"2.5 mm2", "2.5"},   {"4mm²", "4"},
            {"1.0", "1"},       {"14AWG", "14AWG"}, {" 14 awg", "14AWG"}, {"0.823", ""},
            {"AWG", ""},        {"", ""},           {"18AWG", "18AWG"},   {"16AWG", "16AWG"},
            {"12AWG", "12AWG"}, {"10AWG", "10AWG"}};
        for (const auto& [text, name] : cases)
            QTest::newRow(text[0] ? text : "empty") << QString::fromUtf8(text) << name;
    }
    void crossSectionNames() {
        const auto found = findCrossSection(FETCHED(QString, text));
        const QString name = FETCHED(QString, name);
        QCOMPARE(found ? found->name : QString(), name);
        if (!found)
            return;
        // A gauge n has a diameter of 0.127 mm x 92^((36 - n) / 39); the
        // list rounds the area to 0.01 mm2 (0.823 for 18 AWG).
        double area = name.toDouble();
        if (found->awg) {
            const double diameter = 0.127 * std::pow(92.0, (36 - name.chopped(3).toDouble()) / 39);
            area = 3.14159265358979 / 4 * diameter * diameter;
        }
        KVX_COMPARE_NEAR(found->area, area, 0.005);
    }

    // The section first, or between the others; a bad value costs that setting only.
    void projectSectionPlaces_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("messages");
        QTest::addColumn<QString>("settings"); // the fields as written back
        const QByteArray head = "[Project Description]\r\nHall\r\n";
        const QByteArray rest =
            "[Loudspeaker Data]\r\n\"Type A     \",\"90\",\"60\",\"90\",\"6\"\r\n"
            "[Room Data]\r\n\"20\",\"10\",\"3\",\"1.2\"\r\n"
            "[Power Settings]\r\n\"1/1 P\",\"100 V\",\"6\"\r\n"
            "[Calculated Data]\r\n\"\",\"\",\"\",\"6\",\"\"\r\n";
        const QByteArray system =
            "[System]\r\n\"55\",\"15\",\"120\",\"50\",\"1.5\",\"end\",\"0.5\"\r\n";
        const auto notANumber = [](const QString& value, const QString& setting) {
            return "System settings (48): The project file holds \"" + value +
                   "\" for the system setting \"" + setting +
                   "\", which is not a number; the default is kept.";
        };
        const auto row = [](const char* name, const QByteArray& file, const char* settings,
                            const QString& messages = {}) {
            QTest::newRow(name) << file << messages << QString(settings);
        };
        // The record last, with these fields.
        const auto last = [&](const char* fields) {
            return head + rest + "[System]\r\n" + fields + "\r\n";
        };
        row("first", system + head + rest, "55|15|120|50|1.5|end|0.5");
        row("between, spread", head + QByteArray(system).replace("end", "spread") + rest,
            "55|15|120|50|1.5|spread|0.5");
        row("LF line ends", QByteArray(head + rest + system).replace("\r\n", "\n"),
            "55|15|120|50|1.5|end|0.5");
        // An empty load (a record typed by hand) is the default, far end, unsaid.
        row("no load given", last(R"("55","15","","","1.5","","0.5")"), "55|15|||1.5|end|0.5");
        row("a comma as decimal separator", last(R"("55,5","15","","","1,5","end","0,5")"),
            "55.5|15|||1.5|end|0.5");
        row("ambient not a number", last(R"("loud","15","120","","1.5","end","0.5")"),
            "|15|120||1.5|end|0.5", notANumber("loud", "Ambient noise"));
        row("two bad values, the others kept", last(R"("60","x","120","50","1.5","middle","0.5")"),
            "60|15|120|50|1.5|end|0.5",
            notANumber("x", "Above ambient") + u'\n' + notANumber("middle", "Load on the run"));
    }
    void projectSectionPlaces() {
        ProjectWindow h;
        QVERIFY(writeBytes(h.path("p.kvx"), FETCHED(QByteArray, file)));
        h.w->ReadProjectFile(h.path("p.kvx"));
        QCOMPARE(messageLog(h.platform).join(u'\n'), FETCHED(QString, messages));
        QCOMPARE(h.w->txtDescription.text(), QStringLiteral("Hall"));
        QCOMPARE(h.w->txtRoomLength.text(), QStringLiteral("20"));
        QCOMPARE(systemSettingsFields(h.w->systemSettings()).join(u'|'),
                 FETCHED(QString, settings));
    }

    // New drops the settings; a change marks the project modified and is told.
    void settingsInTheProject() {
        ProjectWindow h;
        int told = 0;
        h.w->observeSystemSettings([&told] { ++told; });
        h.w->setSystemSettings(withAmbient(50));
        QCOMPARE(h.state().last(), "modified");
        QCOMPARE(told, 1);
        h.w->setSystemSettings(withAmbient(50));
        QCOMPARE(told, 1);
        h.w->ResetProject();
        QVERIFY(h.w->systemSettings().isDefault());
        QCOMPARE(told, 2);
        QCOMPARE(h.state().last(), "unmodified");
    }
};

QTEST_GUILESS_MAIN(TestSystem)
#include "test_system.moc"
