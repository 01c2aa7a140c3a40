// Cost of the coverage map: the exact sums over every loudspeaker follow each
// recalculation. Targets, for the square grid and for offset rows alike: the
// default room (20 x 10 m, both bands) under 5 ms; a hall of 300 x 300
// loudspeakers at 4 samples per spacing (1.44 million points, both bands)
// under 1 s and at least 100 times faster than the direct double sum, every
// sampled point within 0.01 dB of it.
#include "core/calc/design.h"
#include "core/calc/sound.h"
#include "core/plan/coverage.h"
#include "core/plan/layout.h"

#include <benchmark/benchmark.h>

#include <QRandomGenerator>

#include <chrono>
#include <cmath>

using namespace kvx;

namespace {

Design defaultRoom(Pattern pattern = Pattern::Square) {
    DesignInputs in;
    in.pattern = pattern;
    in.length = 20;
    in.width = 10;
    in.roomHeight = 4;
    in.earHeight = 1.5;
    in.angle1 = 90;
    in.angle4 = 60;
    in.sensitivity = 90;
    in.ratedPower = 6;
    in.speakerPower = 6;
    in.lineVoltage = 100;
    in.difference4 = 6;
    Messages messages;
    return computeDesign(in, messages);
}

// The default loudspeaker and height in a hall of 300 x 300 loudspeakers
// (offset rows: 300 rows of 300 and 299).
Design hall(Pattern pattern) {
    Design d = defaultRoom(pattern);
    d.length = 300 * d.distance;
    d.width = 300 * rowPitch(d.distance, pattern);
    d.grid = SplitGrid(d.length, d.width, d.distance, pattern);
    d.speakers = qint32(d.grid.count());
    return d;
}

qint64 hallCount(Pattern pattern) {
    return pattern == Pattern::Offset ? 300 * 300 - 150 : 300 * 300;
}

constexpr int kHallSamples = 4;

void BM_CoverageDefaultRoom(benchmark::State& state, Pattern pattern) {
    const Design design = defaultRoom(pattern);
    const Layout layout = layoutFor(design);
    for (auto _ : state)
        benchmark::DoNotOptimize(coverageFor(design, layout).figures);
    state.counters["points"] =
        double(coverageFor(design, layout).x.size() * coverageFor(design, layout).y.size());
}
BENCHMARK_CAPTURE(BM_CoverageDefaultRoom, square, Pattern::Square)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CoverageDefaultRoom, offset, Pattern::Offset)->Unit(benchmark::kMillisecond);

void BM_CoverageHall300(benchmark::State& state, Pattern pattern) {
    const Design design = hall(pattern);
    const Layout layout = layoutFor(design);
    if (layout.count() != hallCount(pattern))
        state.SkipWithError("the hall is not 300 x 300");
    for (auto _ : state)
        benchmark::DoNotOptimize(coverageFor(design, layout, {kHallSamples, 0}).figures);
}
BENCHMARK_CAPTURE(BM_CoverageHall300, square, Pattern::Square)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CoverageHall300, offset, Pattern::Offset)->Unit(benchmark::kMillisecond);

// The direct sum on random sample points of the same hall, against the fast
// map: the ratio is the direct sum's time for the whole map (both bands) over
// the fast map's time.
void BM_DirectSumHall300(benchmark::State& state, Pattern pattern) {
    const Design design = hall(pattern);
    const Layout layout = layoutFor(design);
    if (layout.count() != hallCount(pattern))
        state.SkipWithError("the hall is not 300 x 300");
    const auto start = std::chrono::steady_clock::now();
    const CoverageMap map = coverageFor(design, layout, {kHallSamples, 0});
    const double fastSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double points = double(map.x.size() * map.y.size());

    QRandomGenerator random(300);
    double worst = 0;
    qint64 sums = 0;
    const auto directStart = std::chrono::steady_clock::now();
    for (auto _ : state) {
        const auto ix = qsizetype(random.bounded(int(map.x.size())));
        const auto iy = qsizetype(random.bounded(int(map.y.size())));
        const Band band = sums % 2 ? Band::K4 : Band::K1;
        const double direct =
            directLevelAt(design, layout, band, {map.x[size_t(ix)], map.y[size_t(iy)]});
        worst = std::max(worst, std::abs(direct - map.levelAt(band, ix, iy)));
        ++sums;
    }
    const double directSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - directStart).count();
    const double directMapSeconds = directSeconds / double(std::max<qint64>(sums, 1)) * 2 * points;
    state.counters["points_checked"] = double(sums);
    state.counters["worst_dB"] = worst;
    state.counters["fast_map_s"] = fastSeconds;
    state.counters["direct_map_s"] = directMapSeconds;
    state.counters["ratio"] = directMapSeconds / fastSeconds;
    if (!(worst <= 0.01))
        state.SkipWithError("a sampled point is more than 0.01 dB off the direct sum");
}
BENCHMARK_CAPTURE(BM_DirectSumHall300, square, Pattern::Square)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(40);
BENCHMARK_CAPTURE(BM_DirectSumHall300, offset, Pattern::Offset)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(40);

} // namespace

BENCHMARK_MAIN();
