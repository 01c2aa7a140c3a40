// Cost of the acoustic model: one spacing search that settles quickly, one
// that runs to its limit, and a single directivity evaluation.
#include "core/calc/sound.h"
#include "core/report/report_printer.h"

#include <benchmark/benchmark.h>

#include <cmath>

using namespace kvx;

namespace {

void solve(benchmark::State& state, double differenceDb, int expectedEvaluations) {
    const double T = std::pow(10.0, -differenceDb / 10);
    double h = 2.5;
    double thetaHalf = 60 * kPi / 360;
    for (auto _ : state) {
        benchmark::DoNotOptimize(h);
        benchmark::DoNotOptimize(thetaHalf);
        Messages messages;
        const SpacingResult r = SolveSpacing(T, h, thetaHalf, messages);
        benchmark::DoNotOptimize(r);
        if (r.evaluations != expectedEvaluations) {
            state.SkipWithError("unexpected number of evaluations");
            break;
        }
    }
}

void BM_SolveSpacingTwoEvaluations(benchmark::State& state) {
    solve(state, 6.0, 2);
}
BENCHMARK(BM_SolveSpacingTwoEvaluations);

void BM_SolveSpacingHundredEvaluations(benchmark::State& state) {
    solve(state, 0.1, kMaxSpacingEvaluations);
}
BENCHMARK(BM_SolveSpacingHundredEvaluations);

void BM_Directivity(benchmark::State& state) {
    double theta = 0.6;
    const double thetaHalf = 90 * kPi / 360;
    for (auto _ : state) {
        benchmark::DoNotOptimize(theta);
        benchmark::DoNotOptimize(Directivity(theta, thetaHalf));
    }
}
BENCHMARK(BM_Directivity);

} // namespace

BENCHMARK_MAIN();
