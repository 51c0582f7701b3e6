#include "interpreter/terminate_errors.h"

#include <ruby.h>

#include <cstring>
#include <set>
#include <string>

#include "interpreter/console_output.h"
#include "interpreter/protected_run.h"

namespace kestrel {
namespace {

// The line being written, and those written; the cleanup runs on the game's
// thread only.
std::string g_line;
std::set<std::string> g_written;

// The interpreter reports the last error of its at_exit blocks a second time,
// as the reason it ends: written once.
void WriteLine()
{
    if (!g_line.empty() && g_written.insert(g_line).second)
        WriteErrorLine("", g_line.data(), g_line.size());
    g_line.clear();
}

void WriteLines(const char* text, std::size_t length)
{
    while (length > 0) {
        const void* end = std::memchr(text, '\n', length);
        if (end == nullptr) {
            g_line.append(text, length);
            return;
        }
        std::size_t part = static_cast<std::size_t>(static_cast<const char*>(end) - text);
        g_line.append(text, part);
        WriteLine();
        text += part + 1;
        length -= part + 1;
    }
}

// $stderr.write(*texts), as the interpreter's error printer calls it.
VALUE WriteReport(int argc, VALUE* argv, VALUE)
{
    long written = 0;
    for (int i = 0; i < argc; ++i) {
        VALUE text = rb_obj_as_string(argv[i]);
        WriteLines(RSTRING_PTR(text), static_cast<std::size_t>(RSTRING_LEN(text)));
        written += RSTRING_LEN(text);
    }
    return LONG2NUM(written);
}

VALUE Itself(VALUE self)
{
    return self;
}

VALUE Yes(VALUE)
{
    return Qtrue;
}

VALUE No(VALUE)
{
    return Qfalse;
}

VALUE Same(VALUE, VALUE value)
{
    return value;
}

// What at_exit blocks commonly call on $stderr; each ends in write.
VALUE Puts(int argc, VALUE* argv, VALUE self)
{
    return rb_io_puts(argc, argv, self);
}

VALUE Print(int argc, VALUE* argv, VALUE self)
{
    return rb_io_print(argc, argv, self);
}

VALUE Printf(int argc, VALUE* argv, VALUE self)
{
    return rb_io_printf(argc, argv, self);
}

VALUE Append(VALUE self, VALUE text)
{
    return rb_io_addstr(self, text);
}

VALUE InstallWriter(VALUE)
{
    VALUE writer = rb_obj_alloc(rb_cObject);
    rb_define_singleton_method(writer, "write", WriteReport, -1);
    rb_define_singleton_method(writer, "puts", Puts, -1);
    rb_define_singleton_method(writer, "print", Print, -1);
    rb_define_singleton_method(writer, "printf", Printf, -1);
    rb_define_singleton_method(writer, "<<", Append, 1);
    rb_define_singleton_method(writer, "flush", Itself, 0);
    rb_define_singleton_method(writer, "sync", Yes, 0);
    rb_define_singleton_method(writer, "sync=", Same, 1);
    rb_define_singleton_method(writer, "tty?", No, 0);
    rb_define_singleton_method(writer, "isatty", No, 0);
    rb_gv_set("$stderr", writer);
    return Qnil;
}

}  // namespace

// A failure here (Ruby code froze Object, say) leaves $stderr as it is: the
// report then goes to standard error, as before.
void RouteTerminateErrors()
{
    ProtectedTry(InstallWriter, Qnil);
}

void FinishTerminateErrors()
{
    WriteLine();
    g_line.shrink_to_fit();
    g_written.clear();
}

}  // namespace kestrel
