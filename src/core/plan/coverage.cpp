#include "core/plan/coverage.h"

#include "core/base/string_table.h"
#include "core/base/vector_state.h"
#include "core/calc/sound.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kvx {

namespace {

// Memory bounds: a map beyond kMaxStoredPoints samples per band is not kept
// (its figures are still computed), no kernel table beyond kMaxKernelEntries
// is built, and every array a map allocates (Grid::bytes) stays within
// kMaxMapBytes whatever the count or the shape of the room.
constexpr double kMaxStoredPoints = 8'000'000;
constexpr double kMaxKernelEntries = 32'000'000;
constexpr double kMaxMapBytes = 512'000'000;
constexpr int kMaxDefaultSamples = 64;
constexpr int kMinSamplesAlongLongerSide = 200;
// Sample coordinates and levels are sums of rounded terms: a sample on the
// margin or on a share's boundary must not drop out by the last bit.
constexpr double kLengthTolerance = 1e-9;
constexpr double kLevelTolerance = 1e-9;

[[noreturn]] void refuse(int textId) {
    throw CoverageError{StringTable::builtIn().text(textId), textId};
}

// g^2 of one loudspeaker as a function of the squared horizontal distance:
// the model's Directivity with its constant terms taken out of the loop.
class Kernel {
public:
    Kernel(double h, double thetaHalf)
        : m_h(h)
        , m_thetaHalf(thetaHalf) {
        double c = 0.2804 * std::log(thetaHalf * 180 / kPi) - 0.7323;
        if (c > 0.5)
            c = 0.5;
        const double r = (0.5 - c) / (1 - c);
        m_c = c;
        m_lnR = std::log(r);
        m_fast = std::isfinite(c) && r > 0 && std::isfinite(m_lnR) && thetaHalf > 0;
    }

    double operator()(double r2) const {
        const double t = std::sqrt(r2) / m_h;
        const double theta = std::atan(t);
        if (!m_fast) {
            const double g = Directivity(theta, m_thetaHalf);
            return g * g;
        }
        const double ratio = theta / m_thetaHalf;
        const double g = (m_c + (1 - m_c) * std::exp(ratio * ratio * m_lnR)) / std::sqrt(1 + t * t);
        return g * g;
    }

private:
    double m_h;
    double m_thetaHalf;
    double m_c = 0;
    double m_lnR = 0;
    bool m_fast = false;
};

// A run of offsets lo, lo + m, ..., hi (in samples) from a sample to the
// loudspeakers of one side of it; empty when lo > hi.
struct Run {
    qint64 lo = 0;
    qint64 hi = -1;
    bool empty() const { return lo > hi; }
};

// The offsets from sample k to n loudspeakers of one axis at samples
// first + i * step, folded to their absolute values: those at or before the
// sample and those after it.
std::array<Run, 2> runsFor(qint64 k, qint64 first, qint64 n, qint64 step) {
    const qint64 last = k >= first ? std::min(n - 1, (k - first) / step) : -1;
    std::array<Run, 2> runs;
    if (last >= 0)
        runs[0] = {k - first - last * step, k - first};
    if (last + 1 <= n - 1)
        runs[1] = {first + (last + 1) * step - k, first + (n - 1) * step - k};
    return runs;
}

// The kernel over one quadrant of offsets (a, b) >= 0, turned into prefix sums
// along the sub-lattices of step stepA in a and stepB in b, so that the sum
// over any run of offsets of one residue class is four lookups.
class KernelSums {
public:
    KernelSums(const Kernel& kernel, qint64 sizeA, qint64 sizeB, double unitX, double unitY,
               qint64 stepA, qint64 stepB)
        : m_sizeA(sizeA)
        , m_stepA(stepA)
        , m_stepB(stepB)
        , m_sums(size_t(sizeA * sizeB)) {
        std::vector<double> dx2(static_cast<size_t>(sizeA));
        for (qint64 a = 0; a < sizeA; ++a)
            dx2[size_t(a)] = (double(a) * unitX) * (double(a) * unitX);
        for (qint64 b = 0; b < sizeB; ++b) {
            const double dy = double(b) * unitY;
            double* row = &m_sums[size_t(b * sizeA)];
            for (qint64 a = 0; a < sizeA; ++a)
                row[a] = kernel(dx2[size_t(a)] + dy * dy);
            for (qint64 a = stepA; a < sizeA; ++a)
                row[a] += row[a - stepA];
            if (b >= stepB) {
                const double* previous = &m_sums[size_t((b - stepB) * sizeA)];
                for (qint64 a = 0; a < sizeA; ++a)
                    row[a] += previous[a];
            }
        }
    }

    double box(const Run& x, const Run& y) const {
        const qint64 x0 = x.lo - m_stepA;
        const qint64 y0 = y.lo - m_stepB;
        double sum = at(x.hi, y.hi);
        if (x0 >= 0)
            sum -= at(x0, y.hi);
        if (y0 >= 0) {
            sum -= at(x.hi, y0);
            if (x0 >= 0)
                sum += at(x0, y0);
        }
        return sum;
    }

private:
    double at(qint64 a, qint64 b) const { return m_sums[size_t(b * m_sizeA + a)]; }

    qint64 m_sizeA;
    qint64 m_stepA;
    qint64 m_stepB;
    std::vector<double> m_sums;
};

// A rectangular sub-lattice of the layout in samples: loudspeakers at
// x = x0 + i m (i < nx) and y = y0 + j stepY (j < ny).
struct SubLattice {
    qint64 x0 = 0;
    qint64 nx = 0;
    qint64 y0 = 0;
    qint64 ny = 0;
};

// The sample grid of a map, m samples per spacing on each axis. A square
// grid is one sub-lattice; offset rows are two (the even rows and the
// shifted odd rows), both with rows 2m apart, so one summed kernel table
// with those steps serves both.
struct Grid {
    qint64 columns = 0;
    qint64 rows = 0;
    qint64 m = 0;
    bool offset = false;

    qint64 intervalsX() const { return columns * m; }
    qint64 intervalsY() const { return rows * m; }
    qint64 pointsX() const { return intervalsX() + 1; }
    qint64 pointsY() const { return intervalsY() + 1; }
    double points() const { return double(pointsX()) * double(pointsY()); }
    qint64 stepY() const { return offset ? 2 * m : m; }
    int lattices() const { return offset ? 2 : 1; }
    SubLattice lattice(int n) const {
        if (n == 0)
            return {m / 2, columns, m / 2, offset ? (rows + 1) / 2 : rows};
        return {m, columns - 1, m + m / 2, rows / 2};
    }
    // Every layout is its own mirror image about the middle of the length;
    // about the middle of the width too, unless offset rows come in an even
    // number (the last row is then shifted and the first is not).
    bool mirrorY() const { return !offset || rows % 2 == 1; }
    qint64 lastX() const { return intervalsX() / 2; }
    qint64 lastY() const { return mirrorY() ? intervalsY() / 2 : intervalsY(); }
    // The kernel's offsets reach from the first loudspeaker, half a spacing
    // in, to the far wall.
    qint64 kernelA() const { return intervalsX() - m / 2 + 1; }
    qint64 kernelB() const { return intervalsY() - m / 2 + 1; }
    double kernelEntries() const { return double(kernelA()) * double(kernelB()); }
    // Every array a map allocates, in bytes: the summed kernel and its squared
    // distances, the runs and one computed row of samples, and, when the map
    // is stored, both axes and both bands' levels.
    double bytes(bool stored) const {
        const double perX = double(lastX() + 1);
        double total = 8 * kernelEntries() + 8 * double(kernelA()) +
                       double(lattices()) * perX * double(sizeof(std::array<Run, 2>)) + 8 * perX;
        if (stored)
            total += 8 * double(pointsX() + pointsY()) + 2 * 8 * points();
        return total;
    }
};

// Accumulates the figures of one band in two passes: the extremes first, then
// the shares against the maximum.
struct FigureCounter {
    double max = -std::numeric_limits<double>::infinity();
    double min = std::numeric_limits<double>::infinity();
    double weight = 0;
    double withinSet = 0;
    double within1 = 0;
    double within2 = 0;
    double within3 = 0;

    void extremes(double level) {
        max = std::max(max, level);
        min = std::min(min, level);
    }
    void share(double level, double w, double setDifference) {
        const double below = max - level;
        weight += w;
        if (below <= setDifference + kLevelTolerance)
            withinSet += w;
        if (below <= 1 + kLevelTolerance)
            within1 += w;
        if (below <= 2 + kLevelTolerance)
            within2 += w;
        if (below <= 3 + kLevelTolerance)
            within3 += w;
    }
    BandFigures figures() const {
        BandFigures f;
        f.max = max;
        f.min = min;
        f.spread = max - min;
        f.withinSet = withinSet / weight;
        f.within1 = within1 / weight;
        f.within2 = within2 / weight;
        f.within3 = within3 / weight;
        return f;
    }
};

// The first and last sample index of an axis inside the margin, or an empty
// range.
std::pair<qint64, qint64> insideMargin(double side, qint64 intervals, double margin) {
    const double step = side / double(intervals);
    const auto first = qint64(std::ceil((margin - kLengthTolerance) / step));
    const auto last = qint64(std::floor((side - margin + kLengthTolerance) / step));
    return {std::max<qint64>(first, 0), std::min(last, intervals)};
}

// The grid of a map and whether it is stored: the samples asked for, or
// fewer before more memory than a map may take. Throws CoverageError.
std::pair<Grid, bool> mapGrid(const Layout& layout, const CoverageOptions& options) {
    if (layout.count() <= 0)
        refuse(PlanText::CalculateFirst);
    if (!(options.margin >= 0) || !std::isfinite(options.margin))
        refuse(PlanText::NegativeMargin);
    if (options.samples != 0 && (options.samples < 2 || options.samples % 2 != 0))
        refuse(PlanText::OddSamples);

    // With one column offset rows are one column at L / 2: a square grid.
    Grid grid{layout.columns, layout.rows,
              options.samples ? options.samples : defaultSamples(layout),
              layout.pattern == Pattern::Offset && layout.columns > 1};
    const auto tooLarge = [&grid] {
        const bool stored = grid.points() <= kMaxStoredPoints;
        return grid.kernelEntries() > kMaxKernelEntries || grid.bytes(stored) > kMaxMapBytes;
    };
    while (grid.m > 2 && (grid.points() > kMaxStoredPoints || tooLarge()))
        grid.m -= 2;
    if (tooLarge())
        refuse(PlanText::TooLargeForMap);
    return {grid, grid.points() <= kMaxStoredPoints};
}

ListenerArea listenerArea(const Layout& layout, const Grid& grid, double margin) {
    const auto [firstX, lastX] = insideMargin(layout.length, grid.intervalsX(), margin);
    const auto [firstY, lastY] = insideMargin(layout.width, grid.intervalsY(), margin);
    if (firstX > lastX || firstY > lastY)
        refuse(PlanText::NoListenerArea);
    return {firstX, lastX, firstY, lastY};
}

// How many samples of the listener area the computed sample k of an axis
// stands for: itself, and its mirror image when the axis is mirrored.
double weight(qint64 k, qint64 intervals, qint64 first, qint64 last, bool mirrored) {
    double w = k >= first && k <= last ? 1 : 0;
    if (mirrored && intervals - k != k && intervals - k >= first && intervals - k <= last)
        w += 1;
    return w;
}

// One band of a map: the levels of the computed samples (every column up to
// the middle of the length; every row, or up to the middle when the layout
// is mirrored in y), row by row, from the box sums of the kernel table.
class BandMap {
public:
    BandMap(const Design& design, const Layout& layout, const Grid& grid, double thetaHalf)
        : m_grid(grid)
        , m_sums(Kernel(design.h, thetaHalf), grid.kernelA(), grid.kernelB(),
                 layout.spacingX / double(grid.m), layout.spacingY / double(grid.m), grid.m,
                 grid.stepY())
        , m_row(size_t(grid.lastX() + 1)) {
        for (int n = 0; n < grid.lattices(); ++n) {
            const SubLattice lattice = grid.lattice(n);
            auto& runs = m_runsX[size_t(n)];
            runs.resize(size_t(grid.lastX() + 1));
            for (qint64 k = 0; k <= grid.lastX(); ++k)
                runs[size_t(k)] = runsFor(k, lattice.x0, lattice.nx, grid.m);
        }
    }

    // The levels of the computed samples of row l, in dB.
    const std::vector<double>& row(qint64 l) {
        std::array<std::array<Run, 2>, 2> runsY;
        for (int n = 0; n < m_grid.lattices(); ++n) {
            const SubLattice lattice = m_grid.lattice(n);
            runsY[size_t(n)] = runsFor(l, lattice.y0, lattice.ny, m_grid.stepY());
        }
        for (qint64 k = 0; k <= m_grid.lastX(); ++k) {
            double sum = 0;
            for (int n = 0; n < m_grid.lattices(); ++n) {
                for (const Run& rx : m_runsX[size_t(n)][size_t(k)]) {
                    if (rx.empty())
                        continue;
                    for (const Run& ry : runsY[size_t(n)])
                        if (!ry.empty())
                            sum += m_sums.box(rx, ry);
                }
            }
            m_row[size_t(k)] = 10 * std::log10(sum);
        }
        return m_row;
    }

private:
    const Grid& m_grid;
    KernelSums m_sums;
    std::array<std::vector<std::array<Run, 2>>, 2> m_runsX;
    std::vector<double> m_row;
};

// Puts a computed row into the stored map with its mirror images.
void storeRow(std::vector<double>& level, const Grid& grid, qint64 l,
              const std::vector<double>& row) {
    const qint64 stride = grid.pointsX();
    const std::array<qint64, 2> targets = {l, grid.intervalsY() - l};
    for (size_t t = 0; t < (grid.mirrorY() ? 2 : 1); ++t) {
        double* out = &level[size_t(targets[t] * stride)];
        for (qint64 k = 0; k <= grid.lastX(); ++k) {
            out[k] = row[size_t(k)];
            out[grid.intervalsX() - k] = row[size_t(k)];
        }
    }
}

// The figures of one band over the listener area, and its stored levels
// when level is given.
BandFigures mapBand(const Design& design, const Layout& layout, const Grid& grid,
                    const ListenerArea& area, double thetaHalf, std::vector<double>* level) {
    BandMap band(design, layout, grid, thetaHalf);
    const auto weightX = [&](qint64 k) {
        return weight(k, grid.intervalsX(), area.firstX, area.lastX, true);
    };
    const auto weightY = [&](qint64 l) {
        return weight(l, grid.intervalsY(), area.firstY, area.lastY, grid.mirrorY());
    };
    if (level)
        level->resize(size_t(grid.points()));

    FigureCounter counter;
    for (qint64 l = 0; l <= grid.lastY(); ++l) {
        const bool listened = weightY(l) > 0;
        if (!level && !listened)
            continue;
        const std::vector<double>& row = band.row(l);
        if (level)
            storeRow(*level, grid, l, row);
        for (qint64 k = 0; k <= grid.lastX(); ++k)
            if (listened && weightX(k) > 0)
                counter.extremes(row[size_t(k)]);
    }
    // The shares need the maximum: from the stored map, or by a second pass.
    for (qint64 l = 0; l <= grid.lastY(); ++l) {
        const double wy = weightY(l);
        if (wy == 0)
            continue;
        const double* row = level ? &(*level)[size_t(l * grid.pointsX())] : band.row(l).data();
        for (qint64 k = 0; k <= grid.lastX(); ++k) {
            const double w = wy * weightX(k);
            if (w > 0)
                counter.share(row[k], w, design.difference4);
        }
    }
    return counter.figures();
}

} // namespace

int defaultSamples(const Layout& layout) {
    const qint64 longer = std::max(layout.columns, layout.rows);
    if (longer <= 0)
        return 2;
    for (int m = 2; m < kMaxDefaultSamples; m += 2)
        if (longer * m >= kMinSamplesAlongLongerSide)
            return m;
    return kMaxDefaultSamples;
}

std::optional<double> CoverageMap::levelNear(Band b, QPointF point) const {
    if (!hasLevels() || x.size() < 2 || y.size() < 2)
        return std::nullopt;
    const double length = x.back();
    const double width = y.back();
    if (!(point.x() >= 0 && point.x() <= length && point.y() >= 0 && point.y() <= width))
        return std::nullopt;
    const auto ix = qsizetype(std::lround(point.x() / length * double(x.size() - 1)));
    const auto iy = qsizetype(std::lround(point.y() / width * double(y.size() - 1)));
    return levelAt(b, ix, iy);
}

CoverageMap coverageFor(const Design& design, const Layout& layout,
                        const CoverageOptions& options) {
    const auto [grid, store] = mapGrid(layout, options);
    const ListenerArea area = listenerArea(layout, grid, options.margin);

    CoverageMap map;
    map.samples = int(grid.m);
    map.samplesLowered = options.samples != 0 && grid.m != options.samples;
    map.margin = options.margin;
    map.area = area;
    map.offset1k = levelOffset1k(design);
    if (store) {
        map.x.resize(size_t(grid.pointsX()));
        map.y.resize(size_t(grid.pointsY()));
        for (qint64 k = 0; k <= grid.intervalsX(); ++k)
            map.x[size_t(k)] = layout.length * double(k) / double(grid.intervalsX());
        for (qint64 l = 0; l <= grid.intervalsY(); ++l)
            map.y[size_t(l)] = layout.width * double(l) / double(grid.intervalsY());
    }
    const double thetas[2] = {design.thetaHalf1, design.thetaHalf4};
    clearUpperVectorState();
    for (size_t b = 0; b < 2; ++b)
        map.figures[b] =
            mapBand(design, layout, grid, area, thetas[b], store ? &map.level[b] : nullptr);
    return map;
}

double directLevelAt(const Design& design, const Layout& layout, Band band, QPointF point) {
    const double thetaHalf = band == Band::K1 ? design.thetaHalf1 : design.thetaHalf4;
    double sum = 0;
    for (qint64 j = 0; j < layout.rows; ++j) {
        for (qint64 i = 0; i < layout.inRow(j); ++i) {
            const QPointF d = layout.at(i, j) - point;
            const double g = Directivity(
                std::atan(std::sqrt(d.x() * d.x() + d.y() * d.y()) / design.h), thetaHalf);
            sum += g * g;
        }
    }
    return 10 * std::log10(sum);
}

} // namespace kvx
