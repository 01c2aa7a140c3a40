#pragma once

// The taps as numbers: the divisor of the speaker tap and the voltage of the
// amplifier tap, read from the texts of their boxes.

#include <QString>

#include <optional>

namespace kvx {

// The divisor of the rated power: the third character of the speaker tap
// ("1/2 P"); nothing unless it is a digit from 1 to 9.
std::optional<int> tapDivisor(const QString& tap);

// The line voltage: the first three characters of the amplifier tap (" 70 V"),
// outer spaces removed; nothing unless it is a finite number above zero.
std::optional<double> tapVoltage(const QString& tap);

} // namespace kvx
