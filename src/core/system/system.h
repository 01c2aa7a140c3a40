#pragma once

// System sizing: what a calculated design asks of the amplifier, the line and
// the cable, whether the quietest listener stays far enough above the room's
// noise, and which taps are the least that still do. Everything here is a
// pure function of a Design, the settings and the quietest relative 1 kHz
// level of the listener area (from the coverage map):
//
//   Design + SystemSettings + quietest --systemFiguresFor--> SystemFigures
//
// A setting that is out of range gives a SystemIssue naming it; the figures
// that need it are left out and the others still come.

#include "core/calc/design.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace kvx {

enum class CableLoad { FarEnd, Spread };

// The loudest ambient noise a setting may hold, dB(A) (the quietest is 0):
// the System and Speech pages check the one setting against the same range.
constexpr double kMaxAmbient = 140;

struct SystemSettings {
    std::optional<double> ambient;     // the room's noise, dB(A); none: no level check
    double above = 15;                 // how far the quietest listener must be above it, dB
    std::optional<double> amplifier;   // rated power of the amplifier, W
    std::optional<double> cableLength; // amplifier to the farthest loudspeaker, m
    QString crossSection = QStringLiteral("1.5"); // a listed name: "1.5" (mm2) or "14AWG"
    CableLoad load = CableLoad::FarEnd;
    double dropLimit = 0.5; // dB

    bool isDefault() const { return *this == SystemSettings{}; }
    bool operator==(const SystemSettings&) const = default;
};

// A listed copper cross-section.
struct CrossSection {
    QString name; // "0.75", "1", ... or "18AWG", ...
    double area;  // mm2
    bool awg;
};

// The listed cross-sections, mm2 sizes first, each family from thin to thick.
const std::vector<CrossSection>& listedCrossSections();

enum class CrossSectionProblem { None, NotPositive, Unknown };
// The listed cross-section a text names ("1.5", "1,5", "1.5 mm2", "14AWG",
// "14 awg"); nothing with the reason when it names none.
std::optional<CrossSection> findCrossSection(const QString& text,
                                             CrossSectionProblem* problem = nullptr);

enum class SystemSetting { Ambient, Above, Amplifier, CableLength, CrossSection, DropLimit };

// A setting that cannot be used; the figures that need it are left out.
struct SystemIssue {
    enum class Kind {
        AmbientOutOfRange,   // ambient below 0 or above 140 dB, or not finite
        NotFinite,           // above ambient not a finite number
        NotPositive,         // amplifier, cable length, cross-section or drop limit <= 0
        UnknownCrossSection, // a name that is not one of the listed cross-sections
    };
    SystemSetting setting;
    Kind kind;
    QString value; // the setting as given, for the message
};

enum class AmplifierState { Fine, Tight, Overloaded };
enum class DropState { Green, Amber, Red };

struct CableFigures {
    double length = 0;
    CrossSection crossSection;
    bool spread = false;
    double loopResistance = 0; // both conductors, ohm
    double drop = 0;           // level drop at the loudspeakers, positive dB
    double lost = 0;           // power lost in the cable, W
    // Nothing when the drop limit is not usable.
    std::optional<double> dropLimit;
    std::optional<double> longestRun;           // m, at this cross-section
    std::optional<CrossSection> smallestForRun; // of the same family; none when none fits
    std::optional<DropState> state;
};

struct LevelCheck {
    double ambient = 0;
    double above = 0;
    double required = 0;
    double quietest = 0; // absolute dB at 1 kHz after the cable drop
    bool met = false;
    double shortBy = 0; // 0 when met
};

// One of the nine tap combinations.
struct TapChoice {
    int divisor = 1;              // the speaker tap 1/divisor P
    double voltage = 100;         // the amplifier tap
    QString speakerTap() const;   // "1/4 P"
    QString amplifierTap() const; // "100 V"
};

struct TapAdvice {
    std::optional<TapChoice> taps; // none when even the loudest falls short
    double speakerPower = 0;       // of the advised taps, else of the loudest
    double quietest = 0;           // absolute dB after its own cable drop
    double shortBy = 0;            // 0 when taps are advised
};

struct SystemFigures {
    qint32 speakers = 0;
    double speakerPower = 0;
    double total = 0; // the load on the line, W

    double minimumAmplifier = 0;
    std::optional<double> rating;
    std::optional<double> amplifierLoad; // a fraction
    std::optional<AmplifierState> amplifierState;

    double voltage = 0;
    double impedance = 0; // ohm
    double current = 0;   // A

    std::optional<CableFigures> cable;
    std::optional<LevelCheck> level;
    std::optional<TapAdvice> advice;
    std::vector<SystemIssue> issues;
};

// The state of an amplifier carrying load (a fraction of its rating).
AmplifierState amplifierStateFor(double load);
// Loop resistance of a run of length (m) at a cross-section (mm2), copper.
double loopResistance(double length, double area);
// Level drop (positive dB) and lost power (W) of a line at voltage, load impedance
// and the resistance the run acts as.
double cableDrop(double impedance, double resistance);
double cableLoss(double voltage, double impedance, double resistance);
DropState dropStateFor(double drop, double limit);

// The level check: the quietest point (absolute dB at 1 kHz, after the cable
// drop) against the required ambient + above.
LevelCheck levelCheckFor(double ambient, double above, double quietest);

// The figures of a line that carries a total load (W) at a voltage: the
// minimum amplifier, the amplifier's load and state, the line's impedance and
// current, and the cable, as systemFiguresFor gives them for one design's
// load; no speakers, level check or advice. A building's zone is such a line,
// its rooms' loads added up. Without a load there is no impedance, current,
// amplifier load or cable.
SystemFigures lineFiguresFor(double total, double voltage, const SystemSettings& settings);

// The figures of a usable design (Design::usable()). quietestRelative1k is
// the quietest point of the listener area at 1 kHz in dB re one loudspeaker
// overhead; without it there is no level check and no advice.
SystemFigures systemFiguresFor(const Design& design, const SystemSettings& settings,
                               std::optional<double> quietestRelative1k);

} // namespace kvx
