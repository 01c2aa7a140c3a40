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

#include <optional>
#include <vector>

namespace kvx {

// Beyond this many loudspeakers the plan gives the count and the figures but
// no positions: nobody can read a drawing of them one by one.
constexpr qint64 kMaxPlannedSpeakers = 1'000'000;

// The grid of the design placed in the room: origin at a corner, x along the
// length, y along the width, row j at y = (j + 1/2) sy. A square grid has
// columns loudspeakers in every row at x = (i + 1/2) sx; offset rows shift
// the odd rows (0-based) by half a spacing, x = (i + 1) sx, with one
// loudspeaker fewer (with one column every row holds one, at L / 2).
// Numbered 1..n row by row.
struct Layout {
    double length = 0;
    double width = 0;
    qint64 columns = 0;  // along the length
    qint64 rows = 0;     // along the width
    double spacingX = 0; // length / columns
    double spacingY = 0; // width / rows: the row pitch
    Pattern pattern = Pattern::Square;

    qint64 count() const { return GridSplit{columns, rows, pattern}.count(); }
    // Whether the positions are given (at most kMaxPlannedSpeakers).
    bool hasPositions() const { return count() > 0 && count() <= kMaxPlannedSpeakers; }
    double wallX() const { return spacingX / 2; }
    double wallY() const { return spacingY / 2; }
    // Whether row j is shifted by half a spacing, and how many it holds.
    bool shifted(qint64 row) const {
        return pattern == Pattern::Offset && columns > 1 && row % 2 == 1;
    }
    qint64 inRow(qint64 row) const { return shifted(row) ? columns - 1 : columns; }
    // The position of loudspeaker number (1-based); nothing for a number
    // outside 1..count().
    std::optional<QPointF> position(qint64 number) const;
    // Every position in number order; empty unless hasPositions().
    std::vector<QPointF> positions() const;
    // The position of the i-th loudspeaker (0-based) of row j (0-based).
    QPointF at(qint64 i, qint64 row) const;
};

// The layout of a usable design (Design::usable()); a design that is not
// gives an empty layout (count 0).
Layout layoutFor(const Design& design);

// How far the layout stretches the calculated spacing: the larger of
// sx / d and sy / (row pitch of d), less one (0 or less when it keeps it).
double spacingExcess(const Design& design, const Layout& layout);
// Beyond this excess, with the nearest count, the plan says so and offers
// the fit that keeps the spacing.
constexpr double kNoticedSpacingExcess = 0.05;
bool stretchesSpacing(const Design& design, const Layout& layout);

// The positions as CSV, "number,x,y" with a header line, metres with a dot.
QString positionsCsv(const Layout& layout);

// Writes positionsCsv to path whole or not at all (UTF-8). False, with the
// reason in whyNot in the language of texts, when nothing was written: a
// layout without positions to list (PlanText::NoPositions), or a file that
// cannot be written.
bool writePositionsCsv(const Layout& layout, const QString& path, const LocalTexts& texts,
                       QString* whyNot = nullptr);

} // namespace kvx
