#include "core/system/listener_level.h"

#include "core/calc/sound.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kvx {

namespace {

// Beyond this many loudspeakers only the corners and the middles of the walls
// are summed: the quietest point of a lattice lies on the walls, and the full
// sum costs points times loudspeakers.
constexpr qint64 kFullSumSpeakers = 400;

} // namespace

std::optional<double> quietestRelative1k(const Design& design) {
    if (!design.usable() || design.grid.count() <= 0 || design.h <= 0)
        return std::nullopt;
    const qint64 columns = design.grid.columns;
    const qint64 rows = design.grid.rows;
    const double sx = design.length / double(columns);
    const double sy = design.width / double(rows);
    const auto intensityAt = [&](double x, double y) {
        double sum = 0;
        for (qint64 j = 0; j < rows; ++j) {
            for (qint64 i = 0; i < columns; ++i) {
                const double dx = (double(i) + 0.5) * sx - x;
                const double dy = (double(j) + 0.5) * sy - y;
                const double g =
                    Directivity(std::atan(std::hypot(dx, dy) / design.h), design.thetaHalf1);
                sum += g * g;
            }
        }
        return sum;
    };

    double least = std::numeric_limits<double>::infinity();
    if (design.grid.count() <= kFullSumSpeakers) {
        // Samples at the walls, below the loudspeakers and halfway between them.
        for (qint64 l = 0; l <= 2 * rows; ++l) {
            for (qint64 k = 0; k <= 2 * columns; ++k)
                least = std::min(least, intensityAt(double(k) * sx / 2, double(l) * sy / 2));
        }
    } else {
        for (const double x : {0.0, design.length / 2, design.length}) {
            for (const double y : {0.0, design.width / 2, design.width})
                least = std::min(least, intensityAt(x, y));
        }
    }
    if (!(least > 0) || !std::isfinite(least))
        return std::nullopt;
    return 10 * std::log10(least);
}

} // namespace kvx
