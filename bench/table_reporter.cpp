#include "table_reporter.h"

#include <sys/utsname.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>
#include <utility>

#include "suite.h"

// What `ruby -v` prints, exported by the interpreter's library (ruby/version.h,
// which cannot come in with <cstdio>: ruby.h renames snprintf).
extern "C" const char ruby_description[];

namespace bench {
namespace {

double MedianValue(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

std::string Format(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string FormatTime(double seconds)
{
    if (seconds < 1e-6)
        return Format("%.0f ns", seconds * 1e9);
    if (seconds < 1e-3)
        return Format("%.2f µs", seconds * 1e6);
    if (seconds < 1)
        return Format("%.2f ms", seconds * 1e3);
    return Format("%.2f s", seconds);
}

std::string FormatBytesRate(double bytesPerSecond)
{
    if (bytesPerSecond >= 1e9)
        return Format("%.2f GB/s", bytesPerSecond / 1e9);
    return Format("%.0f MB/s", bytesPerSecond / 1e6);
}

// A whole number with its thousands apart: 215,311.
std::string FormatCount(double count)
{
    std::string digits = Format("%.0f", count);
    for (std::size_t i = digits.size(); i > 3; i -= 3)
        digits.insert(i - 3, ",");
    return digits;
}

std::string FormatMegabytes(double bytes)
{
    return Format("%.1f MB", bytes / (1 << 20));
}

std::string CpuModel()
{
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line;
    while (std::getline(cpuinfo, line)) {
        if (line.rfind("model name", 0) == 0)
            return line.substr(line.find(':') + 2);
    }
    return "unknown CPU";
}

std::string KernelRelease()
{
    struct utsname name;
    return uname(&name) == 0 ? std::string(name.sysname) + " " + name.release : "unknown system";
}

std::string Today()
{
    char date[16];
    std::time_t now = std::time(nullptr);
    std::strftime(date, sizeof date, "%Y-%m-%d", std::localtime(&now));
    return date;
}

}  // namespace

TableReporter::TableReporter(std::string tablePath)
    : benchmark::ConsoleReporter(OO_Tabular), tablePath_(std::move(tablePath))
{
}

bool TableReporter::ReportContext(const Context& context)
{
    cpus_ = context.cpu_info.num_cpus;
    return ConsoleReporter::ReportContext(context);
}

void TableReporter::ReportRuns(const std::vector<Run>& runs)
{
    for (const Run& run : runs)
        Collect(run);
    ConsoleReporter::ReportRuns(runs);
}

// Keeps each repetition's counters, and Google Benchmark's own median of them
// when it gives one (it does not pass on the repetitions when asked for
// aggregates only).
void TableReporter::Collect(const Run& run)
{
    failed_ = failed_ || run.error_occurred;
    bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
    if ((run.run_type != Run::RT_Iteration && !median) || run.error_occurred)
        return;
    Counters& counters = median ? medians_[run.run_name.function_name] : repetitions_[run.run_name.function_name];
    for (const auto& counter : run.counters)
        counters[counter.first].push_back(counter.second.value);
    repetitionCount_ = std::max(repetitionCount_, run.repetitions);
}

double TableReporter::MedianOf(const std::string& benchmark, const std::string& counter, bool& found) const
{
    for (const auto* source : {&medians_, &repetitions_}) {
        auto counters = source->find(benchmark);
        if (counters == source->end())
            continue;
        auto values = counters->second.find(counter);
        if (values != counters->second.end() && !values->second.empty()) {
            found = true;
            return MedianValue(values->second);
        }
    }
    found = false;
    return 0;
}

namespace {

std::string FormatFigure(const Row& row, double value)
{
    switch (row.measure) {
    case Measure::TimePerCall:
        return FormatTime(value);
    case Measure::BytesPerSecond:
        return FormatBytesRate(row.amount / value);
    case Measure::CallsPerSecond:
        return FormatCount(row.amount / value) + " calls/s";
    case Measure::PeakMemory:
        return FormatMegabytes(value);
    }
    return "";
}

}  // namespace

std::string TableReporter::Table() const
{
    std::ostringstream table;
    table << "Measured on " << Today() << ": " << CpuModel() << ", " << cpus_ << " cores, " << KernelRelease()
          << "; " << ruby_description << ".\n"
          << "Each figure is the median of " << repetitionCount_ << " repetition(s).\n\n"
          << "| Figure | kestrel | Baseline | Baseline's figure | Ratio | Goal | |\n"
          << "|---|---|---|---|---|---|---|\n";
    for (const Row& row : Rows()) {
        bool memory = row.measure == Measure::PeakMemory;
        bool found[3];
        double kestrel = MedianOf(row.benchmark, memory ? kKestrelPeakCounter : kKestrelCounter, found[0]);
        double baseline = MedianOf(row.benchmark, memory ? kBaselinePeakCounter : kBaselineCounter, found[1]);
        double ratio = memory ? (kestrel - baseline) / row.amount : MedianOf(row.benchmark, kRatioCounter, found[2]);
        table << "| " << row.figure << " | ";
        if (!found[0] || !found[1] || (!memory && !found[2])) {
            table << "not run | " << row.baseline << " | not run | | | |\n";
            continue;
        }
        table << FormatFigure(row, kestrel) << " | " << row.baseline << " | " << FormatFigure(row, baseline) << " | "
              << Format("%.3f", ratio) << " | ";
        if (row.goal > 0)
            table << "≤ " << Format("%.2f", row.goal) << " | " << (ratio <= row.goal ? "met" : "**missed**");
        else
            table << "none | ";
        table << " |\n";
    }
    table << "\nRatio: kestrel's time over the baseline's, taken for each pair of blocks run one right after the "
             "other (for a rate, the baseline's rate over kestrel's); for peak memory, kestrel's peak less the "
             "baseline's, in sizes of the file.\n";
    return table.str();
}

void TableReporter::Finalize()
{
    std::string table = Table();
    GetOutputStream() << "\n" << table;
    if (!tablePath_.empty())
        std::ofstream(tablePath_) << table;
    ConsoleReporter::Finalize();
}

}  // namespace bench
