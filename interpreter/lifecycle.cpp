#include "interpreter/lifecycle.h"

#include <ruby.h>

#include "interpreter/console_output.h"
#include "interpreter/evaluation.h"
#include "interpreter/forked_child.h"
#include "interpreter/host_signals.h"
#include "interpreter/member_call.h"
#include "interpreter/portability.h"
#include "interpreter/process_settings.h"
#include "interpreter/signal_traps.h"
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

}  // namespace

void StartInterpreter()
{
    if (g_life != Life::NotStarted)
        return;
    g_interpreterThread = CurrentThread();
    SaveHostSignals();
    SaveProcessSettings();
    bool started = InterpreterCanStart() && StartRubyRuntime() && PrepareEvaluation() && GuardSignalTraps();
    RestoreProcessSettings();
    g_life = started ? Life::Running : Life::StartFailed;
    if (started) {
        KeepStandardStreams();
        SettleSignalsAfterStart();
        WatchForForks();
    } else {
        GiveBackAllSignals();
        WriteErrorLine(kCouldNotStart);
    }
}

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

bool InterpreterRunning()
{
    return g_life == Life::Running;
}

// ruby_cleanup, unlike ruby_finalize, first stops every Thread and Ractor
// still alive, and its timer, before the interpreter is taken down. What its
// at_exit blocks and finalizers raise is written to the console; the
// interpreter is gone all the same.
void TerminateInterpreter()
{
    BeginMemberCall();
    RouteTerminateErrors();
    ruby_cleanup(0);
    FinishTerminateErrors();
    g_life = Life::Terminated;
    EndMemberCall();
    GiveBackAllSignals();
}

}  // namespace kestrel
