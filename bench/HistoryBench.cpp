// The history window over 10,000 claims with ten kept versions each: from
// the window made (what 「履歴」 does) to its lines shown.

#include "bench/Benchmarks.h"

#include "bench/BenchData.h"
#include "bench/WhenShown.h"
#include "history/HistoryWindow.h"

#include <benchmark/benchmark.h>

namespace bench {
namespace {

void HistoryShown(benchmark::State& state)
{
    const QString folder = HistoryWorkFolder();
    // The 変更 of the lines shown is worked out when the table is painted.
    TimeListWindow(
        state, [&] { return std::make_unique<history::HistoryWindow>(folder); },
        [](history::HistoryWindow& w) { return w.ui->HistoryTable; }, kHistoryClaimCount * kVersionsPerClaim);
}

} // namespace

void RegisterHistoryBenchmarks()
{
    AddTimedRuns("window_history/10000", HistoryShown, 11);
}

} // namespace bench
