#pragma once

// The building file (*.kvxb): JSON in UTF-8,
//
//   { "format": "kvx-building", "version": 1, "name": ..., "units": "metric",
//     "cableReserve": 10, "zones": [ {...} ], "rooms": [ {...} ] }
//
// written by QJsonDocument (keys in its order, indented), complete or not at
// all. Keys this program does not know are kept at every level (building,
// zone, room, loudspeaker) and written back, so a file that another program
// or a later version added to loses nothing here. A file is read whole or
// refused whole, with the first fault found.

#include "core/building/building.h"
#include "core/building/building_error.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace kvx {

inline constexpr int kBuildingFileVersion = 1;
inline const QString kBuildingFormat = QStringLiteral("kvx-building");

struct BuildingRead {
    std::optional<Building> building; // none when the file is refused
    std::optional<BuildingError> error;
};

// The building in bytes; fileName names the file in the error.
BuildingRead parseBuilding(QByteArrayView bytes, const QString& fileName);
BuildingRead readBuildingFile(const QString& path);

// The bytes of a building file or room list, read in pieces up to
// BuildingLimits::MaxFileBytes (a device or a pipe has no size to check
// first); nothing, and error set, when it cannot be read or is larger.
std::optional<QByteArray> readBuildingBytes(const QString& path, BuildingError& error);

// The bytes of the file. The building should pass checkBuilding().
QByteArray buildingBytes(const Building& building);
// Why the building would be refused when read back (a value out of range, a
// duplicate zone...), named as a read names it; nothing when it is fine.
std::optional<BuildingError> checkBuilding(const Building& building, const QString& fileName);
// Writes the file complete or not at all; a building that would not read back
// is not written. Returns the error, or nothing when written.
std::optional<BuildingError> writeBuildingFile(const QString& path, const Building& building);

// Whether the file holds a building: its extension is .kvxb, or its first
// bytes name the building format.
bool holdsBuilding(const QString& path);
// Whether a file that a command is about to write holds a project or a
// building, which an export, a schedule or a list must not replace unasked.
bool holdsProjectOrBuilding(const QString& path, const StringTable& strings);

} // namespace kvx
