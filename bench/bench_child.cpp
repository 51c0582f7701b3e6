// The process of its own that some benchmarks need: it opens the module as a
// game does at its start and, when told to, runs a file in the fresh
// interpreter and prints the process's peak resident memory in bytes.
//
// Usage: kestrel_bench_child MODULE_PATH [run-file PATH | load PATH]
//   run-file  runs PATH with rb.RunFile
//   load      runs PATH with the interpreter's own rb_load_protect
// Exits with 0 when the module opened, its interpreter runs Ruby and the file
// ran without failing.
#include <ruby.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "bench_host.h"
#include "console.h"

namespace {

bool RunFile(BenchHost& host, const char* path)
{
    return host.Call(host.Member("RunFile"), path) == 1 && host.notices == 0;
}

bool Load(const char* path)
{
    int failed = 0;
    rb_load_protect(rb_str_new_cstr(path), 0, &failed);
    return failed == 0;
}

// VmHWM in /proc/self/status, in bytes.
long long PeakResidentBytes()
{
    std::ifstream status("/proc/self/status");
    std::string word;
    long long kilobytes = -1;
    while (status >> word && word != "VmHWM:") {
    }
    status >> kilobytes;
    return kilobytes * 1024;
}

bool Act(BenchHost& host, const std::string& action, const char* path)
{
    if (action == "run-file")
        return RunFile(host, path);
    if (action == "load")
        return Load(path);
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 4) {
        std::fputs("usage: kestrel_bench_child MODULE_PATH [run-file PATH | load PATH]\n", stderr);
        return 2;
    }
    BenchHost host;
    ConsoleSetSink(CountConsole, &host.console);
    std::string error;
    if (!host.Open(argv[1], error)) {
        std::fprintf(stderr, "kestrel_bench_child: %s\n", error.c_str());
        return 1;
    }
    if (host.Call(host.Member("RunString"), "nil") != 1)
        return 1;
    if (argc == 2)
        return 0;
    if (!Act(host, argv[2], argv[3]))
        return 1;
    std::printf("%lld\n", PeakResidentBytes());
    return 0;
}
