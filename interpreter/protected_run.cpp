#include "interpreter/protected_run.h"

#include <cstring>

#include "interpreter/evaluation.h"
#include "interpreter/forked_child.h"
#include "interpreter/member_call.h"
#include "interpreter/standard_streams.h"

namespace kestrel {
namespace {

// $! itself: no Ruby rescue clause is running when a failure is read, so $! is
// the interpreter's current exception, which rb_errinfo gives without looking
// the global up by name.
VALUE ExceptionText(VALUE)
{
    return rb_obj_as_string(rb_errinfo());
}

// The String form of $! comes from the exception's own class, which may raise
// or exit while giving it: that is caught here too.
FailureReason ReadException()
{
    VALUE exception = rb_errinfo();
    int state = 0;
    VALUE text = rb_protect(ExceptionText, Qnil, &state);
    if (state == 0)
        return {"", RSTRING_PTR(text), static_cast<std::size_t>(RSTRING_LEN(text)), "", text};
    const char* className = rb_obj_classname(exception);
    return {"", className, std::strlen(className), " (its message could not be read)", Qnil};
}

// The value of the evaluated code is discarded.
VALUE EvalTextBody(VALUE source)
{
    EvaluateText(reinterpret_cast<const char*>(source));
    return Qnil;
}

}  // namespace

FailureReason Reason(const char* words)
{
    return {words, "", 0, "", Qnil};
}

bool ProtectedRun(ProtectedBody body, VALUE argument, FailureReason* failure)
{
    int state = 0;
    long process = EvaluationProcess();
    BeginMemberCall();
    rb_protect(body, argument, &state);
    EndIfForkedChild(process, state);
    if (state != 0)
        *failure = ReadException();
    FlushStandardStreams();
    // Once read, the exception is let go: left in $!, it would become the
    // cause of the next one raised, and every failure would keep all earlier
    // ones alive (and Kernel#abort would print them again).
    rb_set_errinfo(Qnil);
    EndMemberCall();
    return state == 0;
}

bool ProtectedEvaluate(const char* source, FailureReason* failure)
{
    return ProtectedRun(EvalTextBody, reinterpret_cast<VALUE>(source), failure);
}

bool ProtectedTry(ProtectedBody body, VALUE argument)
{
    int state = 0;
    rb_protect(body, argument, &state);
    if (state != 0)
        rb_set_errinfo(Qnil);
    return state == 0;
}

}  // namespace kestrel
