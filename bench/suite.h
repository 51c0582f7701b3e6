// The benchmark suite: each figure is one benchmark that times kestrel and its
// baseline in turns, a block of one right after a block of the other, so that
// a busy spell of the machine falls on both; the ratio is taken for each pair
// of blocks, and the table gives medians.
#pragma once

#include <benchmark/benchmark.h>

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "bench_host.h"

namespace bench {

// Does its unit of work `count` times and gives the seconds that took, or a
// negative time when the work failed.
using Step = std::function<double(std::size_t count)>;

// A step that does `unit` under the steady clock; `unit` gives false when it failed.
Step Timed(std::function<bool()> unit);

// What a row of the table compares, and how its figures read.
enum class Measure {
    TimePerCall,     // time of one unit
    BytesPerSecond,  // `amount` bytes in one unit
    CallsPerSecond,  // `amount` calls in one unit
    PeakMemory,      // the peaks of the two sides, against `amount` bytes
};

// The counters of a figure's benchmark, in seconds per unit and in bytes.
constexpr const char kKestrelCounter[] = "kestrel";
constexpr const char kBaselineCounter[] = "baseline";
constexpr const char kRatioCounter[] = "ratio";
constexpr const char kKestrelPeakCounter[] = "kestrel_peak";
constexpr const char kBaselinePeakCounter[] = "baseline_peak";

struct Side {
    std::string label;  // what it does, as the table says it
    Step step;
};

struct Figure {
    std::string name;  // the benchmark's name, unique in the suite
    Side kestrel;
    Side baseline;
    Measure measure = Measure::TimePerCall;
    double amount = 1;
    double goal = 0;          // the highest ratio that meets the goal; 0 for none
    std::size_t count = 1;    // units in a block
    benchmark::TimeUnit unit = benchmark::kMicrosecond;
    int repetitions = 0;      // 0: as many as --benchmark_repetitions says
    // When set, the peak resident memory of each side, in bytes: it adds a
    // row, whose goal is a peak at most `amount` bytes above the baseline's.
    std::function<std::pair<double, double>()> peaks;
};

struct Row {
    std::string figure;
    std::string baseline;
    std::string benchmark;
    Measure measure;
    double amount;
    double goal;
};

// Registers the figure's benchmark and adds its rows to the table.
void Compare(const Figure& figure);
const std::vector<Row>& Rows();

// A smoke run only checks that every benchmark still works: each runs once, at
// its smallest size.
void SetSmoke(bool smoke);

// The sizes a benchmark runs at: all of them, or the first alone in a smoke run.
std::vector<std::size_t> Sizes(std::initializer_list<std::size_t> sizes);

// The host that opened the module for this process.
BenchHost& Host();

// Byte counts for labels ("1 KB", "64 KB", "20 MB") and for benchmark names ("64KB").
std::string SizeName(std::size_t bytes);
std::string SizeKey(std::size_t bytes);

void RegisterCallBenchmarks();
void RegisterConsoleBenchmarks();
void RegisterFileBenchmarks();
void RegisterProcessBenchmarks();

}  // namespace bench
