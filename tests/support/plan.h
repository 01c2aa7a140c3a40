#pragma once
// Rooms for the plan's and the model's tests: a calculation's inputs, the
// design it gives, and a layout of a given grid without a calculation.
#include "core/calc/design.h"
#include "core/calc/sound.h"
#include "core/plan/layout.h"

#include <algorithm>
#include <cmath>

namespace kvx::test {

// A room on a 100 V line at full power.
inline DesignInputs roomInputs(double length, double width, double height, double ear,
                               double angle1, double angle4, double sensitivity, double power,
                               double difference) {
    return {length, width, height, ear,   angle1,     angle4,          sensitivity,
            power,  100,   1,      power, difference, Pattern::Square, Fit::Nearest};
}

inline Design calculated(const DesignInputs& inputs) {
    Messages messages;
    return computeDesign(inputs, messages);
}

// A design with a spacing set by hand, for rooms of a known grid: 90 dB, 6 W
// rated and taken at 1/1 P on 100 V, the ear at 1.2 m.
inline Design handMade(double length, double width, double spacing, double h, double angle1,
                       double angle4, double difference = 6) {
    Design d;
    static_cast<DesignInputs&>(d) =
        roomInputs(length, width, h + 1.2, 1.2, angle1, angle4, 90, 6, difference);
    d.h = h;
    d.thetaHalf1 = angle1 * kPi / 360;
    d.thetaHalf4 = angle4 * kPi / 360;
    d.distance = spacing;
    d.settled = true;
    d.grid = SplitGrid(length, width, spacing);
    d.speakers = qint32(d.grid.count());
    return d;
}

inline Layout gridLayout(double length, double width, qint64 columns, qint64 rows,
                         Pattern pattern = Pattern::Square) {
    Layout layout;
    layout.pattern = pattern;
    layout.length = length;
    layout.width = width;
    layout.columns = columns;
    layout.rows = rows;
    layout.spacingX = length / double(columns);
    layout.spacingY = width / double(rows);
    return layout;
}

// The level at (x, y) from the model's definition, not from the code: the
// loudspeakers where the rows put them (row j at (j + 1/2) sy; in offset rows
// the odd rows, when there is more than one column, one fewer at (i + 1) sx),
// each one's g = D(theta) cos theta with theta = arctan(R / h), where
// D = c + (1 - c) r^((theta / theta_h)^2), c = min(0.5, 0.2804 ln A - 0.7323),
// A the half angle in degrees (by 3.14159) and r = (0.5 - c) / (1 - c);
// the level is 10 log10 of the sum of g^2.
inline double referenceLevel(const Design& d, const Layout& layout, double thetaHalf, double x,
                             double y) {
    const double c = std::min(0.5, 0.2804 * std::log(thetaHalf * 180 / 3.14159) - 0.7323);
    const double r = (0.5 - c) / (1 - c);
    const double sx = layout.length / double(layout.columns);
    const double sy = layout.width / double(layout.rows);
    const bool offset = layout.pattern == Pattern::Offset && layout.columns > 1;
    double sum = 0;
    for (qint64 j = 0; j < layout.rows; ++j) {
        const bool shifted = offset && j % 2 == 1;
        for (qint64 i = 0; i < layout.columns - (shifted ? 1 : 0); ++i) {
            const double px = shifted ? double(i + 1) * sx : (double(i) + 0.5) * sx;
            const double py = (double(j) + 0.5) * sy;
            const double theta = std::atan(std::hypot(px - x, py - y) / d.h);
            const double g =
                (c + (1 - c) * std::pow(r, std::pow(theta / thetaHalf, 2))) * std::cos(theta);
            sum += g * g;
        }
    }
    return 10 * std::log10(sum);
}

} // namespace kvx::test
