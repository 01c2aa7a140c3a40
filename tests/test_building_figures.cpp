// A building's figures: a building worked by hand, each room against the same
// room calculated as a project in the main window, an edit against the whole
// building worked out again, and a cancelled run. The hand building's figures
// come from tests/reference/building_reference.py, written from the
// definitions alone; they agree to 1e-9.
#include "core/calc/power.h"
#include "core/plan/coverage.h"
#include "core/speech/speech.h"
#include "core/system/listener_level.h"
#include "core/system/system_texts.h"
#include "support/building.h"
#include "support/compare.h"
#include "support/files.h"

#include <QTest>

using namespace kvx;

namespace {

Room room(QString name, QString zone, int quantity, double length, double width, double height,
          double ear, RoomLoudspeaker loudspeaker, int tap) {
    Room r;
    std::tie(r.name, r.zone, r.quantity, r.length, r.width, r.height, r.ear, r.loudspeaker, r.tap) =
        std::tie(name, zone, quantity, length, width, height, ear, loudspeaker, tap);
    return r;
}

const RoomLoudspeaker kCeiling6{QStringLiteral("Ceiling 6"), 90, 60, 90, 6, {}};
const RoomLoudspeaker kWide{{}, 120, 80, 88.5, 10, {}};

// Ground floor: 100 V, 120 W, 80 m of 1.5 mm2; First floor: 70 V, 25 W,
// 50 m of 2.5 mm2 spread along the run.
Building handBuilding() {
    Building b;
    Zone ground, first;
    std::tie(ground.name, ground.amplifier, ground.cableLength) =
        std::tuple("Ground floor", 120, 80);
    std::tie(first.name, first.line, first.amplifier, first.cableLength, first.crossSection,
             first.spread) = std::tuple("First floor", 70, 25, 50, "2.5", true);
    b.zones = {ground, first};

    Room classroom = room("Classroom", "Ground floor", 3, 9, 7.2, 3, 1.2, kCeiling6, 2);
    classroom.margin = 0.5;
    classroom.ambient = 45;
    Room hall = room("Hall", "First floor", 1, 20, 10, 4, 1.5, kWide, 1);
    hall.pattern = Pattern::Offset;
    hall.reverberation = 1.2;
    hall.ambient = 62;
    Room store = room("Store", "Ground floor", 1, 3, 2, 3, 2.9, kCeiling6, 1);
    Room office = room("Office", "Annex", 2, 6, 4, 2.8, 1.2, kCeiling6, 4);
    office.ambient = 40;
    office.above = 10;
    b.rooms = {classroom, hall, store, office};
    return b;
}

const BuildingFigures& handFigures() {
    static const BuildingFigures figures = *computeBuilding(handBuilding());
    return figures;
}

} // namespace

class TestBuildingFigures : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The zone's drop lowers a room's quietest point below its 1 kHz minimum.
    void rooms_data() {
        QTest::addColumn<int>("room");
        // spacing, columns, rows, count, speaker power, direct level, 1 kHz difference,
        // 1 kHz minimum, 1 kHz spread, 4 kHz share within the set difference, the cable
        // path, loudspeakers n q, load n P q; level required, quietest, met, short by;
        // STI mean and minimum (-1: none)
        QTest::addColumn<QString>("expected");
        QTest::newRow("square, 1/2 P, three of them, 0.5 m margin")
            << 0
            << "2.59807355776 3 3 9 3 91.7506278526 2.86073546634 85.6493313912 5.20754558232 "
               "0.634945950735 22.8 27 81 60 85.5163438089 1 0 -1 -1";
        QTest::newRow("offset rows on 70 V, user type, too quiet, speech")
            << 1
            << "5.86713492608 3 2 5 4.9 88.9489955182 3.58653315482 74.9907911356 12.9299487817 "
               "0.238020645058 26.0092521258 5 24.5 77 74.9752944506 0 2.0247055494 "
               "0.556221354358 0.546445092795";
        QTest::newRow("no zone that exists (no drop), 1/4 P, two of them")
            << 3
            << "2.30939871801 3 2 6 1.5 89.7633783449 2.86073546634 81.7738692688 7.06298867269 "
               "0.767361529502 10 12 18 50 81.7738692688 1 0 -1 -1";
    }
    void rooms() {
        QFETCH(int, room);
        QFETCH(QString, expected);
        const RoomFigures& f = handFigures().rooms[size_t(room)];
        QVERIFY(f.calculated() && f.level);
        const Design& d = f.design;
        compareAll({d.distance, double(d.grid.columns), double(d.grid.rows), double(d.speakers),
                    d.speakerPower, d.directLevel, d.difference1, f.coverage.min1k,
                    f.coverage.spread1k, f.coverage.withinSet4k, f.cablePath,
                    double(f.loudspeakers), f.load, f.level->required, f.level->quietest,
                    double(f.level->met), f.level->shortBy, f.speech ? f.speech->mean : -1,
                    f.speech ? f.speech->min : -1},
                   expected);
    }

    // The store's ear is 0.1 m below its ceiling: refused with the window's
    // message, counted nowhere.
    void refusedRoomCountsNothing() {
        const BuildingFigures& f = handFigures();
        QVERIFY(!f.rooms[2].calculated() && !f.rooms[2].level && !f.allCalculated());
        QCOMPARE(f.rooms[2].error->title + ": " + f.rooms[2].error->text,
                 "Input Error: Room Height and Ear Height difference too small !\rPlease "
                 "adjust Room Height or Ear height");
        QCOMPARE(f.zones[0].rooms, (std::vector<qsizetype>{0, 2}));
        QCOMPARE(f.zones[0].calculatedRooms, 3);
        QCOMPARE(roomLine(handBuilding(), f, 2, test::english()),
                 QStringLiteral("room 3 \"Store\": Input Error: Room Height and Ear Height "
                                "difference too small ! Please adjust Room Height or Ear height"));
    }

    void zones_data() {
        QTest::addColumn<int>("zone");
        // rooms, loudspeakers, load, minimum amplifier, impedance, current, amplifier load,
        // loop resistance, drop
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("states");
        QTest::newRow("Ground floor")
            << 0 << "3 27 81 97.2 123.456790123 0.81 0.675 1.90476190476 0.13298758238"
            << "fine within 0.4 dB";
        QTest::newRow("First floor, spread")
            << 1 << "1 5 24.5 29.4 200 0.35 0.98 0.714285714286 0.0154966849992"
            << "tight within 0.4 dB";
        QTest::newRow("No zone") << 2 << "2 12 18 21.6 555.555555556 0.18 0 0 0"
                                 << "";
    }
    void zones() {
        QFETCH(int, zone);
        QFETCH(QString, expected);
        const ZoneFigures& z = handFigures().zones[size_t(zone)];
        const SystemFigures& s = z.sizing;
        compareAll({double(z.calculatedRooms), double(z.loudspeakers), z.load, s.minimumAmplifier,
                    s.impedance, s.current, s.amplifierLoad.value_or(0),
                    s.cable ? s.cable->loopResistance : 0, z.drop()},
                   expected);
        QTEST(s.amplifierState ? amplifierStateText(*s.amplifierState, test::english()) + u' ' +
                                     dropStateText(*s.cable->state, test::english())
                               : QString(),
              "states");
    }

    // Loudspeakers per type (the store's left out), a channel per zone, cable
    // per cross-section: home runs plus the rooms' paths times their
    // quantities, then 10 % more.
    void bill() {
        const BillOfMaterials& bom = handFigures().bom;
        QCOMPARE(std::tuple(bom.loudspeakers.size(), bom.amplifiers.size(), bom.cable.size(),
                            bom.amplifiers[2].rating.has_value()),
                 std::tuple(size_t(2), size_t(3), size_t(2), false));
        QCOMPARE((QStringList{bomTypeName(bom.loudspeakers[0].loudspeaker, test::english()),
                              bomTypeName(bom.loudspeakers[1].loudspeaker, test::english()),
                              bom.cable[0].crossSection, bom.cable[1].crossSection}),
                 (QStringList{"Ceiling 6", "User type (120°/80°, 88.5 dB, 10 W)", "1.5", "2.5"}));
        compareAll({double(bom.loudspeakers[0].count), double(bom.loudspeakers[1].count),
                    bom.amplifiers[1].minimum, *bom.amplifiers[1].rating, bom.cable[0].measured,
                    bom.cable[0].toOrder, bom.cable[1].measured, bom.cable[1].toOrder},
                   "39 5 29.4 25 168.4 185.24 76.0092521258 83.6101773384");
    }

    // A reverberation time shorter than the room allows leaves the speech
    // estimate out, said in a note; the room still counts.
    void speechRefusedInANote() {
        Building b;
        b.rooms = {room("Booth", "", 1, 2, 2, 2.5, 1.2, kCeiling6, 1)};
        b.rooms[0].reverberation = 0.05;
        const BuildingFigures f = *computeBuilding(b);
        QVERIFY(f.allCalculated() && !f.rooms[0].speech);
        QCOMPARE(roomNotes(b.rooms[0], f.rooms[0], test::english()),
                 QStringList{"A reverberation time of 0.05 s is too short for this room: by "
                             "Sabine's formula it needs at least 0.06 s. There are no speech "
                             "figures."});
    }

    // A room gives to the last digit what the same inputs give as a project
    // in the main window, with the project's system and speech figures.
    void sameAsProject_data() {
        QTest::addColumn<int>("room");
        QTest::addColumn<double>("ratedPower"); // 0: the room's own
        QTest::newRow("1/2 P on 100 V, margin, ambient") << 0 << 0.0;
        QTest::newRow("1/4 P, no zone") << 3 << 0.0;
        QTest::newRow("70 V, reverberation, square") << 1 << 0.0;
        // 0.01 W on 70 V is 0.004900000000000001 W; the window shows 0.0049.
        QTest::newRow("70 V, the speaker power as shown") << 1 << 0.01;
    }
    void sameAsProject() {
        QFETCH(int, room);
        QFETCH(double, ratedPower);
        Building b = handBuilding();
        Room& r = b.rooms[room];
        if (ratedPower > 0)
            r.loudspeaker.ratedPower = ratedPower;
        r.pattern.reset(); // the window lays out square grids
        b.zones[0].cableLength.reset();
        b.zones[1].cableLength.reset();
        const RoomFigures figures = computeBuilding(b)->rooms[size_t(room)];
        const Zone& zone = zoneOf(b, r);

        test::ProjectWindow h;
        FrmKvx& w = *h.w;
        const RoomLoudspeaker& l = r.loudspeaker;
        const auto n = [](double v) { return QString::number(v); };
        h.setFields({"", "", n(l.angle1), n(l.angle4), n(l.sensitivity), n(l.ratedPower),
                     n(r.length), n(r.width), n(r.height), n(r.ear), speakerTapItem(r.tap),
                     amplifierTapItem(zone.line)});
        w.DiffSet.setValue(int(r.difference * 10));
        w.cmdCalc_Click();
        QVERIFY(w.design());
        const Design& project = *w.design();
        QVERIFY(project == figures.design);

        const Layout layout = layoutFor(project);
        const CoverageMap map = coverageFor(project, layout, {0, r.margin});
        SystemSettings settings;
        settings.ambient = r.ambient;
        settings.above = r.above;
        const SystemFigures system =
            systemFiguresFor(project, settings, quietestRelative1k(project, r.margin));
        QCOMPARE(std::tuple(figures.coverage.min1k, figures.coverage.withinSet4k,
                            figures.level->quietest, figures.level->met),
                 std::tuple(map.offset1k + map.band(Band::K1).min, map.band(Band::K4).withinSet,
                            system.level->quietest, system.level->met));
        if (r.reverberation) {
            SpeechSettings speech;
            speech.reverberation = r.reverberation;
            const Speech estimate = speechFor(project, layout, map, speech, r.ambient);
            QCOMPARE(std::pair(figures.speech->mean, figures.speech->min),
                     std::pair(estimate.figures.sti->mean, estimate.figures.sti->min));
        }
    }

    // An edit worked out for its room and zone gives what the whole building
    // worked out again gives.
    void editsAsTheWhole_data() {
        QTest::addColumn<int>("room");
        QTest::addColumn<QString>("zone");
        QTest::addColumn<double>("length");
        QTest::newRow("longer classroom") << 0 << "Ground floor" << 12.0;
        QTest::newRow("hall moved to the ground floor") << 1 << "Ground floor" << 20.0;
        QTest::newRow("the store's ceiling raised") << 2 << "Ground floor" << 3.0;
        QTest::newRow("office into the first floor") << 3 << "First floor" << 6.0;
    }
    void editsAsTheWhole() {
        QFETCH(int, room);
        QFETCH(QString, zone);
        QFETCH(double, length);
        Building b = handBuilding();
        BuildingFigures edited = handFigures();
        b.rooms[room].zone = zone;
        b.rooms[room].length = length;
        b.rooms[2].height = 4;
        recomputeRoom(b, edited, room);
        if (room != 2)
            recomputeRoom(b, edited, 2);
        test::compareWithWhole(b, edited);

        // A zone's line voltage changes the power of every room in it; a zone
        // removed sends its rooms to "No zone" and moves the others up.
        b.zones[0].line = 50;
        totalUp(b, edited);
        test::compareWithWhole(b, edited);
        b.zones.removeFirst();
        totalUp(b, edited);
        test::compareWithWhole(b, edited);
    }

    // Progress comes from the worker threads, up to every room; a set flag
    // stops the run and gives no figures.
    void cancelledRun() {
        Building b;
        for (int i = 0; i < 50; ++i)
            b.rooms.append(handBuilding().rooms[0]);
        std::atomic<bool> cancel{false};
        std::atomic<qsizetype> reported{0};
        std::atomic<qsizetype> total{0};
        const auto progress = [&](qsizetype done, qsizetype all) {
            total = all;
            for (qsizetype seen = reported;
                 seen < done && !reported.compare_exchange_weak(seen, done);) {
            }
        };
        QVERIFY(computeBuilding(b, {progress, &cancel}));
        QCOMPARE(QList<qsizetype>({reported, total}), QList<qsizetype>({50, 50}));
        cancel = true;
        QCOMPARE(computeBuilding(b, {{}, &cancel}).has_value(), false);
    }

private:
    // The reference figures, given to 12 digits, within 1e-9 of their size.
    static void compareAll(const QList<double>& actual, const QString& expected) {
        const QStringList values = expected.split(u' ');
        QCOMPARE(actual.size(), values.size());
        for (qsizetype i = 0; i < actual.size(); ++i) {
            const double value = values[i].toDouble();
            KVX_COMPARE_NEAR(actual[i], value, 1e-9 * std::max(1.0, value));
        }
    }
};

QTEST_GUILESS_MAIN(TestBuildingFigures)
#include "test_building_figures.moc"
