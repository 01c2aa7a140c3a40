#include "core/system/system.h"

#include "core/base/numbers.h"
#include "core/calc/power.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace kvx {

namespace {

// Conductivity of copper, m / (ohm mm2).
constexpr double kCopper = 56;
// Amplifier headroom over the taps: transformer losses and margin.
constexpr double kAmplifierMargin = 1.2;
constexpr double kTightLoad = 0.8;
constexpr double kGreenDrop = 0.4;
// Tap powers that differ by less than this share are the same power.
constexpr double kSamePower = 1e-9;

// The resistance the run acts as: the whole loop with the load at the far
// end, half of it with the load spread evenly along the run.
double effectiveResistance(double loop, bool spread) {
    return spread ? loop / 2 : loop;
}

} // namespace

const std::vector<CrossSection>& listedCrossSections() {
    static const std::vector<CrossSection> kList = {
        {QStringLiteral("0.75"), 0.75, false},  {QStringLiteral("1"), 1.0, false},
        {QStringLiteral("1.5"), 1.5, false},    {QStringLiteral("2.5"), 2.5, false},
        {QStringLiteral("4"), 4.0, false},      {QStringLiteral("6"), 6.0, false},
        {QStringLiteral("18AWG"), 0.823, true}, {QStringLiteral("16AWG"), 1.31, true},
        {QStringLiteral("14AWG"), 2.08, true},  {QStringLiteral("12AWG"), 3.31, true},
        {QStringLiteral("10AWG"), 5.26, true},
    };
    return kList;
}

std::optional<CrossSection> findCrossSection(const QString& text, CrossSectionProblem* problem) {
    const auto fail = [problem](CrossSectionProblem why) -> std::optional<CrossSection> {
        if (problem)
            *problem = why;
        return std::nullopt;
    };
    if (problem)
        *problem = CrossSectionProblem::None;
    QString compact = text.simplified().remove(u' ').toUpper();
    if (compact.endsWith(QLatin1String("AWG"))) {
        const QString gauge = compact.chopped(3);
        for (const CrossSection& c : listedCrossSections()) {
            if (c.awg && c.name == gauge + QLatin1String("AWG"))
                return c;
        }
        return fail(CrossSectionProblem::Unknown);
    }
    for (const char* unit : {"MM²", "MM2", "MM"}) {
        if (compact.endsWith(QString::fromUtf8(unit))) {
            compact.chop(QString::fromUtf8(unit).size());
            break;
        }
    }
    compact.replace(u',', u'.');
    bool ok = false;
    const double area = QLocale::c().toDouble(compact, &ok);
    if (!ok || !std::isfinite(area))
        return fail(CrossSectionProblem::Unknown);
    if (area <= 0)
        return fail(CrossSectionProblem::NotPositive);
    for (const CrossSection& c : listedCrossSections()) {
        if (!c.awg && std::abs(c.area - area) < 1e-9)
            return c;
    }
    return fail(CrossSectionProblem::Unknown);
}

QString TapChoice::speakerTap() const {
    return speakerTapItem(divisor);
}

QString TapChoice::amplifierTap() const {
    return exactNumber(voltage) + QStringLiteral(" V");
}

AmplifierState amplifierStateFor(double load) {
    if (load < kTightLoad)
        return AmplifierState::Fine;
    if (load <= 1)
        return AmplifierState::Tight;
    return AmplifierState::Overloaded;
}

double loopResistance(double length, double area) {
    return 2 * length / (kCopper * area);
}

double cableDrop(double impedance, double resistance) {
    return 20 * std::log10((impedance + resistance) / impedance);
}

double cableLoss(double voltage, double impedance, double resistance) {
    const double total = impedance + resistance;
    return voltage * voltage * resistance / (total * total);
}

DropState dropStateFor(double drop, double limit) {
    if (drop > limit)
        return DropState::Red;
    return drop < kGreenDrop ? DropState::Green : DropState::Amber;
}

SystemFigures systemFiguresFor(const Design& design, const SystemSettings& settings,
                               std::optional<double> quietestRelative1k) {
    SystemFigures f;
    const auto issue = [&f](SystemSetting setting, SystemIssue::Kind kind, QString value) {
        f.issues.push_back({setting, kind, std::move(value)});
    };

    f.speakers = design.speakers;
    f.speakerPower = design.speakerPower;
    f.total = f.speakers * f.speakerPower;
    f.minimumAmplifier = kAmplifierMargin * f.total;
    f.voltage = design.lineVoltage;
    // A line without load or voltage has no impedance to work the rest from.
    if (!(f.total > 0) || !(f.voltage > 0))
        return f;
    f.impedance = f.voltage * f.voltage / f.total;
    f.current = f.total / f.voltage;

    if (settings.amplifier) {
        const double rating = *settings.amplifier;
        if (!(rating > 0) || !std::isfinite(rating)) {
            issue(SystemSetting::Amplifier, SystemIssue::Kind::NotPositive, exactNumber(rating));
        } else {
            f.rating = rating;
            f.amplifierLoad = f.total / rating;
            f.amplifierState = amplifierStateFor(*f.amplifierLoad);
        }
    }

    // The cable: the resistance the run acts as, or nothing without a usable run.
    bool cableUsable = true;
    std::optional<double> runResistance;
    CrossSectionProblem problem = CrossSectionProblem::None;
    const std::optional<CrossSection> section = findCrossSection(settings.crossSection, &problem);
    if (!section) {
        issue(SystemSetting::CrossSection,
              problem == CrossSectionProblem::NotPositive ? SystemIssue::Kind::NotPositive
                                                          : SystemIssue::Kind::UnknownCrossSection,
              settings.crossSection);
    }
    const bool limitUsable = settings.dropLimit > 0 && std::isfinite(settings.dropLimit);
    if (!limitUsable) {
        issue(SystemSetting::DropLimit, SystemIssue::Kind::NotPositive,
              exactNumber(settings.dropLimit));
    }
    if (settings.cableLength) {
        const double length = *settings.cableLength;
        if (!(length > 0) || !std::isfinite(length)) {
            issue(SystemSetting::CableLength, SystemIssue::Kind::NotPositive, exactNumber(length));
            cableUsable = false;
        } else if (!section) {
            cableUsable = false;
        } else {
            const bool spread = settings.load == CableLoad::Spread;
            CableFigures c;
            c.length = length;
            c.crossSection = *section;
            c.spread = spread;
            c.loopResistance = loopResistance(length, section->area);
            const double acting = effectiveResistance(c.loopResistance, spread);
            runResistance = acting;
            c.drop = cableDrop(f.impedance, acting);
            c.lost = cableLoss(f.voltage, f.impedance, acting);
            if (limitUsable) {
                const double limit = settings.dropLimit;
                c.dropLimit = limit;
                // The largest resistance the run may act as within the limit.
                const double allowed = f.impedance * (std::pow(10.0, limit / 20) - 1);
                const double allowedLoop = spread ? 2 * allowed : allowed;
                c.longestRun = allowedLoop * kCopper * section->area / 2;
                for (const CrossSection& candidate : listedCrossSections()) {
                    if (candidate.awg != section->awg)
                        continue;
                    const double r =
                        effectiveResistance(loopResistance(length, candidate.area), spread);
                    if (cableDrop(f.impedance, r) <= limit) {
                        c.smallestForRun = candidate;
                        break;
                    }
                }
                c.state = dropStateFor(c.drop, limit);
            }
            f.cable = c;
        }
    }

    if (!settings.ambient)
        return f;
    const double ambient = *settings.ambient;
    bool levelUsable = cableUsable;
    if (!(ambient >= 0 && ambient <= kMaxAmbient)) {
        issue(SystemSetting::Ambient, SystemIssue::Kind::AmbientOutOfRange, exactNumber(ambient));
        levelUsable = false;
    }
    if (!std::isfinite(settings.above)) {
        issue(SystemSetting::Above, SystemIssue::Kind::NotFinite, exactNumber(settings.above));
        levelUsable = false;
    }
    if (!levelUsable || !quietestRelative1k)
        return f;

    const double required = ambient + settings.above;
    const double quietestHere = levelOffset1k(design) + *quietestRelative1k;
    const double drop = runResistance ? cableDrop(f.impedance, *runResistance) : 0;

    LevelCheck level;
    level.ambient = ambient;
    level.above = settings.above;
    level.required = required;
    level.quietest = quietestHere - drop;
    level.met = level.quietest >= required;
    level.shortBy = level.met ? 0 : required - level.quietest;
    f.level = level;

    // The nine combinations from the least power up; of equal powers the
    // higher voltage first. Each is worked out at its own load: the quietest
    // point moves with 10 log10 of the power, the drop with the impedance.
    struct Candidate {
        TapChoice taps;
        double power;
        double quietest;
    };
    std::vector<Candidate> candidates;
    for (const int divisor : kSpeakerTapDivisors) {
        for (const double volts : kLineVoltages) {
            const double power = tapPower(design.ratedPower, divisor, volts);
            const double impedance = volts * volts / (f.speakers * power);
            const double ownDrop = runResistance ? cableDrop(impedance, *runResistance) : 0;
            candidates.push_back(
                {{divisor, volts},
                 power,
                 quietestHere + 10 * std::log10(power / f.speakerPower) - ownDrop});
        }
    }
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate& a, const Candidate& b) {
                         if (std::abs(a.power - b.power) > kSamePower * std::max(a.power, b.power))
                             return a.power < b.power;
                         return a.taps.voltage > b.taps.voltage;
                     });
    TapAdvice advice;
    const auto met =
        std::find_if(candidates.begin(), candidates.end(),
                     [required](const Candidate& c) { return c.quietest >= required; });
    if (met != candidates.end()) {
        advice.taps = met->taps;
        advice.speakerPower = met->power;
        advice.quietest = met->quietest;
    } else {
        const auto loudest = std::max_element(
            candidates.begin(), candidates.end(),
            [](const Candidate& a, const Candidate& b) { return a.quietest < b.quietest; });
        advice.speakerPower = loudest->power;
        advice.quietest = loudest->quietest;
        advice.shortBy = required - loudest->quietest;
    }
    f.advice = advice;
    return f;
}

} // namespace kvx
