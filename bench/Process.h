#pragma once
// Running another program as a whole process, as the office would start it.

#include <QByteArray>

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

struct ProcessRun {
    int exitCode = -1;        // -1 when it could not start or did not exit normally
    QByteArray out;           // what it wrote to standard output
    std::int64_t startNs = 0; // monotonic clock just before the start
    std::int64_t endNs = 0;   // monotonic clock once it has ended
    double cpuSeconds = 0;    // processor time it used, user and system
};

// The monotonic clock, which is the same for every process of the machine.
std::int64_t MonotonicNs();

// Starts argv[0] (looked up in PATH) with the extra environment entries
// ("NAME=value") and waits for its end. Standard error is discarded.
ProcessRun RunProcess(const std::vector<std::string>& argv,
                      const std::vector<std::string>& extraEnv = {});

} // namespace bench
