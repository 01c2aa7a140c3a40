#pragma once

// The coverage map of a layout: the level at every sample point of the
// listening plane, summed exactly over every loudspeaker of the room, in two
// bands, and the figures of the listener area. See layout.h for the flow.

#include "core/plan/layout.h"

#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace kvx {

enum class Band { K1 = 0, K4 = 1 }; // 1 kHz and 4 kHz

// Figures over the listener area: levels in dB re one loudspeaker overhead,
// shares as fractions of the listener area's points.
struct BandFigures {
    double max = 0;
    double min = 0;
    double spread = 0;    // max - min
    double withinSet = 0; // within the set 4 kHz difference of the maximum
    double within1 = 0;   // within 1, 2 and 3 dB of the maximum
    double within2 = 0;
    double within3 = 0;
};

struct CoverageOptions {
    int samples = 0;   // samples per spacing on each axis, even; 0 picks the default
    double margin = 0; // the listener area keeps this far from every wall, m
};

// The default samples per spacing: the smallest even m >= 2 that gives at
// least 200 samples along the longer side, at most 64.
int defaultSamples(const Layout& layout);

// The samples of the listener area: columns firstX..lastX, rows firstY..lastY
// of the map's grid (the points at least the margin from every wall).
struct ListenerArea {
    qint64 firstX = 0;
    qint64 lastX = 0;
    qint64 firstY = 0;
    qint64 lastY = 0;

    bool contains(qint64 ix, qint64 iy) const {
        return ix >= firstX && ix <= lastX && iy >= firstY && iy <= lastY;
    }
};

struct CoverageMap {
    int samples = 0;             // as used: fewer than asked when a map would not fit in memory
    bool samplesLowered = false; // samples were asked for and fewer were used
    double margin = 0;
    ListenerArea area; // the figures are made over these samples
    // The absolute 1 kHz level of a relative level of 0 dB:
    // S + 10 log10 P - 20 log10 h.
    double offset1k = 0;
    std::vector<double> x; // sample coordinates, columns * samples + 1 of them
    std::vector<double> y; // rows * samples + 1
    // Relative levels in dB, row by row (index iy * x.size() + ix), per band.
    // Empty when the layout is too large to hold a map (the figures still
    // come); x and y are then empty as well.
    std::array<std::vector<double>, 2> level;
    std::array<BandFigures, 2> figures;

    const BandFigures& band(Band b) const { return figures[size_t(b)]; }
    bool hasLevels() const { return !level[0].empty(); }
    double levelAt(Band b, qsizetype ix, qsizetype iy) const {
        return level[size_t(b)][size_t(iy * x.size() + ix)];
    }
    bool inListenerArea(qsizetype ix, qsizetype iy) const { return area.contains(ix, iy); }
    // The level at a point of the room (nearest sample), for the value under
    // the pointer; nothing outside the room or without levels.
    std::optional<double> levelNear(Band b, QPointF point) const;
};

// A coverage map that cannot be made, with the message that says why
// (a negative margin, a margin that leaves no listener area, odd samples).
struct CoverageError {
    QString message; // in English; textId gives it in the user's language
    int textId = 0;
};

// The string-table ids (English block) of the plan's own texts.
namespace PlanText {
constexpr int CalculateFirst = 1200; // no results: cleared, refused or never calculated
constexpr int NegativeMargin = 1201;
constexpr int NoListenerArea = 1202;     // the margin leaves no sample point
constexpr int OddSamples = 1203;         // samples per spacing not an even number >= 2
constexpr int TooLargeForMap = 1204;     // even 2 samples per spacing would not fit in memory
constexpr int DirectLevelDiffers = 1205; // why the map's level is not the direct level
constexpr int TooManyToDraw = 1206;      // more than kMaxPlannedSpeakers
constexpr int SamplesLowered = 1207;     // the map took fewer samples than asked to fit in memory
constexpr int NoPositions = 1294;        // more than kMaxPlannedSpeakers: no positions to list
} // namespace PlanText

// The words for the reference of a level, one text each, so that the window
// and kvx-cli name the same reference the same way.
namespace LevelReference {
constexpr int OneOverhead = 1530; // relative: dB re one loudspeaker overhead
constexpr int DirectSpl = 1531;   // absolute 1 kHz: the direct sound's level, dB SPL
constexpr int MapMaximum = 1532;  // relative to the map's own maximum (the 4 kHz map shown)
constexpr int LevelsIn = 1533;    // "Levels in %1": a band's figures name their reference
constexpr int LegendTitle = 1534; // "Level at %1 (%2)": the band and its reference
} // namespace LevelReference

// The map of a layout with a positive count. Throws CoverageError.
CoverageMap coverageFor(const Design& design, const Layout& layout,
                        const CoverageOptions& options = {});

// The relative level (dB re one loudspeaker overhead) at one point, summed
// directly over every loudspeaker: the reference the fast map is checked against.
double directLevelAt(const Design& design, const Layout& layout, Band band, QPointF point);

} // namespace kvx
