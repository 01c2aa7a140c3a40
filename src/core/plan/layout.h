#pragma once

// The plan of a calculated design: where the loudspeakers go in the real room,
// how the listening plane is covered at 1 and 4 kHz, and the figures of that
// coverage. Everything here is computed from a Design alone (never from a
// window), so the plan window, the exports and kvx-cli plan show the same.
//
//   Design --layoutFor--> Layout --coverageFor--> CoverageMap (+ BandFigures)
//                           \------planGeometry--> PlanGeometry (what is drawn)

#include "core/base/string_table.h"
#include "core/calc/design.h"

#include <QPointF>
#include <QString>

#include <vector>

namespace kvx {

// Beyond this many loudspeakers the plan gives the count and the figures but
// no positions: nobody can read a drawing of them one by one.
constexpr qint64 kMaxPlannedSpeakers = 1'000'000;

// The grid of the design placed in the room: origin at a corner, x along the
// length, y along the width; loudspeaker (i, j) at ((i + 1/2) sx, (j + 1/2) sy),
// numbered 1..n row by row (j outer, i inner).
struct Layout {
    double length = 0;
    double width = 0;
    qint64 columns = 0;  // along the length
    qint64 rows = 0;     // along the width
    double spacingX = 0; // length / columns
    double spacingY = 0; // width / rows

    qint64 count() const { return columns * rows; }
    // Whether the positions are given (at most kMaxPlannedSpeakers).
    bool hasPositions() const { return count() > 0 && count() <= kMaxPlannedSpeakers; }
    double wallX() const { return spacingX / 2; }
    double wallY() const { return spacingY / 2; }
    // The position of loudspeaker number (1-based).
    QPointF position(qint64 number) const;
    // Every position in number order; empty unless hasPositions().
    std::vector<QPointF> positions() const;
};

// The layout of a usable design (Design::usable()); a design that is not
// gives an empty layout (count 0).
Layout layoutFor(const Design& design);

// The positions as CSV, "number,x,y" with a header line, metres with a dot.
QString positionsCsv(const Layout& layout);

// Writes positionsCsv to path whole or not at all (UTF-8). False, with the
// reason in whyNot in the language of texts, when nothing was written: a
// layout without positions to list (PlanText::NoPositions), or a file that
// cannot be written.
bool writePositionsCsv(const Layout& layout, const QString& path, const LocalTexts& texts,
                       QString* whyNot = nullptr);

} // namespace kvx
