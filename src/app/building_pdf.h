#pragma once

// The schedule of a building as a PDF: a cover with the building's totals and
// its bill of materials, then the rooms table over as many pages as it needs
// (its heading on each), then the zones. The pages are the printer's paper
// (A4 or Letter), landscape, so that the rooms' columns fit across.

#include <QString>

#include <optional>

namespace kvx {
class BuildingDocument;
class RoomsTableModel;
class ZonesTableModel;
} // namespace kvx

namespace kvx::app {

// Writes the file complete or not at all; the reason in words when it could
// not be written. The document must have its figures.
std::optional<QString> writeSchedule(const QString& path, const BuildingDocument& document,
                                     const RoomsTableModel& rooms, const ZonesTableModel& zones);

} // namespace kvx::app
