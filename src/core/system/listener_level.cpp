#include "core/system/listener_level.h"

#include "core/plan/coverage.h"

namespace kvx {

std::optional<double> quietestRelative1k(const Design& design) {
    if (!design.usable())
        return std::nullopt;
    const Layout layout = layoutFor(design);
    if (layout.count() <= 0)
        return std::nullopt;
    try {
        return coverageFor(design, layout).band(Band::K1).min;
    } catch (const CoverageError&) {
        // Only a margin or sample count the caller picked can fail, and the
        // defaults are always good; a design without a map has no level check.
        return std::nullopt;
    }
}

} // namespace kvx
