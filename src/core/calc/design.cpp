#include "core/calc/design.h"

#include "core/base/kvx_error.h"
#include "core/base/numbers.h"
#include "core/calc/sound.h"

#include <cmath>
#include <tuple>
#include <utility>

namespace kvx {

namespace {

const QString kCalculationError = QStringLiteral("Calculation Error");
const QString kInputError = QStringLiteral("Input Error");

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

std::optional<CalcFailure> checkInputs(const CheckedInputs& v) {
    const auto refuse = [](const QString& text) {
        return std::optional<CalcFailure>(CalcFailure{kInputError, text});
    };
    // A number too large to read is refused like a wrong one, naming the field.
    const auto check = [&](const std::optional<double>& value, const QString& label,
                           bool zeroPasses) -> std::optional<CalcFailure> {
        if (!value)
            return refuse(label + QStringLiteral(" is too large !"));
        if (zeroPasses ? *value < 0 : *value <= 0)
            return refuse(label + QStringLiteral(" should be positive !"));
        return std::nullopt;
    };

    for (const auto& [value, label, zeroPasses] :
         {std::tuple{v.length, QStringLiteral("Room Length"), false},
          std::tuple{v.width, QStringLiteral("Room Width"), false},
          std::tuple{v.roomHeight, QStringLiteral("Room Height"), false},
          std::tuple{v.earHeight, QStringLiteral("Ear Height"), true}}) {
        if (auto failure = check(value, label, zeroPasses))
            return failure;
    }
    // Compared in double precision: 1.8 - 1.5 passes, 2.3 - 2.0 does not.
    const double room = *v.roomHeight;
    const double ear = *v.earHeight;
    if (ear >= room || room - ear < 0.3)
        return refuse(QStringLiteral("Room Height and Ear Height difference too small !") +
                      QChar(13) + QStringLiteral("Please adjust Room Height or Ear height"));

    for (const auto& [value, label] :
         {std::pair{v.angle1, QStringLiteral("Opening Angle")},
          std::pair{v.angle4, QStringLiteral("4 kHz Opening Angle")},
          std::pair{v.difference4, QStringLiteral("Difference Level")}}) {
        if (auto failure = check(value, label, false))
            return failure;
    }
    if (*v.difference4 > 12)
        return refuse(QStringLiteral("Difference Level is too high !") + QChar(10) +
                      QStringLiteral("For equal coverage value about: 6 dB"));

    if (auto failure = check(v.sensitivity, QStringLiteral("Sensitivity"), true))
        return failure;
    return check(v.ratedPower, QStringLiteral("Rated Power"), false);
}

CheckedInputs checkedInputs(const DesignInputs& in) {
    return {in.length, in.width,       in.roomHeight,  in.earHeight, in.angle1,
            in.angle4, in.difference4, in.sensitivity, in.ratedPower};
}

double levelOffset1k(const Design& design) {
    return design.sensitivity + 10 * std::log10(design.speakerPower) - 20 * std::log10(design.h);
}

ResultTexts formatResults(const Design& design, const QLocale& locale) {
    return {formatOneDecimal(design.distance, locale), QString::number(design.speakers),
            formatWhole(design.directLevel, locale), formatOneDecimal(design.difference1, locale)};
}

} // namespace kvx
