#pragma once

// kvx-cli building: reads a building file or a room list, works out its
// figures with the core (every room as a project with its inputs, in
// parallel), prints the schedule (a line per room, per zone, then the bill of
// materials) or its JSON, and writes the building, the schedule CSV or the
// bill if asked. Nothing here calculates or words a figure: the core does.
//
// Exit status: 0 when every room calculated, 1 when a room shows an error, 2
// for a file that cannot be read or written (or one -o must not replace).

#include "cli/command_line.h"
#include "core/base/string_table.h"
#include "core/building/building_figures.h"

#include <QJsonObject>

namespace kvx::cli {

int runBuilding(const Invocation& invocation);

// The JSON output: rooms, zones, bom and messages, every number unrounded.
QJsonObject buildingJson(const Building& building, const BuildingFigures& figures,
                         const LocalTexts& texts);

} // namespace kvx::cli
