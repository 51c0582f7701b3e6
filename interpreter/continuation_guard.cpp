#include "interpreter/continuation_guard.h"

#include <ruby.h>
#include <ruby/debug.h>

#include "interpreter/protected_run.h"

namespace kestrel {
namespace {

// The class, once continuation.so has defined it; the tracepoint that checks
// each call of a C method while it is loaded.
VALUE g_continuationClass = Qnil;
VALUE g_tracepoint = Qnil;
// Object ids only grow, and are given on first request: every continuation
// that has an id at most this one was alive at the end of an earlier call.
unsigned long long g_lastSealedId = 0;

const char kAcrossCalls[] = "continuation called in a later call than the one that took it";

void CheckContinuationCall(VALUE tracepoint, void*)
{
    rb_trace_arg_t* trace = rb_tracearg_from_tracepoint(tracepoint);
    VALUE self = rb_tracearg_self(trace);
    if (SPECIAL_CONST_P(self) || rb_obj_class(self) != g_continuationClass)
        return;
    ID method = SYM2ID(rb_tracearg_method_id(trace));
    if (method != rb_intern("call") && method != rb_intern("[]"))
        return;
    if (NUM2ULL(rb_obj_id(self)) <= g_lastSealedId)
        rb_raise(rb_eRuntimeError, kAcrossCalls);
}

VALUE SealOne(RB_BLOCK_CALL_FUNC_ARGLIST(continuation, unused))
{
    (void)unused;
    unsigned long long id = NUM2ULL(rb_obj_id(continuation));
    if (id > g_lastSealedId)
        g_lastSealedId = id;
    return Qnil;
}

VALUE SealAll(VALUE)
{
    if (NIL_P(g_continuationClass)) {
        if (!rb_const_defined(rb_cObject, rb_intern("Continuation")))
            return Qnil;
        VALUE found = rb_const_get(rb_cObject, rb_intern("Continuation"));
        if (!RB_TYPE_P(found, T_CLASS))
            return Qnil;
        g_continuationClass = found;
        rb_gc_register_address(&g_continuationClass);
        g_tracepoint = rb_tracepoint_new(0, RUBY_EVENT_C_CALL, CheckContinuationCall, nullptr);
        rb_gc_register_address(&g_tracepoint);
        rb_tracepoint_enable(g_tracepoint);
    }
    // Gives every continuation now alive an id, if it had none.
    VALUE objectSpace = rb_const_get(rb_cObject, rb_intern("ObjectSpace"));
    rb_block_call(objectSpace, rb_intern("each_object"), 1, &g_continuationClass, SealOne, Qnil);
    return Qnil;
}

}  // namespace

void SealContinuations()
{
    // The common case costs one lookup in Object's own constants, where the
    // library defines the class: nothing has loaded it.
    static const ID name = rb_intern("Continuation");
    if (NIL_P(g_continuationClass) && !rb_const_defined_at(rb_cObject, name))
        return;
    ProtectedTry(SealAll, Qnil);
}

}  // namespace kestrel
