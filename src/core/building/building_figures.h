#pragma once

// The figures of a building. Every room is an ordinary calculation of its
// inputs, through the same functions as a project (checkInputs, computeDesign,
// layoutFor, coverageFor, levelCheckFor, speechFor), so a room gives the
// numbers a project with those inputs gives. Every zone is one amplifier
// channel: its rooms' load on its line voltage, sized by the system core
// (lineFiguresFor), and its home run's drop lowers its rooms' level checks.
// The bill of materials adds the building up.
//
//   Room + Zone --roomFiguresFor--> RoomFigures        one room, on any thread
//   Building --computeBuilding--> BuildingFigures      rooms in parallel, then totalUp
//   a room edited --recomputeRoom-->                   the room, its zones, the bill
//   zones edited, rooms added or removed --totalUp-->  the zones and the bill
//
// A room that cannot be calculated (the input checks refuse it, the search
// does not settle, the coverage map is refused) carries the reason and counts
// nothing in any total.

#include "core/building/building.h"
#include "core/calc/design.h"
#include "core/plan/layout.h"
#include "core/system/system.h"

#include <QString>
#include <QThreadPool>
#include <QtGlobal>

#include <atomic>
#include <functional>
#include <optional>
#include <vector>

namespace kvx {

// Why a room has no figures: the calculation's own message box, or a text of
// the string table (the coverage map's refusals).
struct RoomError {
    QString title;  // "Input Error", "Calculation Error"; empty with a textId
    QString text;   // as the window shows it (English for the calculation's messages)
    int textId = 0; // the text in the user's language, when the string table has one

    bool operator==(const RoomError&) const = default;
};

// The 1 kHz minimum (absolute, dB) and spread of the listener area, and the
// share of it within the set difference at 4 kHz.
struct RoomCoverage {
    double min1k = 0;
    double spread1k = 0;
    double withinSet4k = 0;
};

struct RoomSpeech {
    double mean = 0;
    double min = 0;
};

struct RoomFigures {
    int zone = 0; // index in BuildingFigures::zones (the building's, then "No zone")
    std::optional<RoomError> error;

    // With no error.
    Design design; // spacing, grid, count, speaker power, direct level, 1 kHz difference
    Layout layout;
    RoomCoverage coverage;
    // With an ambient: the quietest point less the zone's cable drop against
    // ambient + above (set by the zone's totals).
    std::optional<LevelCheck> level;
    // With a reverberation time the room allows and a coverage map with levels.
    std::optional<RoomSpeech> speech;
    // The reverberation time is shorter than the room allows: the least it
    // can be, s; or the room is too large for a map that holds levels.
    std::optional<double> speechShortest;
    bool speechMapTooLarge = false;
    // The wiring inside one room: the path through its loudspeakers row by
    // row, every other row walked back, m.
    double cablePath = 0;
    qint64 loudspeakers = 0; // n q
    double load = 0;         // n P q, W

    bool calculated() const { return !error.has_value(); }
};

struct ZoneFigures {
    QString name; // "" for "No zone"
    int line = 100;
    std::vector<qsizetype> rooms; // the indices of its rooms, calculated or not, in order
    qint64 calculatedRooms = 0;   // calculated rooms times their quantities
    qint64 loudspeakers = 0;
    double load = 0; // W
    // The sizing of the load on the zone's line: minimumAmplifier, rating,
    // amplifierLoad and amplifierState, impedance and current, and with a
    // cable length the home run (cable->loopResistance, drop, state).
    SystemFigures sizing;

    // The home run's level drop at the zone's load; 0 without a cable.
    double drop() const { return sizing.cable ? sizing.cable->drop : 0; }
};

struct BomLoudspeaker {
    RoomLoudspeaker loudspeaker; // the type and its data (no unknown keys)
    qint64 count = 0;
};

struct BomAmplifier {
    int zone = -1; // index in BuildingFigures::zones
    int line = 100;
    double minimum = 0;
    std::optional<double> rating;
};

struct BomCable {
    QString crossSection; // a listed name: "1.5", "14AWG"
    double measured = 0;  // m: home runs plus the rooms' paths times their quantities
    double toOrder = 0;   // with the building's cable reserve
};

struct BillOfMaterials {
    std::vector<BomLoudspeaker> loudspeakers; // by type and data, in order of first use
    std::vector<BomAmplifier> amplifiers;     // one per zone that is shown
    std::vector<BomCable> cable;              // by listed cross-section
};

struct BuildingFigures {
    std::vector<RoomFigures> rooms; // as the building's rooms
    // As the building's zones, then "No zone" last.
    std::vector<ZoneFigures> zones;
    BillOfMaterials bom;

    bool allCalculated() const;
    // The index of "No zone" in zones.
    int noZoneIndex() const { return int(zones.size()) - 1; }
    // A zone shows (in the schedule, the bill) when it is one of the
    // building's, or "No zone" holding rooms.
    bool shows(int zone) const;
};

// The inputs of a room's calculation as the main window would read them: the
// room's values, the loudspeaker's data, the zone's line voltage and the
// speaker power as the window shows it.
DesignInputs designInputsOf(const Room& room, const Zone& zone);

// One room's figures, all but its level check, which needs the zone's drop
// (totalUp). Thread-safe: it reads only its arguments.
RoomFigures roomFiguresFor(const Room& room, const Zone& zone, int zoneIndex);

// The path through the layout's loudspeakers, row by row, every other row
// walked back: the sum of the distances between consecutive loudspeakers.
double cablePathOf(const Layout& layout);

// What computeBuilding reports and how it is stopped. progress is called from
// the worker threads (rooms done, rooms in all), at most about a thousand
// times a run; cancel is read before each room.
struct BuildingRun {
    std::function<void(qsizetype done, qsizetype total)> progress;
    const std::atomic<bool>* cancel = nullptr;
    // The threads to run on; Qt's global pool when none. A window passes a
    // pool of its own: Qt Gui paints with the global one, and a long run
    // there would hold up every paint until it ends.
    QThreadPool* pool = nullptr;
};

// Every room, in parallel over the processor's cores, then the zones, the
// level checks and the bill; nothing when cancelled.
std::optional<BuildingFigures> computeBuilding(const Building& building,
                                               const BuildingRun& run = {});

// The zones, the rooms' level checks and the bill from the rooms' figures,
// after anything but an edit of one room: zones added, removed, renamed or
// edited, rooms added, removed or moved with their figures (figures.rooms in
// step with the building's rooms). Each room's zone is found again; a room
// calculated on another line voltage than its zone's now is worked out again
// (in parallel), no other.
void totalUp(const Building& building, BuildingFigures& figures);

// After an edit of room index: that room again, the zone it left and the
// zone it is in, their rooms' level checks, and the bill. figures must be of
// the building as it was before the edit, with the same rooms and zones.
void recomputeRoom(const Building& building, BuildingFigures& figures, qsizetype room);

} // namespace kvx
