#include "core/system/listener_level.h"

#include "core/plan/coverage.h"

namespace kvx {

std::optional<double> quietestRelative1k(const Design& design, double margin) {
    if (!design.usable())
        return std::nullopt;
    const Layout layout = layoutFor(design);
    if (layout.count() <= 0)
        return std::nullopt;
    try {
        return coverageFor(design, layout, {0, margin}).band(Band::K1).min;
    } catch (const CoverageError&) {
        // A margin that leaves no listener area, or a room too large for a
        // map: without a quietest point there is no level check.
        return std::nullopt;
    }
}

} // namespace kvx
