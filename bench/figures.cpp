// What kestrel costs, each figure against the bare interpreter doing the same
// work: an rb.RunString call, on success and on failure; puts against the
// console's own cost; rb.RunFile's time and peak memory against load; the
// start of a process; calls from a Lua loop. Every block checks that its work
// arrived (the count returned, the console's bytes, the notices, the exit status).
#include <ruby.h>

#include <algorithm>
#include <fstream>
#include <string>

#include "console.h"
#include "harness.h"

namespace bench {
namespace {

constexpr std::size_t kKB = 1024;
constexpr std::size_t kMB = 1024 * kKB;
constexpr std::size_t kPiece = 1024;     // the pieces the module writes a String in
constexpr int kLuaCalls = 100000;

// How a block's seconds read: the time of one of `units` units of work, times
// `scale` (1e6 for µs); or a rate of `amount` a block.
std::function<double(double)> Time(std::size_t units, double scale)
{
    return [=](double seconds) { return seconds / static_cast<double>(units) * scale; };
}

std::function<double(double)> Rate(double amount)
{
    return [=](double seconds) { return amount / seconds; };
}

std::string SizeName(std::size_t bytes, const char* space = " ")
{
    return bytes >= kMB ? std::to_string(bytes / kMB) + space + "MB" : std::to_string(bytes / kKB) + space + "KB";
}

VALUE Eval(VALUE text)
{
    return rb_eval_string(reinterpret_cast<const char*>(text));
}

// The bare interpreter: the text evaluated under protection; a failure's
// message read from $!, which is then cleared (left set, each exception would
// take the last as its cause, and the chain would grow with every call).
Block EvalProtected(std::size_t calls, const char* text, bool raises)
{
    return Timed(calls, [text, raises] {
        int state = 0;
        rb_protect(Eval, reinterpret_cast<VALUE>(text), &state);
        if (state == 0)
            return !raises;
        benchmark::DoNotOptimize(RSTRING_PTR(rb_obj_as_string(rb_errinfo())));
        rb_set_errinfo(Qnil);
        return raises;
    });
}

// rb.RunString called as the host calls it; a failure must come with its
// console line and its notice.
Block RunString(std::size_t calls, const char* text, bool raises)
{
    standin::ModuleFunction runString = g_host.members.at("RunString");
    return Timed(calls, [runString, text, raises] {
        std::size_t notices = g_host.notices;
        std::size_t console = g_host.consoleBytes;
        std::int32_t count = g_host.Call(runString, text);
        if (!raises)
            return count == 1;
        return count == 0 && g_host.notices == notices + 1 && g_host.consoleBytes > console;
    });
}

// Blocks of `calls` calls, short enough that most pairs fall between two
// spells of other work on a busy machine.
void CompareCall(const char* name, const std::string& what, std::size_t calls, const char* text, bool raises,
                 double goal)
{
    std::string bare = "rb_eval_string under rb_protect";
    Figure figure{std::string("call/") + name, what, raises ? bare + ", then $!'s message" : bare, "µs",
                  Time(calls, 1e6), goal};
    Compare(figure, RunString(calls, text, raises), EvalProtected(calls, text, raises));
}

// A method definition of exactly 1,024 bytes: short statements, padded with a comment.
std::string MethodDefinition()
{
    std::string text = "def bench_method(a, b)\n";
    for (int i = 0; text.size() < 1024 - 30; ++i)
        text += "  v" + std::to_string(i) + " = a * " + std::to_string(i) + " + b\n";
    return text + "#" + std::string(1024 - text.size() - 6, '-') + "\nend\n";
}

// puts as Ruby code calls it, which must hand the console the whole String in
// pieces of kPiece bytes, against Msg called from C++ with the same pieces.
void ComparePuts(std::size_t size)
{
    VALUE text = rb_str_new(nullptr, static_cast<long>(size));
    rb_gc_register_mark_object(text);
    for (std::size_t i = 0; i < size; ++i)
        RSTRING_PTR(text)[i] = static_cast<char>('a' + i % 26);
    VALUE main = rb_eval_string("self");
    ID puts = rb_intern("puts");
    std::size_t count = std::max<std::size_t>(1, 256 * kKB / size);
    Block kestrel = Timed(count, [main, puts, text, size] {
        std::size_t bytes = g_host.consoleBytes;
        std::size_t writes = g_host.consoleWrites;
        rb_funcall(main, puts, 1, text);
        return g_host.consoleBytes - bytes == size && g_host.consoleWrites - writes == (size + kPiece - 1) / kPiece;
    });
    Block msg = Timed(count, [text, size] {
        for (std::size_t done = 0; done < size; done += kPiece)
            Msg("%.*s", static_cast<int>(std::min(kPiece, size - done)), RSTRING_PTR(text) + done);
        return true;
    });
    Compare({"puts/" + SizeName(size, ""), "puts of a " + SizeName(size) + " String", "Msg from C++, same pieces",
             "GB/s", Rate(static_cast<double>(count * size) / 1e9), 1.10},
            kestrel, msg);
}

// Exactly `size` bytes of whole lines, mostly comments or mostly short
// statements (one line in fifty is of the other kind); the last line is a
// comment that fills the rest.
std::string Source(bool comments, std::size_t size)
{
    std::string text;
    text.reserve(size);
    for (std::size_t line = 0; text.size() + 2 * 64 < size; ++line) {
        if (comments != (line % 50 == 49))
            text += "# " + std::string(60, static_cast<char>('a' + line % 26)) + "\n";
        else
            text += line % 2 == 0 ? "x = 1\n" : "y = :y\n";
    }
    return text + "#" + std::string(size - text.size() - 2, '-') + "\n";
}

// The stand-in game running the Lua `chunks` in a process of its own: the
// seconds it took, or -1 when it failed (a notice fails it too).
double Game(std::vector<std::string> chunks, const std::string& output = "/dev/null")
{
    std::vector<std::string> command = {KESTREL_HOST_PATH, "--console", "/dev/null"};
    for (const std::string& chunk : chunks)
        command.insert(command.end(), {"-e", chunk});
    return Spawn(command, output);
}

// The peak resident memory, in MB, of the stand-in game running `chunk`, or
// -1 when it failed: a fresh interpreter, so that the figure does not hang on
// what earlier figures left.
double PeakOf(const std::string& chunk)
{
    std::string output = WorkDirectory() + "/peak";
    double kilobytes = -1024;
    if (Game({chunk, "io.write(io.open('/proc/self/status'):read('*a'):match('VmHWM:%s*(%d+)'))"}, output) >= 0)
        std::ifstream(output) >> kilobytes;
    return kilobytes / 1024;
}

void CompareFile(bool comments, std::size_t size)
{
    std::string name = (comments ? "file/comments_" : "file/statements_") + SizeName(size, "");
    std::string path = WorkDirectory() + "/" + name.substr(5) + ".rb";
    std::ofstream(path, std::ios::binary) << Source(comments, size);
    standin::ModuleFunction runFile = g_host.members.at("RunFile");
    // RunFile gives 1 also for a file it could not read: the notice tells them apart.
    Block kestrel = Timed(1, [runFile, path] {
        std::size_t notices = g_host.notices;
        return g_host.Call(runFile, path.c_str()) == 1 && g_host.notices == notices;
    });
    Block load = Timed(1, [path] {
        int failed = 0;
        rb_load_protect(rb_str_new_cstr(path.c_str()), 0, &failed);
        rb_set_errinfo(Qnil);
        return failed == 0;
    });
    std::string what = "RunFile of " + SizeName(size) + ", mostly " + (comments ? "comments" : "short statements");
    // The largest takes seconds a run: the median of three will do.
    Compare({name, what, "rb_load_protect", "ms", Time(1, 1e3), 1.10}, kestrel, load, size > kMB && !comments ? 3 : 0);

    // Peak memory: one run of each side, whose ratio is kestrel's peak less the
    // baseline's, in sizes of the file.
    Figure peak{name + "/peak", what + ": peak resident memory", "load of the same file", "MB", nullptr, 1.0};
    Register(peak, [path, size](benchmark::State& state) {
        double kestrelPeak = 0, loadPeak = 0;
        for (auto _ : state) {
            kestrelPeak = PeakOf("rb.RunFile('" + path + "')");
            loadPeak = PeakOf("rb.RunString(\"load '" + path + "'\")");
        }
        if (kestrelPeak < 0 || loadPeak < 0)
            return state.SkipWithError("a process failed");
        state.counters["kestrel"] = kestrelPeak;
        state.counters["baseline"] = loadPeak;
        state.counters["ratio"] = (kestrelPeak - loadPeak) * kMB / static_cast<double>(size);
    })->Iterations(1)->Repetitions(1);
}

void CompareProcesses()
{
    Compare({"start", "kestrel-host opening the module (interpreter start included), whole process",
             "ruby --disable=all -e '', whole process", "ms", Time(1, 1e3)},
            [] { return Game({""}); }, [] { return Spawn({"ruby", "--disable=all", "-e", ""}); });

    // The game running the loop, less the game running nothing: what is left
    // is the loop's own time.
    std::string loop = "for i = 1, " + std::to_string(kLuaCalls) + " do rb.RunString('x = 1') end";
    Block lua = [loop] {
        double with = Game({loop});
        double without = Game({""});
        return with < 0 || without < 0 ? -1 : with - without;
    };
    Block bare = Timed(1, [] {
        for (int i = 0; i < kLuaCalls; ++i)
            rb_eval_string("x = 1");
        return true;
    });
    Compare({"lua", "100,000 rb.RunString(\"x = 1\") from a Lua loop in kestrel-host",
             "100,000 rb_eval_string(\"x = 1\") from C++", "calls/s", Rate(kLuaCalls)},
            lua, bare);
}

}  // namespace

void RegisterFigures()
{
    static const std::string method = MethodDefinition();
    CompareCall("nil", "RunString(\"nil\")", 20, "nil", false, 1.05);
    CompareCall("method_1kb", "RunString(1 KB method definition)", 2, method.c_str(), false, 1.05);
    CompareCall("raise", "RunString(\"raise 'boom'\"), console line and notice", 20, "raise 'boom'", true, 1.10);
    for (std::size_t size : Sizes({64 * kKB, kMB}))
        ComparePuts(size);
    for (bool comments : {true, false}) {
        for (std::size_t size : Sizes({kMB, 20 * kMB}))
            CompareFile(comments, size);
    }
    CompareProcesses();
}

}  // namespace bench
