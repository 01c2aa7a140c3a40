// Cost of one press of Calculate on a typical room (20 x 10 m, 6 dB): the input
// checks, the spacing search, the formatting of the results and the speaker
// power. Target: under 20 microseconds, so that a slider drag stays fluid.
#include "core/base/platform.h"
#include "core/report/report_printer.h"
#include "core/ui/kvx1.h"
#include "core/ui/main_window.h"

#include "silent_platform.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

using namespace kvx;
using kvx::bench::SilentPlatform;

namespace {

void BM_CalculateTypicalRoom(benchmark::State& state) {
    QTemporaryDir dir;
    SilentPlatform platform;
    Kvx1 kvx(platform, dir.path(), QLocale::c());
    FrmKvx w(kvx);
    w.FillSpeakerTapList();
    w.FillAmpTapList();
    w.lstLspTap.setText(QStringLiteral("1/1 P"));
    w.lstAmpTap.setText(QStringLiteral("100 V"));
    w.DiffSet.setValue(60);
    w.txtRoomLength.setText(QStringLiteral("20"));
    w.txtRoomWidth.setText(QStringLiteral("10"));
    w.txtRoomHeight.setText(QStringLiteral("4"));
    w.txtEarHeight.setText(QStringLiteral("1.5"));
    w.txtAngle1.setText(QStringLiteral("90"));
    w.txtAngle4.setText(QStringLiteral("60"));
    w.txtSensitivity.setText(QStringLiteral("90"));
    w.txtMaxPower.setText(QStringLiteral("6"));

    for (auto _ : state) {
        // Emptied results make every run write all four labels again.
        w.ClearResults();
        w.cmdCalc_Click();
        benchmark::DoNotOptimize(w.lblLevel.text());
    }
    if (w.lblDistance.text() != u"3.6" || w.lblLevel.text() != u"92")
        state.SkipWithError("unexpected results");
}
BENCHMARK(BM_CalculateTypicalRoom)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
