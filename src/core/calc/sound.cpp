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

// A class of lattice loudspeakers at the same distance from a listening point:
// the squared distance in units of d^2 (times the lattice's denominator) and
// how many share it.
struct LatticeClass {
    int squared = 0;
    int count = 0;
};

struct LatticeClasses {
    std::array<LatticeClass, 16> items{};
    int size = 0;
    int total = 0;
};

// Every point of the unit lattice whose squared distance squared(i, j) / denominator
// lies below 3.5^2, gathered by distance, nearest first. Computed by the
// compiler: the sets do not depend on d.
template <typename Squared>
constexpr LatticeClasses latticeWithin(Squared squared, int denominator) {
    LatticeClasses classes;
    for (int j = -8; j <= 8; ++j) {
        for (int i = -8; i <= 8; ++i) {
            const int s = squared(i, j);
            if (4 * s >= 49 * denominator)
                continue;
            ++classes.total;
            int k = 0;
            while (k < classes.size && classes.items[size_t(k)].squared < s)
                ++k;
            if (k < classes.size && classes.items[size_t(k)].squared == s) {
                ++classes.items[size_t(k)].count;
                continue;
            }
            for (int m = classes.size; m > k; --m)
                classes.items[size_t(m)] = classes.items[size_t(m - 1)];
            classes.items[size_t(k)] = {s, 1};
            ++classes.size;
        }
    }
    return classes;
}

// Below the loudspeaker at the origin: r^2 = (i + j/2)^2 + 3 j^2 / 4 = i^2 + ij + j^2.
constexpr int kBelowDenominator = 1;
constexpr LatticeClasses kBelowOffset =
    latticeWithin([](int i, int j) { return i * i + i * j + j * j; }, kBelowDenominator);
// At the centre (1/2, sqrt(3)/6) of the triangle of (0, 0), (1, 0) and (1/2, sqrt(3)/2):
// 12 r^2 = 3 (2i + j - 1)^2 + (3j - 1)^2.
constexpr int kCentreDenominator = 12;
constexpr LatticeClasses kTriangleCentre = latticeWithin(
    [](int i, int j) { return 3 * (2 * i + j - 1) * (2 * i + j - 1) + (3 * j - 1) * (3 * j - 1); },
    kCentreDenominator);
static_assert(kBelowOffset.total == 43 && kBelowOffset.size == 7);
static_assert(kTriangleCentre.total == 42 && kTriangleCentre.items[0].count == 3);

double latticeSum(const LatticeClasses& classes, int denominator, double d, double h,
                  double thetaHalf) {
    double sum = 0;
    for (int k = 0; k < classes.size; ++k) {
        const LatticeClass& c = classes.items[size_t(k)];
        // The loudspeaker overhead gives 1, as in the square grid's sum.
        sum += c.squared == 0
                   ? 1
                   : c.count * SpeakerContribution(std::sqrt(double(c.squared) / denominator), 0, d,
                                                   h, thetaHalf);
    }
    return sum;
}

template <typename Record>
SpacingResult solve(double T, double h, double thetaHalf, Messages& messages, Pattern pattern,
                    Record record) {
    const PatternSums sums = patternSums(pattern);
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
        const double below = sums.below(d, h, thetaHalf);
        const double between = sums.quietest(d, h, thetaHalf);
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

double IntensityBelowSpeakerOffset(double d, double h, double thetaHalf) {
    return latticeSum(kBelowOffset, kBelowDenominator, d, h, thetaHalf);
}

double IntensityAtTriangleCentre(double d, double h, double thetaHalf) {
    return latticeSum(kTriangleCentre, kCentreDenominator, d, h, thetaHalf);
}

PatternSums patternSums(Pattern pattern) {
    if (pattern == Pattern::Offset)
        return {IntensityBelowSpeakerOffset, IntensityAtTriangleCentre};
    return {IntensityBelowSpeaker, IntensityBetweenSpeakers};
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

double rowPitch(double d, Pattern pattern) {
    return pattern == Pattern::Offset ? d * std::sqrt(3.0) / 2 : d;
}

GridSplit SplitGrid(double length, double width, double d, Pattern pattern, Fit fit) {
    if (d <= 0)
        return {};
    // Rounded up, a count a hair above a whole number from the division's
    // last bit stays that whole number: L = 3 d gives 3.
    const auto divide = [fit](double side, double step) {
        return fit == Fit::Spacing ? std::ceil(side / step - 1e-9) : roundHalfEven(side / step);
    };
    const double columns = divide(length, d);
    const double rows = divide(width, rowPitch(d, pattern));
    if (fitsInt32(columns) && fitsInt32(rows)) {
        // A room shorter than half a spacing still gets one row.
        const GridSplit grid{columns == 0 ? 1 : qint64(columns), rows == 0 ? 1 : qint64(rows),
                             pattern};
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

SpacingResult SolveSpacing(double T, double h, double thetaHalf, Messages& messages,
                           Pattern pattern) {
    return solve(T, h, thetaHalf, messages, pattern, [](double, double) {});
}

SpacingResult SolveSpacing(double T, double h, double thetaHalf, Messages& messages,
                           SpacingTrace& trace, Pattern pattern) {
    trace.count = 0;
    return solve(T, h, thetaHalf, messages, pattern, [&trace](double d, double err) {
        trace.d[trace.count] = d;
        trace.err[trace.count] = err;
        ++trace.count;
    });
}

} // namespace kvx
