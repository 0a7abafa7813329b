// The history window over 10,000 claims with ten kept versions each: from
// the window made (what 「履歴」 does) to its lines shown.

#include "bench/Benchmarks.h"

#include "bench/BenchData.h"
#include "bench/Process.h"
#include "history/HistoryWindow.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

namespace bench {
namespace {

void HistoryShown(benchmark::State& state)
{
    const QString folder = HistoryWorkFolder();
    int lines = 0;
    for (auto _ : state) {
        const std::int64_t start = MonotonicNs();
        history::HistoryWindow window(folder);
        window.show();
        while (!window.IsLoaded())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        window.ui->HistoryTable->viewport()->repaint();   // the 変更 of the lines shown worked out here
        const std::int64_t end = MonotonicNs();
        lines = window.Model().rowCount();
        if (lines != kHistoryClaimCount * kVersionsPerClaim) {
            state.SkipWithError("not every version listed");
            break;
        }
        state.SetIterationTime(double(end - start) * 1e-9);
    }
    state.counters["lines"] = lines;
}

} // namespace

void RegisterHistoryBenchmarks()
{
    benchmark::RegisterBenchmark("window_history/10000", HistoryShown)
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(1)
        ->Repetitions(11)
        ->ReportAggregatesOnly(true);
}

} // namespace bench
