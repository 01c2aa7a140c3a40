#pragma once

// Speech: an estimate of the speech transmission index (STI) over the listener
// area, from a statistical room model (Sabine absorption, one reverberation
// time, a diffuse reverberant field) and the direct sound that the coverage map
// already gives. Everything here is a pure function of values:
//
//   Design + Layout + SpeechSettings + ambient --speechModelFor--> SpeechModel
//   SpeechModel + CoverageMap (1 kHz) --stiMapFor--> StiMap --stiFiguresFor--> StiFigures
//   all of it at once: speechFor --> Speech (SpeechFigures + StiMap)
//
// The STI map reads the coverage map made for the page (never a second one)
// and costs a constant per sample point. A setting that cannot be used gives a
// SpeechIssue naming it; the figures that need it are left out, the others come.

#include "core/calc/design.h"
#include "core/plan/coverage.h"
#include "core/plan/layout.h"

#include <QJsonArray>
#include <QPointF>
#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace kvx {

struct SpeechSettings {
    std::optional<double> reverberation; // T in s (mid frequencies); none: no speech figures
    double target = 0.5;                 // the STI the design should reach

    bool isDefault() const { return *this == SpeechSettings{}; }
    bool operator==(const SpeechSettings&) const = default;
};

// The ambient noise is the System page's setting (SystemSettings::ambient),
// passed beside these.
enum class SpeechSetting { Reverberation, Ambient, Target };

// A setting that cannot be used; the figures that need it are left out.
struct SpeechIssue {
    enum class Kind {
        NotPositive,       // reverberation time <= 0 or not finite
        AmbientOutOfRange, // ambient outside the System page's range, or not finite
        TargetOutOfRange,  // target below 0, above 1 or not finite
    };
    SpeechSetting setting;
    Kind kind;
    QString value; // the setting as given, for the message
};

// The modulation frequencies of the STI, Hz.
inline constexpr std::array<double, 14> kModulationFrequencies = {
    0.63, 0.8, 1, 1.25, 1.6, 2, 2.5, 3.15, 4, 5, 6.3, 8, 10, 12.5};

// The model's parts, each as the contract defines it. Volumes in m3, surfaces
// in m2, times in s, levels in dB, angles in radians.
double roomVolume(double length, double width, double height);
double roomSurface(double length, double width, double height);
// Sabine's mean absorption; 1 or more means the time is too short for the room.
double sabineAbsorption(double volume, double surface, double reverberation);
// The reverberation time of a room that absorbs everything (mean absorption 1).
double shortestReverberation(double volume, double surface);
double roomConstant(double surface, double absorption);
// Q of a cone of half opening angle thetaHalf; above pi it counts as pi.
double coneDirectivity(double thetaHalf);
// Sound power level of one loudspeaker: Sens + 10 log10 P + 11 - 10 log10 Q.
double soundPowerLevel(double sensitivity, double power, double q);
// The diffuse level of count loudspeakers, the same at every point.
double reverberantLevel(qint64 count, double powerLevel, double roomConstant);
// Where the direct sound of one loudspeaker equals the reverberant sound, m.
double criticalDistance(double q, double roomConstant);

// The STI of given energies (any common unit) with reverberation time T: per
// modulation frequency F, x = 2 pi F T / 13.8, the modulation transfer
// m = |D + R / (1 + jx)| / (D + R + N), its apparent S/N 10 log10(m / (1 - m))
// held to -15..+15 dB (m = 1 gives +15), the transmission index (S/N + 15) / 30;
// the STI is the mean index. Precomputes what does not depend on the direct
// energy, so that a map costs a constant per point.
class StiModel {
public:
    StiModel(double reverberant, double noise, double reverberation);
    double operator()(double direct) const;

private:
    double m_reverberant;
    double m_noise;
    // Per modulation frequency: 1 / (1 + x^2) and x / (1 + x^2).
    std::array<double, kModulationFrequencies.size()> m_real{};
    std::array<double, kModulationFrequencies.size()> m_imaginary{};
};

double stiFor(double direct, double reverberant, double noise, double reverberation);

// What the STI map needs besides the coverage map, and the figures that do not
// depend on a point.
struct SpeechModel {
    // These need no setting.
    double volume = 0;
    double surface = 0;
    qint64 count = 0;
    double q = 0;
    double powerLevel = 0; // Lw of one loudspeaker
    // With a usable reverberation time that the room allows.
    std::optional<double> absorption;
    std::optional<double> roomConstant;     // m2
    std::optional<double> reverberantLevel; // Lr
    std::optional<double> criticalDistance; // m
    // The reverberation time is shorter than the room allows: the shortest it
    // can be, s. There are no figures then.
    std::optional<double> shortestReverberation;
    std::optional<double> reverberation; // as given, when above zero
    std::optional<double> ambient;       // as used; none: no noise
    std::optional<double> target;        // as used
    bool ambientUsable = true;
    std::vector<SpeechIssue> issues;

    // Whether the STI can be estimated: a usable reverberation time that the
    // room allows and a usable ambient (or none).
    bool estimates() const { return reverberantLevel.has_value() && ambientUsable; }
};

// The model of a usable design and its layout (count > 0). ambient is the
// System page's setting.
SpeechModel speechModelFor(const Design& design, const Layout& layout,
                           const SpeechSettings& settings, std::optional<double> ambient);

// The STI over the coverage map's grid: NaN outside the listener area.
struct StiMap {
    int samples = 0;
    double margin = 0;
    std::vector<double> x; // the coverage map's sample coordinates
    std::vector<double> y;
    std::vector<double> sti; // row by row (index iy * x.size() + ix)

    bool empty() const { return sti.empty(); }
    // The STI at sample (ix, iy); nothing outside the listener area.
    std::optional<double> at(qsizetype ix, qsizetype iy) const;
    // The STI at a point of the room (nearest sample), for the value under
    // the pointer; nothing outside the listener area or the room.
    std::optional<double> near(QPointF point) const;
};

// The map as JSON: one array per y, a number per x, null outside the
// listener area; numbers unrounded.
QJsonArray stiRows(const StiMap& map);

// The map of a model that estimates(), from the coverage map's 1 kHz levels;
// empty when the coverage map holds no levels (a room too large for a map).
StiMap stiMapFor(const CoverageMap& coverage, const SpeechModel& model);

struct StiFigures {
    double mean = 0;
    double min = 0;
    double max = 0;
    // With a usable target.
    std::optional<double> shareAtTarget; // fraction of the listener area's points
    std::optional<bool> met;             // the mean at or above the target
};

// The figures of a map that is not empty; target none leaves out the share
// and the verdict.
StiFigures stiFiguresFor(const StiMap& map, std::optional<double> target);

struct SpeechFigures {
    SpeechModel model;
    std::optional<StiFigures> sti;
    // The coverage map holds no levels, so there is no STI map.
    bool mapTooLarge = false;
};

struct Speech {
    SpeechFigures figures;
    StiMap map;
};

// Everything the Speech page, the design PDF and kvx-cli speech show, from
// the coverage map already made for the design and margin.
Speech speechFor(const Design& design, const Layout& layout, const CoverageMap& coverage,
                 const SpeechSettings& settings, std::optional<double> ambient);

} // namespace kvx
