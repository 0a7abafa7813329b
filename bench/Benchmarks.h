#pragma once
// The groups of benchmarks, registered in the order they run.

#include <benchmark/benchmark.h>

#include <functional>

namespace bench {

// A benchmark that times itself (UseManualTime): one run a repetition, in
// milliseconds, the aggregates of the repetitions reported.
benchmark::internal::Benchmark* AddTimedRuns(const char* name, std::function<void(benchmark::State&)> fn,
                                             int repetitions);

void RegisterClaimsBenchmarks();    // the claim library on real data
void RegisterStartupBenchmarks();   // the program and a bare Qt program, as processes
void RegisterWindowBenchmarks();    // the real windows, offscreen, in this process
void RegisterStatusBenchmarks();    // the deadline list over 10,000 claims
void RegisterHistoryBenchmarks();   // the history window over 100,000 kept versions
void RegisterImportBenchmarks();    // the roster import of 1,200 students
void RegisterLettersBenchmarks();   // letters to the guardians of 100 students, to the preview
void RegisterShareBenchmarks();     // the deadline list over a slow file server's stand-in
void RegisterBackupBenchmarks();    // backups of 10,000 claims, the restore preview, the reminder
void RegisterStatsBenchmarks();     // the statistics over 10,000 claims with their headers

// Run as `kiboru_bench --peak-after-search FOLDER`: the entry window searches
// the roster of 124,825 matching lines in the working folder FOLDER once and
// writes the number of lines listed, then the peak memory (KiB) before the
// search and once the selection dialog is shown.
int PeakAfterSearch(const char* workFolder);

} // namespace bench
