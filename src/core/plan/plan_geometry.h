#pragma once

// What a drawing of the plan shows, in room metres: the outline, the
// loudspeakers with their numbers and the dimension lines with their texts.
// The plan window, the SVG, PNG, PDF and DXF exports all draw from this one
// description, so they show the same plan.

#include "core/base/units.h"
#include "core/plan/layout.h"

#include <QLocale>
#include <QRectF>
#include <QString>

#include <vector>

namespace kvx {

struct PlanGeometry {
    QRectF room; // (0, 0) to (length, width)
    struct Speaker {
        QPointF position;
        qint64 number = 0;
    };
    std::vector<Speaker> speakers; // empty when the layout has no positions
    struct Dimension {
        QPointF from;
        QPointF to;
        QString text; // e.g. "3.33 m" or "10' 11½\""
    };
    // The room's length and width, the spacing in x and y (y: the row
    // pitch), the wall distances in x and y; with offset rows, then the
    // shift of the second row against the first (half a spacing).
    std::vector<Dimension> dimensions;
    qint64 count = 0;
    bool tooManyToDraw = false; // count above kMaxPlannedSpeakers
};

// Numbers in the texts are written in the given locale (two decimals) in
// metres; in imperial units as feet and inches to the nearest half inch.
PlanGeometry planGeometry(const Layout& layout, const QLocale& locale, Units units = Units::Metric);

} // namespace kvx
