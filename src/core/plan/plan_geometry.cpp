#include "core/plan/plan_geometry.h"

namespace kvx {

PlanGeometry planGeometry(const Layout& layout, const QLocale& locale, Units units) {
    PlanGeometry plan;
    plan.room = QRectF(0, 0, layout.length, layout.width);
    plan.count = layout.count();
    plan.tooManyToDraw = plan.count > kMaxPlannedSpeakers;
    if (layout.count() <= 0)
        return plan;

    const auto metres = [&locale, units](double value) {
        if (units == Units::Imperial)
            return formatFeetInches(value);
        return locale.toString(value, 'f', 2) + QStringLiteral(" m");
    };
    const double length = layout.length;
    const double width = layout.width;
    const double sx = layout.spacingX;
    const double sy = layout.spacingY;
    // The room's sides run beside it; the spacings and wall distances along
    // the first row and column, from the corner at the origin. With offset
    // rows the second spacing is the row pitch, and the second row's first
    // loudspeaker is dimensioned from the first row's: the half spacing.
    plan.dimensions = {
        {{0, 0}, {length, 0}, metres(length)},
        {{0, 0}, {0, width}, metres(width)},
        {{sx / 2, sy / 2}, {sx / 2 + (layout.columns > 1 ? sx : 0), sy / 2}, metres(sx)},
        {{sx / 2, sy / 2}, {sx / 2, sy / 2 + (layout.rows > 1 ? sy : 0)}, metres(sy)},
        {{0, sy / 2}, {sx / 2, sy / 2}, metres(layout.wallX())},
        {{sx / 2, 0}, {sx / 2, sy / 2}, metres(layout.wallY())},
    };
    if (layout.rows > 1 && layout.shifted(1)) {
        const QPointF shifted = layout.at(0, 1);
        plan.dimensions.push_back({{sx / 2, shifted.y()}, shifted, metres(shifted.x() - sx / 2)});
    }

    if (layout.hasPositions()) {
        plan.speakers.reserve(size_t(layout.count()));
        qint64 number = 0;
        for (const QPointF& p : layout.positions())
            plan.speakers.push_back({p, ++number});
    }
    return plan;
}

} // namespace kvx
