#pragma once
// Rooms for the plan's and the model's tests: a calculation's inputs, the
// design it gives, and a layout of a given grid without a calculation.
#include "core/calc/design.h"
#include "core/calc/sound.h"
#include "core/plan/layout.h"

namespace kvx::test {

// A room on a 100 V line at full power.
inline DesignInputs roomInputs(double length, double width, double height, double ear,
                               double angle1, double angle4, double sensitivity, double power,
                               double difference) {
    DesignInputs in;
    in.length = length;
    in.width = width;
    in.roomHeight = height;
    in.earHeight = ear;
    in.angle1 = angle1;
    in.angle4 = angle4;
    in.sensitivity = sensitivity;
    in.ratedPower = power;
    in.lineVoltage = 100;
    in.speakerPower = power;
    in.difference4 = difference;
    return in;
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
    d.length = length;
    d.width = width;
    d.roomHeight = h + 1.2;
    d.earHeight = 1.2;
    d.h = h;
    d.angle1 = angle1;
    d.angle4 = angle4;
    d.thetaHalf1 = angle1 * kPi / 360;
    d.thetaHalf4 = angle4 * kPi / 360;
    d.sensitivity = 90;
    d.ratedPower = 6;
    d.lineVoltage = 100;
    d.speakerPower = 6;
    d.difference4 = difference;
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

} // namespace kvx::test
