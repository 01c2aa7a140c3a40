#pragma once
// Rooms for the plan's and the model's tests: a calculation's inputs, the
// design it gives, and a layout of a given grid without a calculation.
#include "core/calc/design.h"
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

inline Layout gridLayout(double length, double width, qint64 columns, qint64 rows) {
    Layout layout;
    layout.length = length;
    layout.width = width;
    layout.columns = columns;
    layout.rows = rows;
    layout.spacingX = length / double(columns);
    layout.spacingY = width / double(rows);
    return layout;
}

} // namespace kvx::test
