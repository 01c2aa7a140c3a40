#include "core/plan/coverage.h"

#include "core/base/string_table.h"
#include "core/calc/sound.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kvx {

namespace {

// Memory bounds: a map beyond kMaxStoredPoints samples per band is not kept
// (its figures are still computed), and no kernel table beyond
// kMaxKernelEntries is built. Both maps and the kernel together stay under
// about half a gigabyte whatever the count.
constexpr double kMaxStoredPoints = 8'000'000;
constexpr double kMaxKernelEntries = 32'000'000;
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

// The offsets from sample k to the n loudspeakers of one axis, folded to
// their absolute values: those at or before the sample and those after it.
std::array<Run, 2> runsFor(qint64 k, qint64 n, qint64 m) {
    const qint64 half = m / 2;
    // Loudspeaker i sits at sample i * m + half.
    const qint64 last = k >= half ? std::min(n - 1, (k - half) / m) : -1;
    std::array<Run, 2> runs;
    if (last >= 0)
        runs[0] = {k - half - last * m, k - half};
    if (last + 1 <= n - 1)
        runs[1] = {(last + 1) * m + half - k, (n - 1) * m + half - k};
    return runs;
}

// The kernel over one quadrant of offsets (a, b) >= 0, turned into prefix sums
// along the sub-lattices of step m, so that the sum over any run of offsets
// of one residue class is four lookups.
class KernelSums {
public:
    KernelSums(const Kernel& kernel, qint64 sizeA, qint64 sizeB, double unitX, double unitY,
               qint64 m)
        : m_sizeA(sizeA)
        , m_sizeB(sizeB)
        , m_m(m)
        , m_sums(size_t(sizeA * sizeB)) {
        std::vector<double> dx2(static_cast<size_t>(sizeA));
        for (qint64 a = 0; a < sizeA; ++a)
            dx2[size_t(a)] = (double(a) * unitX) * (double(a) * unitX);
        for (qint64 b = 0; b < sizeB; ++b) {
            const double dy = double(b) * unitY;
            double* row = &m_sums[size_t(b * sizeA)];
            for (qint64 a = 0; a < sizeA; ++a)
                row[a] = kernel(dx2[size_t(a)] + dy * dy);
            for (qint64 a = m; a < sizeA; ++a)
                row[a] += row[a - m];
            if (b >= m) {
                const double* previous = &m_sums[size_t((b - m) * sizeA)];
                for (qint64 a = 0; a < sizeA; ++a)
                    row[a] += previous[a];
            }
        }
    }

    double box(const Run& x, const Run& y) const {
        const qint64 x0 = x.lo - m_m;
        const qint64 y0 = y.lo - m_m;
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
    qint64 m_sizeB;
    qint64 m_m;
    std::vector<double> m_sums;
};

struct Grid {
    qint64 columns = 0;
    qint64 rows = 0;
    qint64 m = 0;
    qint64 pointsX() const { return columns * m + 1; }
    qint64 pointsY() const { return rows * m + 1; }
    double points() const { return double(pointsX()) * double(pointsY()); }
    double kernelEntries() const {
        return double(columns * m - m / 2 + 1) * double(rows * m - m / 2 + 1);
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

bool CoverageMap::inListenerArea(qsizetype ix, qsizetype iy) const {
    if (x.empty() || y.empty())
        return false;
    const double px = x[size_t(ix)];
    const double py = y[size_t(iy)];
    return px >= margin - kLengthTolerance && px <= x.back() - margin + kLengthTolerance &&
           py >= margin - kLengthTolerance && py <= y.back() - margin + kLengthTolerance;
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
    if (layout.count() <= 0)
        refuse(PlanText::CalculateFirst);
    if (!(options.margin >= 0) || !std::isfinite(options.margin))
        refuse(PlanText::NegativeMargin);
    if (options.samples != 0 && (options.samples < 2 || options.samples % 2 != 0))
        refuse(PlanText::OddSamples);

    Grid grid{layout.columns, layout.rows,
              options.samples ? options.samples : defaultSamples(layout)};
    // Fewer samples before more memory than a map may take.
    while (grid.m > 2 &&
           (grid.points() > kMaxStoredPoints || grid.kernelEntries() > kMaxKernelEntries))
        grid.m -= 2;
    if (grid.kernelEntries() > kMaxKernelEntries)
        refuse(PlanText::TooLargeForMap);
    const bool store = grid.points() <= kMaxStoredPoints;

    const qint64 intervalsX = grid.columns * grid.m;
    const qint64 intervalsY = grid.rows * grid.m;
    const auto [firstX, lastX] = insideMargin(layout.length, intervalsX, options.margin);
    const auto [firstY, lastY] = insideMargin(layout.width, intervalsY, options.margin);
    if (firstX > lastX || firstY > lastY)
        refuse(PlanText::NoListenerArea);

    CoverageMap map;
    map.samples = int(grid.m);
    map.samplesLowered = options.samples != 0 && grid.m != options.samples;
    map.margin = options.margin;
    map.offset1k =
        design.sensitivity + 10 * std::log10(design.speakerPower) - 20 * std::log10(design.h);
    if (store) {
        map.x.resize(size_t(intervalsX + 1));
        map.y.resize(size_t(intervalsY + 1));
        for (qint64 k = 0; k <= intervalsX; ++k)
            map.x[size_t(k)] = layout.length * double(k) / double(intervalsX);
        for (qint64 l = 0; l <= intervalsY; ++l)
            map.y[size_t(l)] = layout.width * double(l) / double(intervalsY);
    }

    // The room and its layout are symmetric about both centre lines: one
    // quadrant of samples is computed, the others are its mirror images.
    const qint64 halfX = intervalsX / 2;
    const qint64 halfY = intervalsY / 2;
    std::vector<std::array<Run, 2>> runsX(size_t(halfX + 1));
    for (qint64 k = 0; k <= halfX; ++k)
        runsX[size_t(k)] = runsFor(k, grid.columns, grid.m);

    const double thetas[2] = {design.thetaHalf1, design.thetaHalf4};
    const qint64 stride = intervalsX + 1;
    std::vector<double> row(size_t(halfX + 1));
    for (int b = 0; b < 2; ++b) {
        const KernelSums sums(Kernel(design.h, thetas[b]), intervalsX - grid.m / 2 + 1,
                              intervalsY - grid.m / 2 + 1, layout.spacingX / double(grid.m),
                              layout.spacingY / double(grid.m), grid.m);
        std::vector<double>& level = map.level[size_t(b)];
        if (store)
            level.resize(size_t(map.x.size() * map.y.size()));

        // Level of the quadrant's row l into `row`.
        const auto computeRow = [&](qint64 l) {
            const std::array<Run, 2> runsY = runsFor(l, grid.rows, grid.m);
            for (qint64 k = 0; k <= halfX; ++k) {
                double sum = 0;
                for (const Run& rx : runsX[size_t(k)]) {
                    if (rx.empty())
                        continue;
                    for (const Run& ry : runsY)
                        if (!ry.empty())
                            sum += sums.box(rx, ry);
                }
                row[size_t(k)] = 10 * std::log10(sum);
            }
        };
        // Whether sample k of an axis with this many intervals lies in [first, last],
        // and how many samples of the full axis the quadrant's sample k stands for.
        const auto weight = [](qint64 k, qint64 intervals, qint64 first, qint64 last) {
            double w = 0;
            if (k >= first && k <= last)
                w += 1;
            if (intervals - k != k && intervals - k >= first && intervals - k <= last)
                w += 1;
            return w;
        };

        FigureCounter counter;
        for (qint64 l = 0; l <= halfY; ++l) {
            const double wy = weight(l, intervalsY, firstY, lastY);
            if (!store && wy == 0)
                continue;
            computeRow(l);
            for (qint64 k = 0; k <= halfX; ++k) {
                const double value = row[size_t(k)];
                if (store) {
                    const qint64 mirroredK = intervalsX - k;
                    const qint64 mirroredL = intervalsY - l;
                    level[size_t(l * stride + k)] = value;
                    level[size_t(l * stride + mirroredK)] = value;
                    level[size_t(mirroredL * stride + k)] = value;
                    level[size_t(mirroredL * stride + mirroredK)] = value;
                }
                if (wy > 0 && weight(k, intervalsX, firstX, lastX) > 0)
                    counter.extremes(value);
            }
        }
        // The shares need the maximum: from the stored map, or by a second pass.
        for (qint64 l = 0; l <= halfY; ++l) {
            const double wy = weight(l, intervalsY, firstY, lastY);
            if (wy == 0)
                continue;
            if (store)
                std::copy_n(level.begin() + l * stride, halfX + 1, row.begin());
            else
                computeRow(l);
            for (qint64 k = 0; k <= halfX; ++k) {
                const double w = wy * weight(k, intervalsX, firstX, lastX);
                if (w > 0)
                    counter.share(row[size_t(k)], w, design.difference4);
            }
        }
        map.figures[size_t(b)] = counter.figures();
    }
    return map;
}

double directLevelAt(const Design& design, const Layout& layout, Band band, QPointF point) {
    const double thetaHalf = band == Band::K1 ? design.thetaHalf1 : design.thetaHalf4;
    double sum = 0;
    for (qint64 j = 0; j < layout.rows; ++j) {
        const double dy = (double(j) + 0.5) * layout.spacingY - point.y();
        for (qint64 i = 0; i < layout.columns; ++i) {
            const double dx = (double(i) + 0.5) * layout.spacingX - point.x();
            const double g =
                Directivity(std::atan(std::sqrt(dx * dx + dy * dy) / design.h), thetaHalf);
            sum += g * g;
        }
    }
    return 10 * std::log10(sum);
}

} // namespace kvx
