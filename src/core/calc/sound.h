#pragma once

// The acoustic model: how loud one ceiling loudspeaker is at a point of the
// listening plane, how the loudspeakers of a square grid add up below a
// loudspeaker and at the centre of a square of four (of offset rows: at the
// centre of a triangle of three), and the spacing solver that finds the
// distance for a wanted difference between those points.
// Pure functions: what Log10 and the solver have to tell the user is added to
// the caller's messages, in the order it happens, for the window to show.

#include "core/base/message.h"

#include "core/calc/pattern.h"

#include <QtGlobal>

#include <array>

namespace kvx {

// The value of pi the model works with: results must use it to come out right.
constexpr double kPi = 3.14159;

double Directivity(double theta, double thetaHalf);

// Directivity's floor c = 0.2804 ln(half angle in degrees) - 0.7323 stops at
// one half; from this opening angle on (half angle 81 degrees, c = 0.4999)
// the beam is as wide as the model makes one, and the level right below a
// loudspeaker stands out as a single point of its map.
constexpr double kWidestBeamAngle = 162; // degrees
inline bool beamAtItsWidest(double openingAngleDegrees) {
    return openingAngleDegrees >= kWidestBeamAngle;
}
double SpeakerContribution(double i, double j, double step, double h, double thetaHalf);
double IntensityBelowSpeaker(double d, double h, double thetaHalf);
double IntensityBetweenSpeakers(double d, double h, double thetaHalf);

// The offset lattice d (i + j/2, j sqrt(3)/2): every loudspeaker within 3.5 d
// of the point below the one at the origin (43, the one overhead giving 1),
// and of the centre of a triangle of three neighbours (42, the nearest three
// at d / sqrt(3)).
double IntensityBelowSpeakerOffset(double d, double h, double thetaHalf);
double IntensityAtTriangleCentre(double d, double h, double thetaHalf);

// The two sums of a pattern: below a loudspeaker and at the quietest point.
struct PatternSums {
    double (*below)(double d, double h, double thetaHalf);
    double (*quietest)(double d, double h, double thetaHalf);
};
PatternSums patternSums(Pattern pattern);

// Base-10 logarithm; for x not above zero a "General Error" message, then 0.
double Log10(double x, Messages& messages);

// Number of loudspeakers for a room; 0 for a spacing not above zero. Throws
// KvxError when the count does not fit a signed 32-bit number.
qint32 SpeakerCount(double length, double width, double d);

// The solver's limits: the tolerance on between/below - T (a ratio of
// intensities, not decibels) and the number of evaluations of the two sums.
constexpr double kSpacingTolerance = 0.001;
constexpr int kMaxSpacingEvaluations = 100;

struct SpacingResult {
    double d = 0;        // the spacing found, 0 when the search did not settle
    int evaluations = 0; // evaluations of the two sums made
    bool settled = false;
};

// Finds the spacing at which quietest/below of the pattern equals T at 4 kHz.
// On failure adds the "Calculation Error" message and returns 0.
SpacingResult SolveSpacing(double T, double h, double thetaHalf, Messages& messages,
                           Pattern pattern = Pattern::Square);

// Every evaluation of a search in order: the spacing and its error.
struct SpacingTrace {
    std::array<double, kMaxSpacingEvaluations> d{};
    std::array<double, kMaxSpacingEvaluations> err{};
    int count = 0;
};

// As above, recording each evaluation in trace (which the caller owns, so the
// search itself still allocates nothing).
SpacingResult SolveSpacing(double T, double h, double thetaHalf, Messages& messages,
                           SpacingTrace& trace, Pattern pattern = Pattern::Square);

} // namespace kvx
