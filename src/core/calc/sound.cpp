#include "core/calc/sound.h"

#include "core/base/numbers.h"
#include "core/calc/design.h"

#include "core/base/kvx_error.h"

#include <cmath>
#include <limits>

namespace kvx {

namespace {

bool fitsInt32(double v) {
    // Also false for NaN.
    return v >= std::numeric_limits<qint32>::min() && v <= std::numeric_limits<qint32>::max();
}

template <typename Record>
SpacingResult solve(double T, double h, double thetaHalf, Messages& messages, Record record) {
    double d = (h + h) * std::tan(thetaHalf);
    double step = d / 2;
    double err = 0.5;
    double prevErr = 0.5;
    int count = 0;

    // The stop test comes before the counting: an evaluation that meets the
    // tolerance only counts if it was not the last one allowed.
    while (!(std::abs(err) <= kSpacingTolerance) && count < kMaxSpacingEvaluations) {
        ++count;
        if ((err > 0 && prevErr > 0) || (err < 0 && prevErr < 0)) {
            d += step;
        } else if ((err > 0 && prevErr < 0) || (err < 0 && prevErr > 0)) {
            step = -step / 2;
            d += step;
        }
        prevErr = err;
        const double below = IntensityBelowSpeaker(d, h, thetaHalf);
        const double between = IntensityBetweenSpeakers(d, h, thetaHalf);
        err = between / below - T;
        record(d, err);
    }

    if (count < kMaxSpacingEvaluations)
        return {d, count, true};
    messages.append({QStringLiteral("Maximum number of iterations (") +
                         QString::number(kMaxSpacingEvaluations) +
                         QStringLiteral(") exceeded\nResults are unreliable"),
                     MsgStyle::Exclamation, QStringLiteral("Calculation Error")});
    return {0, count, false};
}

} // namespace

double Directivity(double theta, double thetaHalf) {
    const double halfAngleDegrees = thetaHalf * 180 / kPi;
    double c = 0.2804 * std::log(halfAngleDegrees) - 0.7323;
    if (c > 0.5)
        c = 0.5;
    const double r = (0.5 - c) / (1 - c);
    const double ratio = theta / thetaHalf;
    const double x = ratio * ratio;
    // std::pow(0, 0) is 1, which the axis of a capped beam needs.
    return (c + (1 - c) * std::pow(r, x)) * std::cos(theta);
}

double SpeakerContribution(double i, double j, double step, double h, double thetaHalf) {
    const double distance = std::sqrt(i * i + j * j) * step;
    const double theta = std::atan(distance / h);
    const double g = Directivity(theta, thetaHalf);
    return g * g;
}

double IntensityBelowSpeaker(double d, double h, double thetaHalf) {
    // The 7 x 7 square by symmetry classes; the loudspeaker overhead gives 1.
    double sum = 1;
    sum += 4 * SpeakerContribution(1, 0, d, h, thetaHalf);
    sum += 4 * SpeakerContribution(1, 1, d, h, thetaHalf);
    sum += 4 * SpeakerContribution(2, 0, d, h, thetaHalf);
    sum += 8 * SpeakerContribution(2, 1, d, h, thetaHalf);
    sum += 4 * SpeakerContribution(2, 2, d, h, thetaHalf);
    sum += 4 * SpeakerContribution(3, 0, d, h, thetaHalf);
    sum += 8 * SpeakerContribution(3, 1, d, h, thetaHalf);
    sum += 8 * SpeakerContribution(3, 2, d, h, thetaHalf);
    sum += 4 * SpeakerContribution(3, 3, d, h, thetaHalf);
    return sum;
}

double IntensityBetweenSpeakers(double d, double h, double thetaHalf) {
    // The 6 x 6 square around the centre of four loudspeakers, at odd
    // multiples of half the spacing.
    const double e = d / 2;
    double sum = 4 * SpeakerContribution(1, 1, e, h, thetaHalf);
    sum += 8 * SpeakerContribution(3, 1, e, h, thetaHalf);
    sum += 4 * SpeakerContribution(3, 3, e, h, thetaHalf);
    sum += 8 * SpeakerContribution(5, 1, e, h, thetaHalf);
    sum += 8 * SpeakerContribution(5, 3, e, h, thetaHalf);
    sum += 4 * SpeakerContribution(5, 5, e, h, thetaHalf);
    return sum;
}

double Log10(double x, Messages& messages) {
    const double ln10 = std::log(10.0);
    if (!(x > 0)) {
        messages.append({QStringLiteral("Invalid procedure call or argument"), MsgStyle::OkOnly,
                         QStringLiteral("General Error")});
        return 0;
    }
    return std::log(x) / ln10;
}

GridSplit SplitGrid(double length, double width, double d) {
    if (d <= 0)
        return {};
    const double columns = roundHalfEven(length / d);
    const double rows = roundHalfEven(width / d);
    if (fitsInt32(columns) && fitsInt32(rows)) {
        // A room shorter than half a spacing still gets one row.
        const GridSplit grid{columns == 0 ? 1 : qint64(columns), rows == 0 ? 1 : qint64(rows)};
        if (fitsInt32(double(grid.count())))
            return grid;
    }
    throw KvxError(
        QStringLiteral("Number of loudspeakers out of range (room %1 m x %2 m, spacing %3 m)")
            .arg(length)
            .arg(width)
            .arg(d));
}

qint32 SpeakerCount(double length, double width, double d) {
    return qint32(SplitGrid(length, width, d).count());
}

SpacingResult SolveSpacing(double T, double h, double thetaHalf, Messages& messages) {
    return solve(T, h, thetaHalf, messages, [](double, double) {});
}

SpacingResult SolveSpacing(double T, double h, double thetaHalf, Messages& messages,
                           SpacingTrace& trace) {
    trace.count = 0;
    return solve(T, h, thetaHalf, messages, [&trace](double d, double err) {
        trace.d[trace.count] = d;
        trace.err[trace.count] = err;
        ++trace.count;
    });
}

} // namespace kvx
