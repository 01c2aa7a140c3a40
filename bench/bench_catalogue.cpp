// Cost of the largest catalogue the program can address (32767 types): filling
// the type list, as at start-up and at every pick of a data file (target: well
// under 100 ms), and showing the last type's data.
#include "core/base/platform.h"
#include "core/catalogue/lsp_record.h"
#include "core/report/report_printer.h"
#include "core/ui/kvx1.h"
#include "core/ui/main_window.h"

#include "silent_platform.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

using namespace kvx;
using kvx::bench::SilentPlatform;

namespace {

// A main window with the full-size catalogue open.
struct BigCatalogue {
    BigCatalogue()
        : kvx(platform, dir.path(), QLocale::c())
        , w(kvx) {
        QList<LspRecord> records;
        records.reserve(kMaxLspRecords);
        for (int i = 1; i <= kMaxLspRecords; ++i) {
            LspRecord r;
            r.TypeName = QStringLiteral("Type %1").arg(i).leftJustified(kLspNameLength, u' ');
            r.Angle1 = qint16(60 + i % 120);
            r.Angle4 = qint16(40 + i % 80);
            r.Sensitivity = 84 + float(i % 110) / 10;
            r.MaxPower = float(3 + i % 28);
            records.append(r);
        }
        writeLspFile(dir.filePath(QStringLiteral("Big.lsp")), records);
        kvx.CurrentLspFile = QStringLiteral("Big.lsp");
        w.OpenLoudspeakerFile();
    }

    QTemporaryDir dir;
    SilentPlatform platform;
    Kvx1 kvx;
    FrmKvx w;
};

void BM_FillLoudspeakerList(benchmark::State& state) {
    BigCatalogue catalogue;
    for (auto _ : state) {
        catalogue.w.lstLsp.clearItems();
        catalogue.w.FillLoudspeakerList();
    }
    if (catalogue.w.lstLsp.items().size() != kMaxLspRecords + 1)
        state.SkipWithError("the list does not hold every type");
    state.counters["types"] = double(catalogue.w.lstLsp.items().size() - 1);
}
BENCHMARK(BM_FillLoudspeakerList)->Unit(benchmark::kMillisecond);

void BM_ShowLastLoudspeaker(benchmark::State& state) {
    BigCatalogue catalogue;
    for (auto _ : state) {
        // Alternate so that every call really changes the four fields.
        catalogue.w.ShowLoudspeakerData(kMaxLspRecords);
        catalogue.w.ShowLoudspeakerData(kMaxLspRecords - 1);
    }
}
BENCHMARK(BM_ShowLastLoudspeaker)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
