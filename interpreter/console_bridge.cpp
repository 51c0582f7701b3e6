#include "interpreter/console_bridge.h"

#include <ruby.h>

#include "interpreter/console_output.h"
#include "interpreter/console_queue.h"
#include "interpreter/lifecycle.h"

namespace kestrel {
namespace {

// Writes a String's bytes verbatim, with no line break added; any other value
// writes nothing. Returns 0 either way. On another thread the text waits for
// the game's thread, which writes it.
VALUE NewPuts(VALUE, VALUE value)
{
    if (!RB_TYPE_P(value, T_STRING))
        return INT2FIX(0);
    if (!OnInterpreterThread()) {
        QueueConsoleText(value);
        return INT2FIX(0);
    }
    DrainConsoleQueue();
    WriteConsoleText(RSTRING_PTR(value), static_cast<std::size_t>(RSTRING_LEN(value)));
    return INT2FIX(0);
}

}  // namespace

void DefineConsoleBridge()
{
    rb_define_global_function("newPuts", NewPuts, 1);
    rb_eval_string("def puts(str) newPuts(str) end");
}

}  // namespace kestrel
