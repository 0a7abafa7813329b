#include "bench/Summary.h"

#include <cstdio>

namespace bench {
namespace {

double Milliseconds(const benchmark::BenchmarkReporter::Run& run)
{
    return run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e3;
}

std::string Number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, value >= 100 ? "%.0f" : value >= 1 ? "%.2f" : "%.3f", value);
    return text;
}

// Milliseconds below one are shown in microseconds.
std::string Amount(double value, const std::string& unit)
{
    if (unit == "ms" && value < 1)
        return Number(value * 1e3) + " µs";
    return Number(value) + " " + unit;
}

std::string Spread(const Figure& figure)
{
    return figure.cvPercent < 0 ? std::string() : " ±" + Number(figure.cvPercent) + "%";
}

std::string TargetText(const TargetRow& row)
{
    switch (row.limit) {
    case Limit::RatioAtMost:
        return "ratio ≤ " + Number(row.bound);
    case Limit::Below:
        return "< " + Amount(row.bound, row.unit);
    case Limit::AddedAtMost:
        return "adds ≤ " + Amount(row.bound, row.unit);
    case Limit::None:
        break;
    }
    return "—";
}

bool Holds(const TargetRow& row, double value, double ratio, double reference)
{
    switch (row.limit) {
    case Limit::AddedAtMost:
        return value - reference <= row.bound;
    case Limit::RatioAtMost:
        return ratio >= 0 && ratio <= row.bound;
    case Limit::Below:
        return value < row.bound;
    case Limit::None:
        break;
    }
    return true;
}

} // namespace

void SummaryReporter::ReportRuns(const std::vector<Run>& runs)
{
    for (const Run& run : runs) {
        if (run.error_occurred)
            continue;
        const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
        const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
        const std::string name = run.run_name.function_name;
        if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "cv") {
            figures_[name].cvPercent = run.real_accumulated_time * 100;
            for (const auto& [counter, value] : run.counters)
                figures_[name + "#" + counter].cvPercent = value.value * 100;
        }
        if (!single && !median)
            continue;
        figures_[name].value = Milliseconds(run);
        figures_[name + "#cpu"].value = run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e3;
        for (const auto& [counter, value] : run.counters)
            figures_[name + "#" + counter].value = value.value;
    }
    ConsoleReporter::ReportRuns(runs);
}

const Figure* SummaryReporter::Find(const std::string& name, const std::string& counter) const
{
    const auto found = figures_.find(counter.empty() ? name : name + "#" + counter);
    return found == figures_.end() ? nullptr : &found->second;
}

int PrintSummary(const SummaryReporter& reporter, const std::vector<TargetRow>& rows, std::FILE* out)
{
    int missed = 0;
    int notRun = 0;
    std::fprintf(out, "\n| Figure | Median (±cv) | Reference | Reference median | Ratio | Target | Holds |\n");
    std::fprintf(out, "|---|---|---|---|---|---|---|\n");
    for (const TargetRow& row : rows) {
        const Figure* figure = reporter.Find(row.bench, row.counter);
        const Figure* reference = row.reference.empty() ? nullptr : reporter.Find(row.reference);
        // A figure that a filter left out is neither met nor missed.
        if (!figure) {
            notRun += row.limit == Limit::None ? 0 : 1;
            std::fprintf(out, "| %s | not run | %s | | | %s | — |\n", row.label.c_str(),
                         row.reference.c_str(), TargetText(row).c_str());
            continue;
        }
        const double ratio = reference && reference->value > 0 ? figure->value / reference->value : -1;
        const bool needsReference = row.limit == Limit::RatioAtMost || row.limit == Limit::AddedAtMost;
        const bool judged = row.limit != Limit::None && (!needsReference || reference);
        const bool holds = Holds(row, figure->value, ratio, reference ? reference->value : 0);
        notRun += row.limit != Limit::None && !judged ? 1 : 0;
        missed += judged && !holds ? 1 : 0;
        std::fprintf(out, "| %s | %s%s | %s | %s | %s | %s | %s |\n", row.label.c_str(),
                     Amount(figure->value, row.unit).c_str(), Spread(*figure).c_str(),
                     row.reference.empty() ? "—" : row.reference.c_str(),
                     reference ? (Amount(reference->value, row.unit) + Spread(*reference)).c_str() : "—",
                     ratio >= 0 ? Number(ratio).c_str() : "—", TargetText(row).c_str(),
                     !judged ? "—" : holds ? "yes" : "**no**");
    }
    std::fprintf(out, "\n%d target(s) missed", missed);
    if (notRun > 0)
        std::fprintf(out, ", %d not run", notRun);
    std::fprintf(out, ".\n");
    return missed;
}

} // namespace bench
