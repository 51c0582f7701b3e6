// What one rb.RunString costs, on success and on failure, against the bare
// interpreter evaluating the same text under protection.
#include <ruby.h>

#include <string>

#include "suite.h"

namespace bench {
namespace {

VALUE EvalText(VALUE text)
{
    return rb_eval_string(reinterpret_cast<const char*>(text));
}

// The bare interpreter: the text evaluated under protection, nothing around it.
int EvalProtected(const char* text)
{
    int state = 0;
    rb_protect(EvalText, reinterpret_cast<VALUE>(text), &state);
    return state;
}

// A method definition of exactly 1,024 bytes: short statements, padded with a comment.
std::string MethodDefinition()
{
    std::string text = "def bench_method(a, b)\n";
    const std::string end = "end\n";
    for (int i = 0;; ++i) {
        std::string line = "  v" + std::to_string(i) + " = a * " + std::to_string(i) + " + b\n";
        if (text.size() + line.size() + end.size() + 2 > 1024)
            break;
        text += line;
    }
    text += "#" + std::string(1024 - text.size() - end.size() - 2, '-') + "\n";
    return text + end;
}

// RunString called as the host calls it, with `text` as its argument. A
// failure must come with its console line and its notice.
Step RunString(const char* text, bool raises)
{
    BenchHost& host = Host();
    standin::ModuleFunction runString = host.Member("RunString");
    return Timed([&host, runString, text, raises] {
        std::size_t notices = host.notices;
        std::size_t console = host.console.bytes;
        std::int32_t count = host.Call(runString, text);
        if (!raises)
            return count == 1;
        return count == 0 && host.notices == notices + 1 && host.console.bytes > console;
    });
}

// The bare interpreter's failure: the protected evaluation, then $!'s message.
// $! is cleared as well: left set, each exception would take the last as its
// cause, and the chain would grow with every call.
Step EvalString(const char* text, bool raises)
{
    return Timed([text, raises] {
        if (EvalProtected(text) == 0)
            return !raises;
        VALUE message = rb_obj_as_string(rb_errinfo());
        benchmark::DoNotOptimize(RSTRING_PTR(message));
        rb_set_errinfo(Qnil);
        return raises;
    });
}

// RunString of `text` against the bare evaluation of the same text.
void CompareCall(const std::string& name, const std::string& label, const char* text, bool raises,
                 const std::string& bareLabel, double goal)
{
    Figure figure;
    figure.name = "call/" + name;
    figure.kestrel = {label, RunString(text, raises)};
    figure.baseline = {bareLabel, EvalString(text, raises)};
    figure.goal = goal;
    figure.count = 20;
    Compare(figure);
}

}  // namespace

void RegisterCallBenchmarks()
{
    static const std::string method = MethodDefinition();
    const std::string bare = "rb_eval_string under rb_protect";
    CompareCall("nil", "RunString(\"nil\")", "nil", false, bare, 1.05);
    CompareCall("method_1kb", "RunString(1 KB method definition)", method.c_str(), false, bare, 1.05);
    CompareCall("raise", "RunString(\"raise 'boom'\"), console line and notice", "raise 'boom'", true,
                bare + ", then $!'s message", 1.10);
}

}  // namespace bench
