#pragma once
// Reading many small files at once: their time goes to the system's open
// and read calls, which run side by side.

#include <QThread>

#include <algorithm>
#include <atomic>
#include <functional>
#include <thread>
#include <vector>

namespace claims {

inline constexpr int kMostReaders = 4;

// Runs work(i, part) for i = 0 .. total - 1 on up to kMostReaders threads
// (or on threadCount of them, where the work mostly waits for a server),
// each filling a Part of its own. The caller's thread works too and calls
// progress(done, total) now and then; when it answers false, all stop.
// Once all is done, progress(total, total).
// work must reach a Qt container it shares with the other threads through
// const access, or write only to its own item of one that shares its data
// with no other container: a non-const operator[] on shared data detaches,
// which races with the other threads.
template <class Part>
std::vector<Part> InParallel(int total, const std::function<void(int, Part&)>& work,
                             const std::function<bool(int, int)>& progress, int threadCount = 0)
{
    std::atomic<int> next{0};
    std::atomic<bool> stopped{false};
    auto run = [&](Part& part, bool reports) {
        for (int i = next++; i < total && !stopped; i = next++) {
            if (reports && i % 64 == 0 && progress && !progress(i, total))
                stopped = true;
            work(i, part);
        }
    };
    const int helpers = (threadCount > 0 ? threadCount : std::clamp(QThread::idealThreadCount(), 1, kMostReaders)) - 1;
    std::vector<Part> parts(helpers + 1);
    std::vector<std::thread> threads;
    for (int h = 1; h <= helpers; ++h)
        threads.emplace_back(run, std::ref(parts[h]), false);
    run(parts[0], true);
    for (std::thread& t : threads)
        t.join();
    if (progress && !stopped)
        progress(total, total);
    return parts;
}

} // namespace claims
