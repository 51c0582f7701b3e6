// Ruby's puts after rb.Initialize, through the console library into the
// counting sink, in bytes per second, against the console's own cost (Msg
// called directly with the same pieces), a plain copy of the bytes, and the
// interpreter's own IO#write to /dev/null.
#include <ruby.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "console.h"
#include "suite.h"

namespace bench {
namespace {

// The pieces the module writes a String in (interpreter/console_output.cpp).
// kestrel's side checks the count of console writes against it, so the Msg
// baseline always writes the same pieces as the module.
constexpr std::size_t kPieceSize = 1024;

VALUE g_main = Qnil;  // the interpreter's top-level self, where puts is defined
VALUE g_null = Qnil;  // an IO on /dev/null

VALUE OpenNull(VALUE)
{
    return rb_eval_string("File.open(File::NULL, 'w')");
}

// Made once and kept from the collector for the rest of the run.
VALUE Keep(VALUE value)
{
    rb_gc_register_mark_object(value);
    return value;
}

VALUE NewString(std::size_t size)
{
    VALUE text = rb_str_new(nullptr, static_cast<long>(size));
    char* bytes = RSTRING_PTR(text);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>('a' + i % 26);
    return Keep(text);
}

std::size_t PieceCount(std::size_t size)
{
    return (size + kPieceSize - 1) / kPieceSize;
}

// puts as Ruby code calls it. The console must get the whole String, in
// pieces of kPieceSize bytes.
Step Puts(VALUE text)
{
    std::size_t size = static_cast<std::size_t>(RSTRING_LEN(text));
    ID puts = rb_intern("puts");
    return Timed([text, size, puts] {
        ConsoleCount before = Host().console;
        rb_funcall(g_main, puts, 1, text);
        ConsoleCount after = Host().console;
        return after.bytes - before.bytes == size && after.writes - before.writes == PieceCount(size);
    });
}

Step MsgPieces(VALUE text)
{
    return Timed([text] {
        const char* bytes = RSTRING_PTR(text);
        std::size_t size = static_cast<std::size_t>(RSTRING_LEN(text));
        for (std::size_t done = 0; done < size; done += kPieceSize) {
            std::size_t rest = size - done;
            Msg("%.*s", static_cast<int>(rest < kPieceSize ? rest : kPieceSize), bytes + done);
        }
        return true;
    });
}

// The physical bound: the same pieces copied into a buffer the size of the console's.
Step CopyPieces(VALUE text)
{
    return Timed([text] {
        const char* bytes = RSTRING_PTR(text);
        std::size_t size = static_cast<std::size_t>(RSTRING_LEN(text));
        char buffer[kConsoleBufferSize];
        for (std::size_t done = 0; done < size; done += kPieceSize) {
            std::size_t rest = size - done;
            std::memcpy(buffer, bytes + done, rest < kPieceSize ? rest : kPieceSize);
            benchmark::DoNotOptimize(buffer);
            benchmark::ClobberMemory();
        }
        return true;
    });
}

Step WriteToNull(VALUE text)
{
    ID write = rb_intern("write");
    return Timed([text, write] {
        if (NIL_P(g_null))
            return false;
        rb_funcall(g_null, write, 1, text);
        return true;
    });
}

void ComparePuts(std::size_t size)
{
    VALUE text = NewString(size);
    Figure figure;
    figure.kestrel = {"puts of a " + SizeName(size) + " String", Puts(text)};
    figure.measure = Measure::BytesPerSecond;
    figure.amount = static_cast<double>(size);
    figure.count = std::max<std::size_t>(1, (256u << 10) / size);
    const struct {
        const char* key;
        Side baseline;
        double goal;
    } baselines[] = {
        {"msg", {"Msg from C++, same pieces", MsgPieces(text)}, size >= (64u << 10) ? 1.10 : 0},
        {"memcpy", {"memcpy, same pieces", CopyPieces(text)}, 0},
        {"io_write", {"IO#write to /dev/null", WriteToNull(text)}, 0},
    };
    for (const auto& baseline : baselines) {
        figure.name = "console/" + SizeKey(size) + "/" + baseline.key;
        figure.baseline = baseline.baseline;
        figure.goal = baseline.goal;
        Compare(figure);
    }
}

}  // namespace

void RegisterConsoleBenchmarks()
{
    g_main = Keep(rb_eval_string("self"));
    int state = 0;
    g_null = Keep(rb_protect(OpenNull, Qnil, &state));
    for (std::size_t size : Sizes({1u << 10, 64u << 10, 1u << 20}))
        ComparePuts(size);
}

}  // namespace bench
