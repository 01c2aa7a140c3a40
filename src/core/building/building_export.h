#pragma once

// A building's figures as files for spreadsheets: the schedule (the rooms as
// a room list, each with its figures in the columns after its own) and the
// bill of materials, both CSV as room lists are written (UTF-8 with a byte
// order mark, CR LF, numbers in their shortest exact form) and written
// complete or not at all. A schedule reads back as a room list: the figure
// columns are ignored there.

#include "core/base/string_table.h"
#include "core/building/building_error.h"
#include "core/building/building_figures.h"
#include "core/building/room_list.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace kvx {

// The rooms' columns, then roomFigureColumns(): a calculated room's figures
// (its level check and STI when it has them), an uncalculated room's error.
QByteArray scheduleCsv(const Building& building, const BuildingFigures& figures,
                       const LocalTexts& texts, CsvSeparator separator = CsvSeparator::Comma);

// One row per loudspeaker type, amplifier channel and cross-section:
// kind,name,line,count,minimum,rating,crossSection,measured,toOrder
// (kind "loudspeaker", "amplifier" or "cable"; the fields a kind has no use
// for left empty).
QByteArray billCsv(const Building& building, const BuildingFigures& figures,
                   const LocalTexts& texts, CsvSeparator separator = CsvSeparator::Comma);

// Writes bytes to path whole or not at all; the error names the file.
std::optional<BuildingError> writeCsvFile(const QString& path, const QByteArray& bytes);

} // namespace kvx
