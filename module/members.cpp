// The four members of rb. Each is a few steps that end in a count for the
// host; every refusal and failure goes out through Fail.
#include "module/members.h"

#include <cstring>

#include "interpreter/console_bridge.h"
#include "interpreter/lifecycle.h"
#include "interpreter/protected_run.h"
#include "interpreter/source_file.h"
#include "module/module_state.h"
#include "module/script_table.h"

namespace kestrel {
namespace {

VALUE DefineConsoleBridgeBody(VALUE)
{
    DefineConsoleBridge();
    return Qnil;
}

// Every member works through the interface kept from the last opening. Without
// one (the host gave none, or the state was closed since) a member must touch
// nothing of the host's: the reason is written, and there is nobody to hand a
// notice to.
bool RefusedWithoutInterface(Member member)
{
    if (g_moduleState.script != nullptr)
        return false;
    Fail(member, Reason("the host gave no script interface"));
    return true;
}

// Reads argument 1 of the script call as text, after asking the host to check
// that it is, and makes sure the interpreter may run it. Null when the member
// cannot go on (its count is then 0); the failure has been reported.
const char* TakeSource(Member member)
{
    if (RefusedWithoutInterface(member))
        return nullptr;
    ScriptInterface* script = g_moduleState.script;
    script->RequireArgType(1, kTextArgument);
    const char* source = script->ArgText(1);
    const char* why = source == nullptr ? "argument 1 is not text" : InterpreterRefusal();
    if (why == nullptr)
        return source;
    Fail(member, Reason(why));
    return nullptr;
}

// A file that cannot be run is reported like a failure, but nothing was
// evaluated, so the count stays 1.
std::int32_t FileFailure(const char* lead, const char* path)
{
    return Fail(Member::RunFile, {lead, path, std::strlen(path), "'", Qnil}, 1);
}

}  // namespace

std::int32_t KESTREL_CDECL Initialize(void*)
{
    if (RefusedWithoutInterface(Member::Initialize))
        return 0;
    if (const char* why = InterpreterRefusal())
        return Fail(Member::Initialize, Reason(why));
    FailureReason failure{};
    if (!ProtectedRun(DefineConsoleBridgeBody, Qnil, &failure))
        return Fail(Member::Initialize, failure);
    return 1;
}

std::int32_t KESTREL_CDECL Terminate(void*)
{
    if (RefusedWithoutInterface(Member::Terminate))
        return 0;
    if (!InterpreterRunning())
        return 1;  // nothing left to finalize
    if (const char* why = InterpreterRefusal())
        return Fail(Member::Terminate, Reason(why));
    TerminateInterpreter();
    return 1;
}

std::int32_t KESTREL_CDECL RunString(void*)
{
    const char* source = TakeSource(Member::RunString);
    if (source == nullptr)
        return 0;
    FailureReason failure{};
    if (!ProtectedEvaluate(source, &failure))
        return Fail(Member::RunString, failure);
    return 1;
}

// The file is read before the interpreter's protected call and released after
// it, so nothing of the module's is left to release when a failure is reported.
// It is evaluated as text, so the interpreter knows it under its name for
// evaluated strings, not under the path.
std::int32_t KESTREL_CDECL RunFile(void*)
{
    const char* path = TakeSource(Member::RunFile);
    if (path == nullptr)
        return 0;
    char* buffer = nullptr;
    switch (ReadSourceFile(path, &buffer)) {
    case SourceFile::CannotOpen:
        return FileFailure("unable to load file '", path);
    case SourceFile::CannotRead:
        return FileFailure("unable to read from file '", path);
    case SourceFile::Read:
        break;
    }
    FailureReason failure{};
    bool evaluated = ProtectedEvaluate(buffer, &failure);
    ReleaseSourceBuffer(buffer);
    return evaluated ? 1 : Fail(Member::RunFile, failure);
}

}  // namespace kestrel
