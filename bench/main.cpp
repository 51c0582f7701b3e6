// kestrel_bench: measures what kestrel costs against the bare interpreter, in
// this one process, and prints the table of figures. Exits with 1 when a
// benchmark stopped with an error.
//
// Options of its own, before Google Benchmark's:
//   --smoke         run each benchmark once at its smallest size (for CI)
//   --table=PATH    also write the table to PATH
#include <cstdio>
#include <cstring>
#include <string>

#include "console.h"
#include "suite.h"
#include "table_reporter.h"

namespace {

// Takes the options of this program out of argv, leaving Google Benchmark's.
void TakeOwnOptions(int& argc, char** argv, std::string& tablePath)
{
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--smoke") == 0)
            bench::SetSmoke(true);
        else if (std::strncmp(argv[i], "--table=", 8) == 0)
            tablePath = argv[i] + 8;
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
}

// The module is opened once: the interpreter is one per process. Every
// benchmark runs after rb.Initialize, with the console in the counting sink.
bool OpenModule()
{
    BenchHost& host = bench::Host();
    ConsoleSetSink(CountConsole, &host.console);
    std::string error;
    if (!host.Open(KESTREL_MODULE_PATH, error)) {
        std::fprintf(stderr, "kestrel_bench: %s\n", error.c_str());
        return false;
    }
    if (host.Call(host.Member("Initialize"), nullptr) != 1) {
        std::fprintf(stderr, "kestrel_bench: rb.Initialize failed\n");
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string tablePath;
    TakeOwnOptions(argc, argv, tablePath);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    if (!OpenModule())
        return 1;

    bench::RegisterCallBenchmarks();
    bench::RegisterConsoleBenchmarks();
    bench::RegisterFileBenchmarks();
    bench::RegisterProcessBenchmarks();

    bench::TableReporter reporter(tablePath);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return reporter.Failed() ? 1 : 0;
}
