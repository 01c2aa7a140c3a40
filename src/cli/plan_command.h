#pragma once

// kvx-cli plan: calc's session, then the plan of its last calculation: the
// layout in the room and the coverage figures per band (plain or --json), and
// the positions or a drawing written with -o.

#include "cli/command_line.h"

#include <QJsonArray>

#include <functional>

namespace kvx {
struct Design;
}

namespace kvx::cli {

// Reads the arguments after "plan". Throws UsageError.
Invocation parsePlan(const QStringList& rest);

// The options of the coverage map, shared with speech: --margin M and --samples m.
OptionRow marginOption();
OptionRow samplesOption();

// Whether -o asks for a drawing (.png, .svg, .pdf, .dxf), which the printing
// module draws.
bool isPlanDrawing(const QString& path);

// Draws the plan into a file (see PrintSupport::writePlan); empty when it
// was written, else the message naming the file.
using PlanDrawer = std::function<QString(const QString& path)>;

// Prints the plan of design (null when the session has no results) and
// writes -o. messages: the message boxes of the session, as calc --json gives
// them; status: calc's exit status for the session; draw writes a drawing.
// units: how lengths are shown (the window's). Returns the exit status.
int runPlan(const Invocation& invocation, const Design* design, const QJsonArray& messages,
            int status, const PlanDrawer& draw, Units units);

// The --margin in metres: typed in feet when the units are imperial.
double marginMetres(const Invocation& invocation, Units units);

} // namespace kvx::cli
