#include "interpreter/lifecycle.h"

#include <ruby.h>

#include <cstdint>

#include "interpreter/console_bridge.h"
#include "interpreter/console_output.h"
#include "interpreter/host_signals.h"
#include "interpreter/member_call.h"
#include "interpreter/portability.h"
#include "interpreter/process_settings.h"
#include "interpreter/protected_run.h"
#include "interpreter/script_functions.h"
#include "interpreter/standard_streams.h"
#include "interpreter/start_pressure.h"
#include "interpreter/terminate_errors.h"

namespace kestrel {
namespace {

enum class Life { NotStarted, Running, StartFailed, Terminated };

// The interpreter is one per process and cannot be started again once
// finalized (a later start does nothing, and the next collection aborts the
// process), so its life is kept here.
Life g_life = Life::NotStarted;
const char kCouldNotStart[] = "the interpreter could not be started";
const void* g_interpreterThread = nullptr;

// Each thread has its own copy, so its address tells the threads apart.
const void* CurrentThread()
{
    static thread_local char marker;
    return &marker;
}

VALUE DefineConsoleBridgeBody(VALUE)
{
    DefineConsoleBridge();
    return Qnil;
}

}  // namespace

bool OnInterpreterThread()
{
    return g_interpreterThread != nullptr && CurrentThread() == g_interpreterThread;
}

const char* InterpreterRefusal()
{
    switch (g_life) {
    case Life::Running:
        if (CurrentThread() != g_interpreterThread)
            return "called from a thread other than the interpreter's";
        return nullptr;
    case Life::Terminated:
        return "the interpreter has been terminated";
    case Life::NotStarted:
    case Life::StartFailed:
        break;
    }
    return kCouldNotStart;
}

void StartInterpreter()
{
    if (g_life != Life::NotStarted)
        return;
    g_interpreterThread = CurrentThread();
    SaveHostSignals();
    SaveProcessSettings();
    bool started = InterpreterCanStart() && StartRubyRuntime();
    RestoreProcessSettings();
    g_life = started ? Life::Running : Life::StartFailed;
    if (started) {
        KeepStandardStreams();
        SettleSignalsAfterStart();
    } else {
        GiveBackAllSignals();
        WriteErrorLine(kCouldNotStart);
    }
}

std::int32_t KESTREL_CDECL Initialize(void*)
{
    Evaluation evaluation = {nullptr, nullptr};
    return ProtectedRun(DefineConsoleBridgeBody, &evaluation,
                        "Initialize failed, check console for details.\n");
}

std::int32_t KESTREL_CDECL Terminate(void*)
{
    if (g_life != Life::Running)
        return 1;  // nothing left to finalize
    if (const char* why = InterpreterRefusal()) {
        WriteErrorLine(why);
        ReportToScript("Terminate failed, check console for details.\n");
        return 0;
    }
    // ruby_cleanup, unlike ruby_finalize, first stops every Thread and Ractor
    // still alive, and its timer, before the interpreter is taken down. What
    // its at_exit blocks and finalizers raise is written to the console; the
    // interpreter is gone all the same, so the count stays 1 and no notice is
    // given.
    BeginMemberCall();
    RouteTerminateErrors();
    ruby_cleanup(0);
    FinishTerminateErrors();
    g_life = Life::Terminated;
    EndMemberCall();
    GiveBackAllSignals();
    return 1;
}

}  // namespace kestrel
