#pragma once

// How the loudspeakers hang: the pattern of the lattice and how its columns
// and rows are fitted into a room. The square grid with the nearest count is
// what the calculation has always assumed and stays the default.

#include <QString>

#include <optional>

namespace kvx {

enum class Pattern {
    Square, // loudspeakers at the corners of squares of side d
    Offset, // every other row shifted by half a spacing: triangles of side d
};

enum class Fit {
    Nearest, // columns and rows rounded to the nearest whole number
    Spacing, // rounded up, so that the room is never laid out wider than d
};

struct LayoutSettings {
    Pattern pattern = Pattern::Square;
    Fit fit = Fit::Nearest;
    bool isDefault() const { return pattern == Pattern::Square && fit == Fit::Nearest; }
    bool operator==(const LayoutSettings&) const = default;
};

// The words that stand for a setting in project files, on the command line and
// in JSON ("square", "offset", "nearest", "spacing"), and back (exactly as
// written, nothing for any other word).
QString patternToken(Pattern pattern);
QString fitToken(Fit fit);
std::optional<Pattern> patternFromToken(const QString& token);
std::optional<Fit> fitFromToken(const QString& token);

} // namespace kvx
