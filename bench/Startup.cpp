// Start-up as the office sees it: from starting the process to its first
// window painted, for Kiboru and for a bare Qt program, both offscreen. The
// two run in turns, so that the load of the machine at any moment weighs on
// both alike.

#include "bench/Benchmarks.h"

#include "bench/Process.h"

#include <benchmark/benchmark.h>

#ifndef KIBORU_TIMED_PROGRAM
#error "KIBORU_TIMED_PROGRAM names Kiboru built with the probe"
#endif
#ifndef BARE_QT_PROGRAM
#error "BARE_QT_PROGRAM names the bare Qt program built with the probe"
#endif

namespace bench {
namespace {

struct Start {
    double ms = -1;   // start to first window painted; negative when none was reported
    double cpuMs = 0;
};

Start StartOnce(const char* program)
{
    const ProcessRun run = RunProcess({program}, {"QT_QPA_PLATFORM=offscreen"});
    bool ok = false;
    const long long shownNs = run.out.trimmed().toLongLong(&ok);
    Start start;
    if (run.exitCode == 0 && ok && shownNs >= run.startNs)
        start.ms = double(shownNs - run.startNs) * 1e-6;
    start.cpuMs = run.cpuSeconds * 1e3;
    return start;
}

void StartUp(benchmark::State& state)
{
    static int turn = 0;
    StartOnce(KIBORU_TIMED_PROGRAM);   // the files they load are in the page cache from here on
    StartOnce(BARE_QT_PROGRAM);
    for (auto _ : state) {
        const bool bareFirst = ++turn % 2 == 0;
        const Start first = StartOnce(bareFirst ? BARE_QT_PROGRAM : KIBORU_TIMED_PROGRAM);
        const Start second = StartOnce(bareFirst ? KIBORU_TIMED_PROGRAM : BARE_QT_PROGRAM);
        const Start& bare = bareFirst ? first : second;
        const Start& kiboru = bareFirst ? second : first;
        if (bare.ms < 0 || kiboru.ms < 0) {
            state.SkipWithError("a program did not report its window shown");
            break;
        }
        state.SetIterationTime(kiboru.ms * 1e-3);
        state.counters["bare_qt_ms"] = bare.ms;
        state.counters["cpu_ms"] = kiboru.cpuMs;
        state.counters["bare_qt_cpu_ms"] = bare.cpuMs;
    }
}

} // namespace

void RegisterStartupBenchmarks()
{
    AddTimedRuns("startup_kiboru", StartUp, 31);
}

} // namespace bench
