// kestrel_bench: the figures of figures.cpp, with Google Benchmark's console
// output, and the table of figures against their baselines.
//
// Options of its own, before Google Benchmark's:
//   --smoke         each benchmark once at its smallest size (CI): checks that
//                   they work; the figures mean nothing
//   --table=PATH    where the table goes (default bench-table.md)
// Exits with 1 when a benchmark stopped because its work did not arrive.
#include "harness.h"

#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

#include "console.h"
#include "host_platform.h"
#include "operation_table.h"

extern char** environ;

namespace bench {
namespace {

bool g_smoke = false;
std::vector<Figure> g_figures;  // the rows of the table, in order

// The host's objects as the module sees them. One object plays the entry, its
// registry, the script interface and the rb table: their operations all sit
// at different positions. Each does the least a host can.
using Object = standin::ObjectHeader;
Object g_object{nullptr, "BenchHost"};

void* HOST_MEMBER_CALL StateHandle(Object*) { return &g_host.state; }
Object* HOST_MEMBER_CALL Registry(Object* self) { return self; }
Object* HOST_MEMBER_CALL InterfaceFor(Object* self, void*) { return self; }
Object* HOST_MEMBER_CALL FetchGlobal(Object* self, const char*) { return self; }
const char* HOST_MEMBER_CALL ArgText(Object*, std::int32_t) { return g_host.argument; }
void HOST_MEMBER_CALL MakeGlobalTable(Object*, const char*) {}
void HOST_MEMBER_CALL RequireArgType(Object*, std::int32_t, std::int32_t) {}  // every argument here is text
void HOST_MEMBER_CALL ReportError(Object*, const char*) { ++g_host.notices; }
void HOST_MEMBER_CALL SetFunction(Object*, const char* name, standin::ModuleFunction function)
{
    g_host.members[name] = function;
}

void CountConsole(const char*, std::size_t length, void*)
{
    g_host.consoleBytes += length;
    ++g_host.consoleWrites;
}

// Opens the module once (the interpreter is one per process) and calls
// rb.Initialize, with the console in the counting sink.
bool OpenModule()
{
    using standin::AsOperation;
    namespace script = standin::script_interface;
    static const standin::OperationTable<script::kSize> operations = {
        {standin::entry::kStateHandle, AsOperation(StateHandle)},
        {standin::entry::kRegistry, AsOperation(Registry)},
        {standin::registry::kInterfaceFor, AsOperation(InterfaceFor)},
        {script::kFetchGlobal, AsOperation(FetchGlobal)},
        {script::kArgText, AsOperation(ArgText)},
        {script::kMakeGlobalTable, AsOperation(MakeGlobalTable)},
        {script::kRequireArgType, AsOperation(RequireArgType)},
        {script::kReportError, AsOperation(ReportError)},
        {standin::object::kSetFunction, AsOperation(SetFunction)}};
    g_object.operations = operations.data();

    ConsoleSetSink(CountConsole, nullptr);
    std::string error;
    void* module = standin::LoadModule(KESTREL_MODULE_PATH, error);
    auto open = reinterpret_cast<standin::OpenEntry>(module ? standin::FindEntry(module, "gmod_open") : nullptr);
    if (open == nullptr) {
        std::fprintf(stderr, "kestrel_bench: cannot open %s: %s\n", KESTREL_MODULE_PATH, error.c_str());
        return false;
    }
    open(&g_object);
    for (const char* name : {"Initialize", "RunString", "RunFile"}) {
        if (g_host.members.count(name) == 0) {
            std::fprintf(stderr, "kestrel_bench: the module stored no rb.%s\n", name);
            return false;
        }
    }
    if (g_host.Call(g_host.members["Initialize"], nullptr) == 1)
        return true;
    std::fputs("kestrel_bench: rb.Initialize failed\n", stderr);
    return false;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// `pairs` counts over the whole run, so that the side going first takes turns
// also when a slow figure runs one pair a repetition.
void RunPairs(benchmark::State& state, const Figure& figure, const Block& kestrel, const Block& baseline,
              std::size_t& pairs)
{
    std::vector<double> ours, theirs, ratios;
    for (auto _ : state) {
        bool kestrelFirst = pairs++ % 2 == 0;
        double first = (kestrelFirst ? kestrel : baseline)();
        double second = (kestrelFirst ? baseline : kestrel)();
        if (first < 0 || second < 0) {
            state.SkipWithError("the work of a block did not arrive");
            return;
        }
        ours.push_back(kestrelFirst ? first : second);
        theirs.push_back(kestrelFirst ? second : first);
        ratios.push_back(ours.back() / theirs.back());
        state.SetIterationTime(first + second);
    }
    state.counters["kestrel"] = figure.reading(Median(ours));
    state.counters["baseline"] = figure.reading(Median(theirs));
    state.counters["ratio"] = Median(ratios);
}

// Google Benchmark's console output, keeping for the table each figure's
// counters: the medians over its repetitions, or its one run.
class TableReporter : public benchmark::ConsoleReporter {
public:
    TableReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            failed = failed || run.error_occurred;
            bool median = run.run_type == Run::RT_Aggregate ? run.aggregate_name == "median" : run.repetitions == 1;
            if (median && !run.error_occurred)
                counters[run.run_name.function_name] = run.counters;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    bool failed = false;
    std::map<std::string, benchmark::UserCounters> counters;  // by benchmark name
};

std::string Format(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

void WriteTable(std::ostream& out, const TableReporter& results)
{
    auto reading = [](double value, const std::string& unit) {
        return Format(value >= 1000 ? "%.0f " : "%.2f ", value) + unit;
    };
    out << "| Figure | kestrel | Baseline | Baseline's figure | Ratio | Goal |\n|---|---|---|---|---|---|\n";
    for (const Figure& figure : g_figures) {
        auto found = results.counters.find(figure.name);
        out << "| " << figure.kestrel << " | ";
        if (found == results.counters.end()) {
            out << "not run | " << figure.baseline << " | not run | | |\n";
            continue;
        }
        const benchmark::UserCounters& counters = found->second;
        double ratio = counters.at("ratio");
        out << reading(counters.at("kestrel"), figure.unit) << " | " << figure.baseline << " | "
            << reading(counters.at("baseline"), figure.unit) << " | " << Format("%.3f", ratio) << " | ";
        if (figure.goal > 0)
            out << Format("≤ %.2f", figure.goal) << (ratio <= figure.goal ? ", met" : ", **missed**");
        out << " |\n";
    }
}

}  // namespace

Block Timed(std::size_t count, std::function<bool()> work)
{
    return [count, work] {
        auto start = std::chrono::steady_clock::now();
        for (std::size_t i = 0; i < count; ++i) {
            if (!work())
                return -1.0;
        }
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
}

benchmark::internal::Benchmark* Register(const Figure& figure, std::function<void(benchmark::State&)> body)
{
    g_figures.push_back(figure);
    benchmark::internal::Benchmark* b = benchmark::RegisterBenchmark(figure.name.c_str(), body);
    b->Unit(benchmark::kMillisecond);
    if (g_smoke)
        b->Iterations(1)->Repetitions(1);
    return b;
}

void Compare(const Figure& figure, Block kestrel, Block baseline, int repetitions)
{
    auto pairs = std::make_shared<std::size_t>(0);
    benchmark::internal::Benchmark* b = Register(figure, [=](benchmark::State& state) {
        RunPairs(state, figure, kestrel, baseline, *pairs);
    });
    b->UseManualTime();
    if (!g_smoke && repetitions > 0)
        b->Repetitions(repetitions);
}

std::vector<std::size_t> Sizes(std::initializer_list<std::size_t> sizes)
{
    if (g_smoke)
        return {*sizes.begin()};
    return sizes;
}

double Spawn(std::vector<std::string> command, const std::string& output)
{
    std::vector<char*> argv;
    for (std::string& word : command)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);

    auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    int status = -1;
    bool started = posix_spawnp(&child, argv[0], &files, nullptr, argv.data(), environ) == 0;
    // The interpreter's signal handlers do not restart system calls.
    while (started && waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    posix_spawn_file_actions_destroy(&files);
    return started && WIFEXITED(status) && WEXITSTATUS(status) == 0 ? took.count() : -1;
}

const std::string& WorkDirectory()
{
    static const std::string path = [] {
        char pattern[] = "/tmp/kestrel-bench.XXXXXX";
        return std::string(mkdtemp(pattern) != nullptr ? pattern : "/nonexistent");
    }();
    return path;
}

}  // namespace bench

int main(int argc, char** argv)
{
    std::string tablePath = "bench-table.md";
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--smoke") == 0)
            bench::g_smoke = true;
        else if (std::strncmp(argv[i], "--table=", 8) == 0)
            tablePath = argv[i] + 8;
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    if (!bench::OpenModule())
        return 1;

    bench::RegisterFigures();
    bench::TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(bench::WorkDirectory(), ignored);
    std::ofstream table(tablePath);
    bench::WriteTable(table, reporter);
    return reporter.failed || !table ? 1 : 0;
}
