#pragma once

// Buildings: every room of a job, grouped into zones that each hang on one
// amplifier channel. A building is a plain value; it is read from and written
// to its own file (*.kvxb, building_file.h) and its rooms come from and go to
// spreadsheets as CSV room lists (room_list.h):
//
//   *.kvxb    --readBuildingFile--> Building --writeBuildingFile--> *.kvxb
//   ROOMS.csv --readRoomListFile--> RoomList --addRoomList--> Building
//   Building  --roomListCsv--> ROOMS.csv
//
// A file or list that cannot be read gives a BuildingError (building_error.h)
// and no building at all. Lengths are metres everywhere, in memory and in the
// files; `units` only says how a window shows them.

#include "core/base/units.h"
#include "core/calc/pattern.h"
#include "core/catalogue/lsp_record.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QtGlobal>

#include <optional>
#include <vector>

namespace kvx {

// The loudspeaker of a room: the name of its catalogue type and its data, so
// that the room stands alone without the catalogue.
struct RoomLoudspeaker {
    QString type;      // a catalogue type's name without its padding; empty for the user's own
    double angle1 = 0; // opening angle at 1 kHz, degrees
    double angle4 = 0; // opening angle at 4 kHz, degrees
    double sensitivity = 0;
    double ratedPower = 0;   // W
    QJsonObject unknownKeys; // kept as they were read, written back

    bool operator==(const RoomLoudspeaker&) const = default;
};

struct Room {
    QString name;
    QString zone;      // empty, or a zone that does not exist: the "No zone" zone
    int quantity = 1;  // identical rooms
    double length = 0; // m
    double width = 0;  // m
    double height = 0; // m
    double ear = 0;    // m
    RoomLoudspeaker loudspeaker;
    int tap = 1;                         // the speaker tap 1/tap P: 1, 2 or 4
    double difference = 6;               // the set difference at 4 kHz, dB
    std::optional<Pattern> pattern;      // none: square
    double margin = 0;                   // m
    std::optional<double> ambient;       // dB(A)
    double above = 15;                   // dB
    std::optional<double> reverberation; // s
    QJsonObject unknownKeys;

    bool operator==(const Room&) const = default;
};

struct Zone {
    QString name;
    int line = 100;                               // V: 100, 70 or 50
    std::optional<double> amplifier;              // W
    std::optional<double> cableLength;            // m
    QString crossSection = QStringLiteral("1.5"); // a listed name (core/system): "1.5", "14AWG"
    bool spread = false;
    QJsonObject unknownKeys;

    bool operator==(const Zone&) const = default;
};

struct Building {
    QString name;
    Units units = Units::Metric;
    double cableReserve = 10; // percent
    QList<Zone> zones;        // names unique and not empty
    QList<Room> rooms;
    QJsonObject unknownKeys;

    bool operator==(const Building&) const = default;
};

// The zone of rooms without one (or with one that does not exist): named "",
// 100 V, no amplifier, no cable.
const Zone& noZone();

// The index in building.zones of each room's zone, -1 for the "No zone" zone.
std::vector<int> roomZoneIndices(const Building& building);
// The zone a room belongs to.
const Zone& zoneOf(const Building& building, const Room& room);

// The range a number of a building must lie in. A value outside is absurd
// (a typing slip, a broken script, a hostile file) and the file or list that
// holds it is refused; a room whose values are in range but cannot be
// calculated is kept and shows why in its figures.
struct ValueRange {
    double least = 0;
    double greatest = 0;
    bool aboveLeast = false; // the value must be greater than least
    bool whole = false;

    // False for NaN.
    bool contains(double value) const;
    bool operator==(const ValueRange&) const = default;
};

namespace BuildingLimits {
constexpr qsizetype MaxRooms = 100'000;
// A building of the most rooms as this program writes it is about 65 MB;
// twice that leaves room for keys of other programs.
constexpr qint64 MaxFileBytes = 128 * 1024 * 1024;
// Values (numbers, texts, lists, objects) and of them lists and objects that
// a file may hold: a room has some 20 values and 2 objects. Parsed, a value
// takes some 20 bytes and an object or list some 300 whatever their size, so
// that a file of nothing but "0," or "{}," would take a gigabyte and more.
constexpr qint64 MaxValues = 50 * MaxRooms;
constexpr qint64 MaxContainers = 5 * MaxRooms;

constexpr ValueRange Quantity{1, 10'000, false, true};
constexpr ValueRange Side{0, 10'000, true};        // room length and width, m: 10 km
constexpr ValueRange Height{0, 1'000, true};       // room height, m
constexpr ValueRange Ear{0, 1'000};                // ear height, m
constexpr ValueRange Angle{0, 360, true};          // degrees
constexpr ValueRange Sensitivity{0, 200};          // dB at 1 W, 1 m
constexpr ValueRange Power{0, 1'000'000, true};    // rated power and amplifier, W
constexpr ValueRange Difference{0, 100};           // dB
constexpr ValueRange Margin{0, 10'000};            // m
constexpr ValueRange Ambient{0, 140};              // dB(A), as the system settings take it
constexpr ValueRange Above{-200, 200};             // dB
constexpr ValueRange Reverberation{0, 100, true};  // s
constexpr ValueRange CableLength{0, 10'000, true}; // m
constexpr ValueRange CableReserve{0, 1'000};       // percent
} // namespace BuildingLimits

// The texts of the file and the room lists.
QString tapText(int tap); // "1/2"
std::optional<int> tapFromText(QStringView text);
// The pattern is patternToken/patternFromToken's word; the units are
// unitsOptionText's, read exactly as written.
std::optional<Units> unitsFromText(QStringView text);
bool isLineVoltage(double volts); // 100, 70 or 50

// A catalogue record's name as a room stores it: without the padding.
QString catalogueTypeName(const LspRecord& record);
// The loudspeaker of a catalogue record, its numbers as the catalogue shows
// them (89.3 and not the single-precision value's 89.30000305).
RoomLoudspeaker loudspeakerOf(const LspRecord& record);

} // namespace kvx
