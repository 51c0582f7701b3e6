#include "suite.h"

#include <algorithm>
#include <chrono>
#include <memory>

namespace bench {
namespace {

std::vector<Row> g_rows;
bool g_smoke = false;

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// One pair of blocks per iteration, the side that goes first taking turns
// over the whole run (a slow figure runs one pair per repetition).
void RunPairs(benchmark::State& state, const Figure& figure, std::size_t& pairs)
{
    if (figure.peaks) {
        std::pair<double, double> peaks = figure.peaks();
        if (peaks.first <= 0 || peaks.second <= 0) {
            state.SkipWithError("a peak could not be measured");
            return;
        }
        state.counters[kKestrelPeakCounter] = peaks.first;
        state.counters[kBaselinePeakCounter] = peaks.second;
    }
    std::vector<double> kestrel, baseline, ratios;
    for (auto _ : state) {
        bool kestrelFirst = pairs++ % 2 == 0;
        double first = (kestrelFirst ? figure.kestrel : figure.baseline).step(figure.count);
        double second = (kestrelFirst ? figure.baseline : figure.kestrel).step(figure.count);
        if (first < 0 || second < 0) {
            state.SkipWithError("a step failed");
            return;
        }
        double ours = kestrelFirst ? first : second;
        double theirs = kestrelFirst ? second : first;
        kestrel.push_back(ours / static_cast<double>(figure.count));
        baseline.push_back(theirs / static_cast<double>(figure.count));
        ratios.push_back(ours / theirs);
        state.SetIterationTime(ours + theirs);
    }
    state.counters[kKestrelCounter] = Median(kestrel);
    state.counters[kBaselineCounter] = Median(baseline);
    state.counters[kRatioCounter] = Median(ratios);
}

}  // namespace

Step Timed(std::function<bool()> unit)
{
    return [unit](std::size_t count) {
        auto start = std::chrono::steady_clock::now();
        for (std::size_t i = 0; i < count; ++i) {
            if (!unit())
                return -1.0;
        }
        std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        return took.count();
    };
}

void Compare(const Figure& figure)
{
    auto pairs = std::make_shared<std::size_t>(0);
    benchmark::internal::Benchmark* b = benchmark::RegisterBenchmark(
        figure.name.c_str(), [figure, pairs](benchmark::State& state) { RunPairs(state, figure, *pairs); });
    b->Unit(figure.unit)->UseManualTime();
    if (g_smoke)
        b->Iterations(1)->Repetitions(1);
    else if (figure.repetitions > 0)
        b->Repetitions(figure.repetitions);

    g_rows.push_back({figure.kestrel.label, figure.baseline.label, figure.name, figure.measure, figure.amount,
                      figure.goal});
    if (figure.peaks)
        g_rows.push_back({figure.kestrel.label + ": peak resident memory of a fresh process", figure.baseline.label,
                          figure.name, Measure::PeakMemory, figure.amount, 1.0});
}

const std::vector<Row>& Rows()
{
    return g_rows;
}

void SetSmoke(bool smoke)
{
    g_smoke = smoke;
}

std::vector<std::size_t> Sizes(std::initializer_list<std::size_t> sizes)
{
    if (g_smoke)
        return {*sizes.begin()};
    return sizes;
}

BenchHost& Host()
{
    static BenchHost host;
    return host;
}

std::string SizeName(std::size_t bytes)
{
    if (bytes >= (1u << 20) && bytes % (1u << 20) == 0)
        return std::to_string(bytes >> 20) + " MB";
    if (bytes >= (1u << 10) && bytes % (1u << 10) == 0)
        return std::to_string(bytes >> 10) + " KB";
    return std::to_string(bytes) + " B";
}

std::string SizeKey(std::size_t bytes)
{
    std::string name = SizeName(bytes);
    return name.erase(name.find(' '), 1);
}

}  // namespace bench
