#include "interpreter/protected_run.h"

#include <cstring>

#include "host/module_state.h"
#include "interpreter/console_output.h"
#include "interpreter/lifecycle.h"
#include "interpreter/member_call.h"
#include "interpreter/standard_streams.h"

namespace kestrel {
namespace {

// $! itself: no Ruby rescue clause is running when a failure is reported, so
// $! is the interpreter's current exception, which rb_errinfo gives without
// looking the global up by name.
VALUE ExceptionText(VALUE)
{
    return rb_obj_as_string(rb_errinfo());
}

// The String form of $! comes from the exception's own class, which may raise
// or exit while giving it: that is caught here too.
void WriteExceptionLine()
{
    VALUE exception = rb_errinfo();
    int state = 0;
    volatile VALUE text = rb_protect(ExceptionText, Qnil, &state);
    if (state == 0) {
        WriteErrorLine("", RSTRING_PTR(text), static_cast<std::size_t>(RSTRING_LEN(text)));
        return;
    }
    const char* className = rb_obj_classname(exception);
    WriteErrorLine("", className, std::strlen(className), " (its message could not be read)");
}

std::int32_t Refuse(const char* why, const char* notice)
{
    WriteErrorLine(why);
    ReportToScript(notice);
    return 0;
}

}  // namespace

void ReportToScript(const char* notice)
{
    if (ScriptInterface* script = g_moduleState.script)
        script->ReportError(notice);
}

std::int32_t RunSource(ProtectedBody body, const char* notice)
{
    ScriptInterface* script = g_moduleState.script;
    if (script == nullptr) {
        WriteErrorLine("the host gave no script interface");
        return 0;
    }
    script->RequireArgType(1, kTextArgument);
    Evaluation evaluation = {script->ArgText(1), nullptr};
    if (evaluation.source == nullptr) {
        WriteErrorLine("argument 1 is not text");
        ReportToScript(notice);
        return 0;
    }
    return ProtectedRun(body, &evaluation, notice);
}

std::int32_t ProtectedRun(ProtectedBody body, Evaluation* evaluation, const char* notice)
{
    if (const char* why = InterpreterRefusal())
        return Refuse(why, notice);

    int state = 0;
    BeginMemberCall();
    rb_protect(body, reinterpret_cast<VALUE>(evaluation), &state);
    if (state != 0)
        WriteExceptionLine();
    FlushStandardStreams();
    // Once reported, the exception is let go: left in $!, it would become the
    // cause of the next one raised, and every failure would keep all earlier
    // ones alive (and Kernel#abort would print them again).
    rb_set_errinfo(Qnil);
    EndMemberCall();

    if (state != 0) {
        ReportToScript(notice);
        return 0;
    }
    if (evaluation->refusal != nullptr) {
        // A file that could not be run: reported like a failure, but the body
        // came back normally, so the count stays 1.
        WriteErrorLine(evaluation->refusal, evaluation->source, std::strlen(evaluation->source), "'");
        ReportToScript(notice);
    }
    return 1;
}

}  // namespace kestrel
