#pragma once

// The taps: the ones the lists offer, their texts, the power a loudspeaker
// takes on them, and the taps as numbers read from the texts of their boxes
// (which may be typed).

#include <QString>

#include <optional>

namespace kvx {

// The speaker taps the list offers, as divisors of the rated power, and the
// line voltages of the amplifier taps, in the lists' order.
inline constexpr int kSpeakerTapDivisors[] = {1, 2, 4};
inline constexpr double kLineVoltages[] = {100, 70, 50};

// A speaker tap as its list shows it: "1/4 P".
QString speakerTapItem(int divisor);
// An amplifier tap as its list shows it, the voltage in three places: " 70 V".
QString amplifierTapItem(double volts);

// The power a loudspeaker takes on a tap: the rated power over the divisor,
// times the square of the line voltage over 100 V.
double tapPower(double ratedPower, int divisor, double volts);

// The power of a tap as the window shows it (the general form: 15
// significant digits) and reads it back for a calculation: what a calculation
// outside the window takes, so that both give the same figures.
double shownTapPower(double ratedPower, int divisor, double volts);

// The divisor of the rated power: the third character of the speaker tap
// ("1/2 P"); nothing unless it is a digit from 1 to 9.
std::optional<int> tapDivisor(const QString& tap);

// The line voltage: the first three characters of the amplifier tap (" 70 V"),
// outer spaces removed; nothing unless it is a finite number above zero.
std::optional<double> tapVoltage(const QString& tap);

} // namespace kvx
