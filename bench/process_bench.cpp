// What needs a process of its own: opening the module in a fresh process
// against a bare ruby process, and a Lua loop in the stand-in game calling
// rb.RunString against the same calls made from C++.
#include <ruby.h>

#include <string>

#include "child_process.h"
#include "suite.h"

namespace bench {
namespace {

constexpr int kLuaCalls = 100000;

// A step that runs `run` `count` times and adds up the times it gives.
Step Repeated(double (*run)())
{
    return [run](std::size_t count) {
        double total = 0;
        for (std::size_t i = 0; i < count; ++i) {
            double seconds = run();
            if (seconds < 0)
                return -1.0;
            total += seconds;
        }
        return total;
    };
}

double OpenInFreshProcess()
{
    return RunProcess(ChildCommand({}));
}

double BareRubyProcess()
{
    return RunProcess({"ruby", "--disable=all", "-e", ""});
}

// The stand-in game running the loop, less the same game running nothing: what
// is left is the loop's own time.
double LuaLoop()
{
    std::string loop = "for i = 1, " + std::to_string(kLuaCalls) + " do rb.RunString('x = 1') end";
    double withLoop = RunProcess({KESTREL_HOST_PATH, "--console", "/dev/null", "-e", loop});
    double without = RunProcess({KESTREL_HOST_PATH, "--console", "/dev/null", "-e", ""});
    return withLoop < 0 || without < 0 ? -1 : withLoop - without;
}

bool EvalCalls()
{
    for (int i = 0; i < kLuaCalls; ++i)
        rb_eval_string("x = 1");
    return true;
}

}  // namespace

void RegisterProcessBenchmarks()
{
    Figure start;
    start.name = "start";
    start.kestrel = {"gmod_open in a fresh process (interpreter start included), whole process",
                     Repeated(OpenInFreshProcess)};
    start.baseline = {"ruby --disable=all -e '', whole process", Repeated(BareRubyProcess)};
    start.unit = benchmark::kMillisecond;
    Compare(start);

    Figure lua;
    lua.name = "lua";
    lua.kestrel = {"100,000 rb.RunString(\"x = 1\") from a Lua loop in kestrel-host", Repeated(LuaLoop)};
    lua.baseline = {"100,000 rb_eval_string(\"x = 1\") from C++", Timed(EvalCalls)};
    lua.measure = Measure::CallsPerSecond;
    lua.amount = kLuaCalls;
    lua.unit = benchmark::kMillisecond;
    Compare(lua);
}

}  // namespace bench
