// Prints the benchmarks as Google Benchmark's console does, then the table of
// figures against their baselines: medians over the repetitions of what each
// figure's benchmark gives, its ratio and its goal.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace bench {

class TableReporter : public benchmark::ConsoleReporter {
public:
    // The table is also written to `tablePath`, unless it is empty.
    explicit TableReporter(std::string tablePath);

    bool ReportContext(const Context& context) override;
    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;

    // Whether a benchmark stopped with an error: its figure is missing.
    bool Failed() const { return failed_; }

private:
    using Counters = std::map<std::string, std::vector<double>>;  // by counter name

    void Collect(const Run& run);
    // The median over the repetitions of a counter of a benchmark; `found` tells
    // whether the benchmark gave it.
    double MedianOf(const std::string& benchmark, const std::string& counter, bool& found) const;
    std::string Table() const;

    std::string tablePath_;
    int cpus_ = 0;
    std::int64_t repetitionCount_ = 1;
    bool failed_ = false;
    std::map<std::string, Counters> repetitions_;  // by benchmark name
    std::map<std::string, Counters> medians_;
};

}  // namespace bench
