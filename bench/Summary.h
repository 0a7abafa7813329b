#pragma once
// Collects the median of every benchmark while it runs and ends the run with
// a table: each figure beside its reference, their ratio and the target.

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace bench {

struct Figure {
    double value = 0;   // milliseconds, or the counter's value
    double cvPercent = -1;   // spread of the repetitions; -1 when not repeated
};

class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override;

    // The median of a benchmark, in milliseconds or as the named counter;
    // the counter "cpu" is this process's processor time in milliseconds.
    const Figure* Find(const std::string& name, const std::string& counter = {}) const;

private:
    std::map<std::string, Figure> figures_;   // "name" or "name#counter"
};

enum class Limit {
    None,            // shown for comparison only
    RatioAtMost,     // figure / reference <= limit
    Below,           // figure < limit, in the figure's unit
    AddedAtMost,     // figure - reference <= limit, in the figure's unit
};

struct TargetRow {
    std::string label;
    std::string bench;
    std::string counter;     // empty: the median time in ms
    std::string unit;        // "ms" or the counter's unit
    std::string reference;   // a benchmark whose median time is the reference, or empty
    Limit limit = Limit::None;
    double bound = 0;
};

// Prints the table as Markdown to out and returns how many targets missed
// (a figure that did not run counts as missed).
int PrintSummary(const SummaryReporter& reporter, const std::vector<TargetRow>& rows, std::FILE* out);

} // namespace bench
