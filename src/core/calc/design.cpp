#include "core/calc/design.h"

#include "core/base/kvx_error.h"
#include "core/base/numbers.h"
#include "core/calc/sound.h"

#include <cmath>

namespace kvx {

namespace {

const QString kCalculationError = QStringLiteral("Calculation Error");

double finite(double value) {
    if (!std::isfinite(value))
        throw CalcFailure{kCalculationError,
                          QStringLiteral("The calculation gives no finite result !") + QChar(10) +
                              QStringLiteral("Please check the input values")};
    return value;
}

} // namespace

Design computeDesign(const DesignInputs& inputs, Messages& messages) {
    Design design;
    static_cast<DesignInputs&>(design) = inputs;
    try {
        design.thetaHalf4 = finite(inputs.angle4 * kPi / 360);
        design.h = finite(inputs.roomHeight - inputs.earHeight);
        const double target = finite(std::pow(10.0, -inputs.difference4 / 10));

        const SpacingResult spacing =
            SolveSpacing(target, design.h, design.thetaHalf4, messages, inputs.pattern);
        design.distance = finite(spacing.d);
        design.evaluations = spacing.evaluations;
        design.settled = spacing.settled;
        // An opening angle of 180 degrees or more can lead the search to a
        // spacing it accepts although no grid can have it.
        if (spacing.settled && design.distance <= 0)
            throw CalcFailure{kCalculationError,
                              QStringLiteral("The calculated distance is not positive !") +
                                  QChar(10) +
                                  QStringLiteral("Please check the 4 kHz Opening Angle")};

        design.thetaHalf1 = finite(inputs.angle1 * kPi / 360);
        const double d = design.distance;
        const PatternSums sums = patternSums(inputs.pattern);
        design.intensityBelow = finite(sums.below(d, design.h, design.thetaHalf1));
        design.intensityBetween = finite(sums.quietest(d, design.h, design.thetaHalf1));
        design.difference1 =
            finite(10 * Log10(design.intensityBelow / design.intensityBetween, messages));

        design.grid = SplitGrid(inputs.length, inputs.width, d, inputs.pattern, inputs.fit);
        design.speakers = qint32(design.grid.count());

        const double gain = 10 * Log10(design.intensityBelow, messages);
        const double powerLog = Log10(inputs.speakerPower, messages);
        const double heightLog = Log10(design.h, messages);
        design.directLevel = finite(inputs.sensitivity + 10 * powerLog - 20 * heightLog + gain);
    } catch (const KvxError& e) {
        throw CalcFailure{kCalculationError, e.message()};
    }
    return design;
}

double levelOffset1k(const Design& design) {
    return design.sensitivity + 10 * std::log10(design.speakerPower) - 20 * std::log10(design.h);
}

ResultTexts formatResults(const Design& design, const QLocale& locale) {
    return {formatOneDecimal(design.distance, locale), QString::number(design.speakers),
            formatWhole(design.directLevel, locale), formatOneDecimal(design.difference1, locale)};
}

} // namespace kvx
