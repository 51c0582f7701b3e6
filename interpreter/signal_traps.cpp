#include "interpreter/signal_traps.h"

#include <ruby.h>

#include <cstring>

#include "interpreter/host_signals.h"
#include "interpreter/protected_run.h"

namespace kestrel {
namespace {

struct TrapCall {
    int count;
    const VALUE* arguments;
};

// 0 unless the argument names a relayed signal, the way trap reads it: a
// number, or a name with or without "SIG", as a String or Symbol.
int RelayedSignalOf(VALUE signal)
{
    if (FIXNUM_P(signal)) {
        long number = FIX2LONG(signal);
        return number > 0 && number < 256 ? static_cast<int>(number) : 0;
    }
    VALUE name = SYMBOL_P(signal) ? rb_sym2str(signal) : rb_check_string_type(signal);
    if (NIL_P(name))
        return 0;
    const char* text = RSTRING_PTR(name);
    long length = RSTRING_LEN(name);
    if (length > 3 && std::memcmp(text, "SIG", 3) == 0) {
        text += 3;
        length -= 3;
    }
    return RelayedSignalNamed(text, static_cast<std::size_t>(length));
}

VALUE InterpreterTrap(VALUE call)
{
    const TrapCall* trap = reinterpret_cast<const TrapCall*>(call);
    return rb_call_super(trap->count, trap->arguments);
}

VALUE EndChange(VALUE signal)
{
    EndTrapChange(FIX2INT(signal));
    return Qnil;
}

VALUE Trap(int count, VALUE* arguments, VALUE)
{
    int signal = count > 0 ? RelayedSignalOf(arguments[0]) : 0;
    if (signal == 0)
        return rb_call_super(count, arguments);
    BeginTrapChange(signal);
    TrapCall call = {count, arguments};
    return rb_ensure(InterpreterTrap, reinterpret_cast<VALUE>(&call), EndChange, INT2FIX(signal));
}

VALUE GuardBody(VALUE)
{
    VALUE guard = rb_module_new();
    rb_define_method(guard, "trap", Trap, -1);
    VALUE signalModule = rb_const_get(rb_cObject, rb_intern("Signal"));
    rb_prepend_module(rb_singleton_class(signalModule), guard);
    rb_prepend_module(rb_singleton_class(rb_mKernel), guard);
    VALUE privateGuard = rb_module_new();
    rb_define_private_method(privateGuard, "trap", Trap, -1);
    rb_prepend_module(rb_mKernel, privateGuard);
    return Qnil;
}

}  // namespace

bool GuardSignalTraps()
{
    return ProtectedTry(GuardBody, Qnil);
}

}  // namespace kestrel
