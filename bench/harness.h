// What the figures are taken with: a lean host that opens the module in this
// process, the paired runs that compare kestrel with its baseline, and the
// processes that some figures start.
#pragma once

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "host_positions.h"

namespace bench {

// The host that opened the module, whose operations do the least a host can,
// so that what is measured is the module and the interpreter. The console goes
// to a sink that counts the text, so that a figure can check that it arrived.
struct Host {
    const char* argument = nullptr;  // what ArgText gives
    std::size_t notices = 0;         // handed to ReportError
    std::size_t consoleBytes = 0;
    std::size_t consoleWrites = 0;
    std::map<std::string, standin::ModuleFunction> members;  // of rb
    int state = 0;                   // its address is the state handle

    // Calls an rb member with `text` as argument 1, as a script would.
    std::int32_t Call(standin::ModuleFunction member, const char* text)
    {
        argument = text;
        return member(&state);
    }
};
inline Host g_host;

// One block of a side's work: the seconds it took, or a negative time when
// its work did not arrive.
using Block = std::function<double()>;

// A block of `count` units of `work`; `work` gives false when it failed.
Block Timed(std::size_t count, std::function<bool()> work);

// A row of the table: what the two sides do and how their figures read.
struct Figure {
    std::string name;      // the benchmark's, unique in the suite
    std::string kestrel;   // what kestrel's side does, as the table says it
    std::string baseline;  // what the baseline does
    std::string unit;      // of the two sides' figures ("µs", "GB/s", ...)
    std::function<double(double seconds)> reading;  // a block's seconds in `unit`
    double goal = 0;       // the highest ratio that meets the goal; 0 for none
};

// Registers the figure's benchmark: a block of kestrel's work and one of the
// baseline's in each iteration (the side that goes first taking turns), so that
// a busy spell of the machine falls on both halves of a pair or spoils one
// pair; the ratio is kestrel's time over the baseline's, the median over the
// pairs. `repetitions` 0 leaves them to the command line.
void Compare(const Figure& figure, Block kestrel, Block baseline, int repetitions = 0);

// Registers a figure whose benchmark sets its counters "kestrel", "baseline"
// (in the figure's unit) and "ratio" itself.
benchmark::internal::Benchmark* Register(const Figure& figure, std::function<void(benchmark::State&)> body);

// The sizes a figure is taken at: all of them, or in a smoke run (each
// benchmark once, to see that it works) the first alone.
std::vector<std::size_t> Sizes(std::initializer_list<std::size_t> sizes);

// Runs `command` (the first word looked up in PATH), its input on /dev/null
// and its output in the file `output`, and waits for it. Gives the seconds it
// took, or -1 unless it exited with 0.
double Spawn(std::vector<std::string> command, const std::string& output = "/dev/null");

// A directory of this run's own for the files the figures write; removed at the end.
const std::string& WorkDirectory();

void RegisterFigures();

}  // namespace bench
