// Cost of the speech estimate: the STI map reads the coverage map made for the
// page and adds a constant per point (14 modulation frequencies). Target: the
// default room (20 x 10 m, both bands of the coverage map, then the STI map
// and its figures) under 10 ms. The STI map alone is timed beside it, and on
// the 300 x 300 loudspeaker hall at 4 samples per spacing (1.44 million points).
#include "core/calc/design.h"
#include "core/plan/coverage.h"
#include "core/plan/layout.h"
#include "core/speech/speech.h"

#include <benchmark/benchmark.h>

using namespace kvx;

namespace {

Design defaultRoom() {
    DesignInputs in;
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

Design hall() {
    Design d = defaultRoom();
    d.length = 300 * d.distance;
    d.width = 300 * d.distance;
    d.grid = SplitGrid(d.length, d.width, d.distance);
    d.speakers = qint32(d.grid.count());
    return d;
}

const SpeechSettings kSettings{1.2, 0.5};
constexpr double kAmbient = 55;

void BM_CoverageAndStiDefaultRoom(benchmark::State& state) {
    const Design design = defaultRoom();
    const Layout layout = layoutFor(design);
    for (auto _ : state) {
        const CoverageMap coverage = coverageFor(design, layout);
        benchmark::DoNotOptimize(speechFor(design, layout, coverage, kSettings, kAmbient));
    }
    const CoverageMap coverage = coverageFor(design, layout);
    const Speech speech = speechFor(design, layout, coverage, kSettings, kAmbient);
    state.counters["points"] = double(speech.map.sti.size());
    state.counters["sti_mean"] = speech.figures.sti ? speech.figures.sti->mean : -1;
}
BENCHMARK(BM_CoverageAndStiDefaultRoom)->Unit(benchmark::kMillisecond);

void BM_StiMapDefaultRoom(benchmark::State& state) {
    const Design design = defaultRoom();
    const Layout layout = layoutFor(design);
    const CoverageMap coverage = coverageFor(design, layout);
    for (auto _ : state)
        benchmark::DoNotOptimize(speechFor(design, layout, coverage, kSettings, kAmbient));
}
BENCHMARK(BM_StiMapDefaultRoom)->Unit(benchmark::kMillisecond);

void BM_StiMapHall300(benchmark::State& state) {
    const Design design = hall();
    const Layout layout = layoutFor(design);
    const CoverageMap coverage = coverageFor(design, layout, {4, 0});
    for (auto _ : state)
        benchmark::DoNotOptimize(speechFor(design, layout, coverage, kSettings, kAmbient));
    state.counters["points"] = double(coverage.x.size() * coverage.y.size());
}
BENCHMARK(BM_StiMapHall300)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
