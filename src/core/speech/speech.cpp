#include "core/speech/speech.h"

#include "core/base/numbers.h"
#include "core/base/vector_state.h"
#include "core/system/system.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace kvx {

namespace {

// Sabine's constant, s/m.
constexpr double kSabine = 0.161;
// The apparent signal-to-noise ratio is held to this many dB either way.
constexpr double kSnrLimit = 15;
// The modulation transfers beyond which the apparent S/N is held:
// m / (1 - m) = 10^(+-15 / 10).
const double kHeldAbove = std::pow(10.0, kSnrLimit / 10) / (1 + std::pow(10.0, kSnrLimit / 10));
const double kHeldBelow = 1 - kHeldAbove;
// A point or a mean that reaches the target but for the last bits of the
// sums still reaches it.
constexpr double kStiTolerance = 1e-9;

double energy(double level) {
    return std::exp(level * (std::numbers::ln10 / 10));
}

} // namespace

double roomVolume(double length, double width, double height) {
    return length * width * height;
}

double roomSurface(double length, double width, double height) {
    return 2 * (length * width + length * height + width * height);
}

double sabineAbsorption(double volume, double surface, double reverberation) {
    return kSabine * volume / (surface * reverberation);
}

double shortestReverberation(double volume, double surface) {
    return kSabine * volume / surface;
}

double roomConstant(double surface, double absorption) {
    return surface * absorption / (1 - absorption);
}

double coneDirectivity(double thetaHalf) {
    return 2 / (1 - std::cos(std::min(thetaHalf, std::numbers::pi)));
}

double soundPowerLevel(double sensitivity, double power, double q) {
    return sensitivity + 10 * std::log10(power) + 11 - 10 * std::log10(q);
}

double reverberantLevel(qint64 count, double powerLevel, double roomConstant) {
    return 10 * std::log10(double(count)) + powerLevel + 10 * std::log10(4 / roomConstant);
}

double criticalDistance(double q, double roomConstant) {
    return std::sqrt(q * roomConstant / (16 * std::numbers::pi));
}

StiModel::StiModel(double reverberant, double noise, double reverberation)
    : m_reverberant(reverberant)
    , m_noise(noise) {
    for (size_t k = 0; k < kModulationFrequencies.size(); ++k) {
        const double x = 2 * std::numbers::pi * kModulationFrequencies[k] * reverberation / 13.8;
        m_real[k] = 1 / (1 + x * x);
        m_imaginary[k] = x / (1 + x * x);
    }
}

double StiModel::operator()(double direct) const {
    const double total = direct + m_reverberant + m_noise;
    if (!(total > 0))
        return 0;
    // The sum of the indices needs the sum of the unheld S/N ratios, which is
    // the logarithm of their product: one logarithm per point instead of 14.
    // The products of m and 1 - m stay within 0.03^14 and 1.
    const double inverse = 1 / total;
    double held = 0; // dB
    double signal = 1;
    double noise = 1;
    for (size_t k = 0; k < kModulationFrequencies.size(); ++k) {
        const double real = direct + m_reverberant * m_real[k];
        const double imaginary = m_reverberant * m_imaginary[k];
        const double m = std::sqrt(real * real + imaginary * imaginary) * inverse;
        if (m >= kHeldAbove) {
            held += kSnrLimit;
        } else if (m <= kHeldBelow) {
            held -= kSnrLimit;
        } else {
            signal *= m;
            noise *= 1 - m;
        }
    }
    const double count = double(kModulationFrequencies.size());
    const double snr = held + 10 * std::log10(signal / noise);
    return (snr + count * kSnrLimit) / (count * 2 * kSnrLimit);
}

double stiFor(double direct, double reverberant, double noise, double reverberation) {
    return StiModel(reverberant, noise, reverberation)(direct);
}

SpeechModel speechModelFor(const Design& design, const Layout& layout,
                           const SpeechSettings& settings, std::optional<double> ambient) {
    SpeechModel model;
    model.volume = roomVolume(design.length, design.width, design.roomHeight);
    model.surface = roomSurface(design.length, design.width, design.roomHeight);
    model.count = layout.count();
    model.q = coneDirectivity(design.thetaHalf1);
    model.powerLevel = soundPowerLevel(design.sensitivity, design.speakerPower, model.q);

    if (settings.reverberation) {
        const double t = *settings.reverberation;
        if (!(t > 0) || !std::isfinite(t)) {
            model.issues.push_back(
                {SpeechSetting::Reverberation, SpeechIssue::Kind::NotPositive, exactNumber(t)});
        } else {
            model.reverberation = t;
            const double absorption = sabineAbsorption(model.volume, model.surface, t);
            if (absorption >= 1) {
                model.shortestReverberation = shortestReverberation(model.volume, model.surface);
            } else if (absorption > 0) {
                model.absorption = absorption;
                model.roomConstant = roomConstant(model.surface, absorption);
                model.reverberantLevel =
                    reverberantLevel(model.count, model.powerLevel, *model.roomConstant);
                model.criticalDistance = criticalDistance(model.q, *model.roomConstant);
            }
        }
    }
    if (ambient) {
        if (!(*ambient >= 0 && *ambient <= kMaxAmbient)) {
            model.issues.push_back({SpeechSetting::Ambient, SpeechIssue::Kind::AmbientOutOfRange,
                                    exactNumber(*ambient)});
            model.ambientUsable = false;
        } else {
            model.ambient = ambient;
        }
    }
    if (settings.target >= 0 && settings.target <= 1) {
        model.target = settings.target;
    } else {
        model.issues.push_back({SpeechSetting::Target, SpeechIssue::Kind::TargetOutOfRange,
                                exactNumber(settings.target)});
    }
    return model;
}

std::optional<double> StiMap::at(qsizetype ix, qsizetype iy) const {
    if (empty())
        return std::nullopt;
    const double value = sti[size_t(iy * qsizetype(x.size()) + ix)];
    if (std::isnan(value))
        return std::nullopt;
    return value;
}

std::optional<double> StiMap::near(QPointF point) const {
    if (empty() || x.size() < 2 || y.size() < 2)
        return std::nullopt;
    const double length = x.back();
    const double width = y.back();
    if (!(point.x() >= 0 && point.x() <= length && point.y() >= 0 && point.y() <= width))
        return std::nullopt;
    const auto ix = qsizetype(std::lround(point.x() / length * double(x.size() - 1)));
    const auto iy = qsizetype(std::lround(point.y() / width * double(y.size() - 1)));
    return at(ix, iy);
}

QJsonArray stiRows(const StiMap& map) {
    QJsonArray rows;
    if (map.empty())
        return rows;
    const size_t columns = map.x.size();
    for (size_t iy = 0; iy < map.y.size(); ++iy) {
        QJsonArray row;
        for (size_t ix = 0; ix < columns; ++ix) {
            const double value = map.sti[iy * columns + ix];
            row.append(std::isnan(value) ? QJsonValue() : QJsonValue(value));
        }
        rows.append(row);
    }
    return rows;
}

StiMap stiMapFor(const CoverageMap& coverage, const SpeechModel& model) {
    StiMap map;
    if (!coverage.hasLevels() || !model.estimates())
        return map;
    map.samples = coverage.samples;
    map.margin = coverage.margin;
    map.x = coverage.x;
    map.y = coverage.y;
    const qsizetype columns = qsizetype(map.x.size());
    const qsizetype rows = qsizetype(map.y.size());
    map.sti.assign(size_t(columns * rows), std::numeric_limits<double>::quiet_NaN());

    // Energies relative to the reverberant one, which is the same everywhere.
    const double reverberant = *model.reverberantLevel;
    const double noise = model.ambient ? energy(*model.ambient - reverberant) : 0;
    const StiModel sti(1, noise, *model.reverberation);
    const double directOffset = coverage.offset1k - reverberant;
    const std::vector<double>& level = coverage.level[size_t(Band::K1)];
    // The STI depends on the level alone: a point whose mirror image across a
    // centre line has the very same level takes its value instead of working
    // it again (a room's map is symmetric, so most points do).
    for (qsizetype iy = 0; iy < rows; ++iy) {
        const qsizetype mirrorY = rows - 1 - iy;
        for (qsizetype ix = 0; ix < columns; ++ix) {
            if (!coverage.inListenerArea(ix, iy))
                continue;
            const size_t here = size_t(iy * columns + ix);
            const double value = level[here];
            const qsizetype mirrorX = columns - 1 - ix;
            if (mirrorX < ix && level[size_t(iy * columns + mirrorX)] == value &&
                !std::isnan(map.sti[size_t(iy * columns + mirrorX)])) {
                map.sti[here] = map.sti[size_t(iy * columns + mirrorX)];
            } else if (mirrorY < iy && level[size_t(mirrorY * columns + ix)] == value &&
                       !std::isnan(map.sti[size_t(mirrorY * columns + ix)])) {
                map.sti[here] = map.sti[size_t(mirrorY * columns + ix)];
            } else {
                map.sti[here] = sti(energy(directOffset + value));
            }
        }
    }
    return map;
}

StiFigures stiFiguresFor(const StiMap& map, std::optional<double> target) {
    StiFigures f;
    f.min = std::numeric_limits<double>::infinity();
    f.max = -std::numeric_limits<double>::infinity();
    double sum = 0;
    double points = 0;
    double atTarget = 0;
    for (const double value : map.sti) {
        if (std::isnan(value))
            continue;
        sum += value;
        points += 1;
        f.min = std::min(f.min, value);
        f.max = std::max(f.max, value);
        if (target && value >= *target - kStiTolerance)
            atTarget += 1;
    }
    f.mean = sum / points;
    if (target) {
        f.shareAtTarget = atTarget / points;
        f.met = f.mean >= *target - kStiTolerance;
    }
    return f;
}

Speech speechFor(const Design& design, const Layout& layout, const CoverageMap& coverage,
                 const SpeechSettings& settings, std::optional<double> ambient) {
    Speech speech;
    speech.figures.model = speechModelFor(design, layout, settings, ambient);
    const SpeechModel& model = speech.figures.model;
    if (!model.estimates())
        return speech;
    if (!coverage.hasLevels()) {
        speech.figures.mapTooLarge = true;
        return speech;
    }
    clearUpperVectorState();
    speech.map = stiMapFor(coverage, model);
    speech.figures.sti = stiFiguresFor(speech.map, model.target);
    return speech;
}

} // namespace kvx
