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

namespace {

void addIssue(SystemFigures& f, SystemSetting setting, SystemIssue::Kind kind, QString value) {
    f.issues.push_back({setting, kind, std::move(value)});
}

// The line of a total load; false when it has no load or no voltage, which
// leaves no impedance to work the rest from.
bool addLine(SystemFigures& f, double total, double voltage) {
    f.total = total;
    f.minimumAmplifier = kAmplifierMargin * f.total;
    f.voltage = voltage;
    if (!(f.total > 0) || !(f.voltage > 0))
        return false;
    f.impedance = f.voltage * f.voltage / f.total;
    f.current = f.total / f.voltage;
    return true;
}

// The load of the design's loudspeakers on its line.
bool addLoad(SystemFigures& f, const Design& design) {
    f.speakers = design.speakers;
    f.speakerPower = design.speakerPower;
    return addLine(f, f.speakers * f.speakerPower, design.lineVoltage);
}

void addAmplifier(SystemFigures& f, const SystemSettings& settings) {
    if (!settings.amplifier)
        return;
    const double rating = *settings.amplifier;
    if (!(rating > 0) || !std::isfinite(rating)) {
        addIssue(f, SystemSetting::Amplifier, SystemIssue::Kind::NotPositive, exactNumber(rating));
        return;
    }
    f.rating = rating;
    f.amplifierLoad = f.total / rating;
    f.amplifierState = amplifierStateFor(*f.amplifierLoad);
}

// The cable as the figures know it.
struct Run {
    bool usable = true;               // false: a run is given but cannot be worked out
    std::optional<double> resistance; // what the run acts as; none without a run
};

// The smallest listed cross-section of the same family whose drop stays within
// the limit on this run.
std::optional<CrossSection> smallestFor(double length, const CrossSection& family, bool spread,
                                        double impedance, double limit) {
    for (const CrossSection& candidate : listedCrossSections()) {
        if (candidate.awg != family.awg)
            continue;
        const double r = effectiveResistance(loopResistance(length, candidate.area), spread);
        if (cableDrop(impedance, r) <= limit)
            return candidate;
    }
    return std::nullopt;
}

Run addCable(SystemFigures& f, const SystemSettings& settings) {
    CrossSectionProblem problem = CrossSectionProblem::None;
    const std::optional<CrossSection> section = findCrossSection(settings.crossSection, &problem);
    if (!section) {
        addIssue(f, SystemSetting::CrossSection,
                 problem == CrossSectionProblem::NotPositive
                     ? SystemIssue::Kind::NotPositive
                     : SystemIssue::Kind::UnknownCrossSection,
                 settings.crossSection);
    }
    const bool limitUsable = settings.dropLimit > 0 && std::isfinite(settings.dropLimit);
    if (!limitUsable) {
        addIssue(f, SystemSetting::DropLimit, SystemIssue::Kind::NotPositive,
                 exactNumber(settings.dropLimit));
    }
    if (!settings.cableLength)
        return {};
    const double length = *settings.cableLength;
    if (!(length > 0) || !std::isfinite(length)) {
        addIssue(f, SystemSetting::CableLength, SystemIssue::Kind::NotPositive,
                 exactNumber(length));
        return {false, std::nullopt};
    }
    if (!section)
        return {false, std::nullopt};

    const bool spread = settings.load == CableLoad::Spread;
    CableFigures c;
    c.length = length;
    c.crossSection = *section;
    c.spread = spread;
    c.loopResistance = loopResistance(length, section->area);
    const double acting = effectiveResistance(c.loopResistance, spread);
    c.drop = cableDrop(f.impedance, acting);
    c.lost = cableLoss(f.voltage, f.impedance, acting);
    if (limitUsable) {
        const double limit = settings.dropLimit;
        c.dropLimit = limit;
        // The largest resistance the run may act as within the limit.
        const double allowed = f.impedance * (std::pow(10.0, limit / 20) - 1);
        const double allowedLoop = spread ? 2 * allowed : allowed;
        c.longestRun = allowedLoop * kCopper * section->area / 2;
        c.smallestForRun = smallestFor(length, *section, spread, f.impedance, limit);
        c.state = dropStateFor(c.drop, limit);
    }
    f.cable = c;
    return {true, acting};
}

// Whether the settings allow a level check; an issue for each that does not.
bool levelSettingsUsable(SystemFigures& f, const SystemSettings& settings) {
    const double ambient = *settings.ambient;
    bool usable = true;
    if (!(ambient >= 0 && ambient <= kMaxAmbient)) {
        addIssue(f, SystemSetting::Ambient, SystemIssue::Kind::AmbientOutOfRange,
                 exactNumber(ambient));
        usable = false;
    }
    if (!std::isfinite(settings.above)) {
        addIssue(f, SystemSetting::Above, SystemIssue::Kind::NotFinite,
                 exactNumber(settings.above));
        usable = false;
    }
    return usable;
}

void addLevel(SystemFigures& f, const SystemSettings& settings, const Run& run,
              double quietestHere) {
    const double drop = run.resistance ? cableDrop(f.impedance, *run.resistance) : 0;
    f.level = levelCheckFor(*settings.ambient, settings.above, quietestHere - drop);
}

// The least taps that still meet the required level. The nine combinations
// from the least power up; of equal powers the higher voltage first. Each is
// worked out at its own load: the quietest point moves with 10 log10 of the
// power, the drop with the impedance.
void addAdvice(SystemFigures& f, const Design& design, const Run& run, double quietestHere) {
    // Without a rated power no tap gives a power to compare.
    if (!(design.ratedPower > 0) || !std::isfinite(design.ratedPower))
        return;
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
            const double ownDrop = run.resistance ? cableDrop(impedance, *run.resistance) : 0;
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
    const double required = f.level->required;
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
}

} // namespace

LevelCheck levelCheckFor(double ambient, double above, double quietest) {
    LevelCheck level;
    level.ambient = ambient;
    level.above = above;
    level.required = ambient + above;
    level.quietest = quietest;
    level.met = level.quietest >= level.required;
    level.shortBy = level.met ? 0 : level.required - level.quietest;
    return level;
}

SystemFigures lineFiguresFor(double total, double voltage, const SystemSettings& settings) {
    SystemFigures f;
    if (!addLine(f, total, voltage))
        return f;
    addAmplifier(f, settings);
    addCable(f, settings);
    return f;
}

SystemFigures systemFiguresFor(const Design& design, const SystemSettings& settings,
                               std::optional<double> quietestRelative1k) {
    SystemFigures f;
    if (!addLoad(f, design))
        return f;
    addAmplifier(f, settings);
    const Run run = addCable(f, settings);
    if (!settings.ambient)
        return f;
    const bool levelUsable = levelSettingsUsable(f, settings) && run.usable;
    if (!levelUsable || !quietestRelative1k)
        return f;
    const double quietestHere = levelOffset1k(design) + *quietestRelative1k;
    addLevel(f, settings, run, quietestHere);
    addAdvice(f, design, run, quietestHere);
    return f;
}

} // namespace kvx
