#include "interpreter/host_signals.h"

#include <ruby.h>

#include <csignal>
#include <cstring>

#if !defined(_WIN32)
#include <errno.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>
#endif

namespace kestrel {
namespace {

#if defined(_WIN32)

// Windows has only the C runtime's signals, and the interpreter keeps none of
// them: each gets the host's handler back.
const int kRuntimeSignals[] = {SIGINT, SIGILL, SIGFPE, SIGSEGV, SIGTERM, SIGBREAK, SIGABRT};
constexpr int kRuntimeSignalCount = sizeof kRuntimeSignals / sizeof kRuntimeSignals[0];
using Handler = void(__cdecl*)(int);
Handler g_host[kRuntimeSignalCount];
bool g_saved = false;

}  // namespace

void SaveHostSignals()
{
    if (g_saved)
        return;
    for (int i = 0; i < kRuntimeSignalCount; ++i) {
        Handler handler = std::signal(kRuntimeSignals[i], SIG_DFL);
        std::signal(kRuntimeSignals[i], handler);
        g_host[i] = handler;
    }
    g_saved = true;
}

void GiveBackAllSignals()
{
    for (int i = 0; i < kRuntimeSignalCount; ++i)
        std::signal(kRuntimeSignals[i], g_host[i]);
}

void SettleSignalsAfterStart()
{
    GiveBackAllSignals();
}

void SignalsEnterInterpreter() {}
void SignalsLeaveInterpreter() {}

int RelayedSignalNamed(const char*, std::size_t)
{
    return 0;
}

void BeginTrapChange(int) {}
void EndTrapChange(int) {}

#else

struct sigaction g_host[NSIG];    // before the first start
bool g_hostKnown[NSIG];           // false where the system let us neither read nor set it
// The interpreter's handlers behind the relays, as it last set them. Ruby code
// changes them (trap) while relays may read them on any thread: a change is
// written to the slot not in use, then that slot is switched in.
struct sigaction g_rubySlots[2][NSIG];
volatile sig_atomic_t g_rubySlot = 0;
bool g_saved = false;
pthread_t g_gameThread;
stack_t g_hostAltStack;  // the game thread's, replaced by the interpreter's at the start

volatile sig_atomic_t g_inInterpreter = 0;  // the game's thread is in a member call
volatile sig_atomic_t g_relaysOn = 0;       // the interpreter is alive
volatile sig_atomic_t g_childPending = 0;   // a SIGCHLD came while the game ran its own code

const struct sigaction& Ruby(int signal)
{
    return g_rubySlots[g_rubySlot][signal];
}

bool IsDefault(const struct sigaction& action)
{
    return (action.sa_flags & SA_SIGINFO) == 0 && action.sa_handler == SIG_DFL;
}

bool IsIgnored(const struct sigaction& action)
{
    return (action.sa_flags & SA_SIGINFO) == 0 && action.sa_handler == SIG_IGN;
}

void Call(const struct sigaction& action, int signal, siginfo_t* info, void* context)
{
    if (action.sa_flags & SA_SIGINFO)
        action.sa_sigaction(signal, info, context);
    else if (!IsDefault(action) && !IsIgnored(action))
        action.sa_handler(signal);
}

// Does for the signal what the host's disposition says. A default that ends
// the process ends it as it would have without the relay: the default comes
// back and the signal is sent again to this thread, where it arrives as soon
// as the relay returns.
void GiveToHost(int signal, siginfo_t* info, void* context)
{
    struct sigaction& host = g_host[signal];
    if (IsDefault(host)) {
        if (signal == SIGCHLD)
            return;  // ignored by default
        sigaction(signal, &host, nullptr);
        pthread_kill(pthread_self(), signal);
        return;
    }
    if (host.sa_flags & SA_RESETHAND) {
        struct sigaction once = host;
        host.sa_handler = SIG_DFL;
        host.sa_flags &= ~SA_SIGINFO;
        Call(once, signal, info, context);
        return;
    }
    Call(host, signal, info, context);
}

bool SentByAnotherProcess(const siginfo_t* info)
{
    return info != nullptr && info->si_code == SI_USER && info->si_pid != getpid();
}

void ChildRelay(int signal, siginfo_t* info, void* context)
{
    int savedErrno = errno;
    if (g_relaysOn) {
        if (g_inInterpreter)
            Call(Ruby(signal), signal, info, context);
        else
            g_childPending = 1;
    }
    bool stopOrContinue = info != nullptr && (info->si_code == CLD_STOPPED || info->si_code == CLD_CONTINUED);
    if (!(stopOrContinue && (g_host[signal].sa_flags & SA_NOCLDSTOP)))
        GiveToHost(signal, info, context);
    errno = savedErrno;
}

// A write to a closed pipe on a thread that is running Ruby code goes to the
// interpreter, which ignores it unless Ruby code trapped PIPE; the write fails
// with EPIPE.
void PipeRelay(int signal, siginfo_t* info, void* context)
{
    int savedErrno = errno;
    bool onGameThread = pthread_equal(pthread_self(), g_gameThread) != 0;
    bool rubyRuns = g_relaysOn && ruby_native_thread_p() && (!onGameThread || g_inInterpreter);
    if (!rubyRuns || SentByAnotherProcess(info))
        GiveToHost(signal, info, context);
    else
        Call(Ruby(signal), signal, info, context);
    errno = savedErrno;
}

// A fault on a thread that is running Ruby code goes to the interpreter, which
// turns an overflow of the machine stack into SystemStackError (deeply nested
// data, say) and reports anything else itself; any other goes to the host.
void FaultRelay(int signal, siginfo_t* info, void* context)
{
    bool onGameThread = pthread_equal(pthread_self(), g_gameThread) != 0;
    if (g_relaysOn && ruby_native_thread_p() && (!onGameThread || g_inInterpreter))
        Call(Ruby(signal), signal, info, context);
    else
        GiveToHost(signal, info, context);
}

// The interpreter wakes one of its threads with pthread_kill (SI_TKILL) or
// with its timer (SI_TIMER).
void WakeupRelay(int signal, siginfo_t* info, void* context)
{
    int savedErrno = errno;
    bool wakeup = info != nullptr && (info->si_code == SI_TKILL || info->si_code == SI_TIMER);
    if (!wakeup)
        GiveToHost(signal, info, context);
    errno = savedErrno;
}

struct Relay {
    int signal;
    void (*relay)(int, siginfo_t*, void*);
    int flags;
};

const Relay kRelays[] = {
    {SIGCHLD, ChildRelay, SA_RESTART},
    {SIGPIPE, PipeRelay, SA_RESTART},
    {SIGVTALRM, WakeupRelay, 0},
    {SIGSEGV, FaultRelay, SA_ONSTACK},
};

const Relay* RelayFor(int signal)
{
    for (const Relay& relay : kRelays) {
        if (relay.signal == signal)
            return &relay;
    }
    return nullptr;
}

void InstallRelay(const Relay& relay)
{
    struct sigaction action = {};
    action.sa_sigaction = relay.relay;
    action.sa_flags = SA_SIGINFO | relay.flags;
    const struct sigaction& host = g_host[relay.signal];
    // A host that lets its children be reaped on their own keeps that.
    if (relay.signal == SIGCHLD && (IsIgnored(host) || (host.sa_flags & SA_NOCLDWAIT)))
        action.sa_flags |= SA_NOCLDWAIT;
    // Blocked while it runs: what either side asked for. The interpreter may
    // leave a fault's relay by a jump, and unblocks only the fault itself.
    action.sa_mask = Ruby(relay.signal).sa_mask;
    for (int other = 1; other < NSIG; ++other) {
        if (sigismember(&host.sa_mask, other) == 1)
            sigaddset(&action.sa_mask, other);
    }
    sigaction(relay.signal, &action, nullptr);
}

bool Settable(int signal)
{
    return signal != SIGKILL && signal != SIGSTOP && g_hostKnown[signal];
}

}  // namespace

void SaveHostSignals()
{
    if (g_saved)
        return;
    for (int signal = 1; signal < NSIG; ++signal)
        g_hostKnown[signal] = sigaction(signal, nullptr, &g_host[signal]) == 0;
    g_gameThread = pthread_self();
    if (sigaltstack(nullptr, &g_hostAltStack) != 0)
        g_hostAltStack.ss_flags = SS_DISABLE;
    g_saved = true;
}

void SettleSignalsAfterStart()
{
    for (int signal = 1; signal < NSIG; ++signal) {
        if (!Settable(signal))
            continue;
        if (const Relay* relay = RelayFor(signal)) {
            sigaction(signal, nullptr, &g_rubySlots[g_rubySlot][signal]);
            InstallRelay(*relay);
        } else {
            sigaction(signal, &g_host[signal], nullptr);
        }
    }
    g_relaysOn = 1;
}

void GiveBackAllSignals()
{
    g_relaysOn = 0;
    g_inInterpreter = 0;
    for (int signal = 1; signal < NSIG; ++signal) {
        if (Settable(signal))
            sigaction(signal, &g_host[signal], nullptr);
    }
    // The interpreter's alternate signal stack is freed with it; the game's
    // thread gets its own back (or none, as before).
    stack_t host = g_hostAltStack;
    host.ss_flags &= SS_DISABLE;
    sigaltstack(&host, nullptr);
}

// A child that ended while the game ran its own code is passed on now, as
// though its SIGCHLD had just come, so that the interpreter reaps it.
void SignalsEnterInterpreter()
{
    g_inInterpreter = 1;
    if (g_relaysOn && g_childPending) {
        g_childPending = 0;
        siginfo_t info = {};
        info.si_signo = SIGCHLD;
        info.si_code = SI_USER;
        info.si_pid = getpid();
        Call(Ruby(SIGCHLD), SIGCHLD, &info, nullptr);
    }
}

void SignalsLeaveInterpreter()
{
    g_inInterpreter = 0;
}

int RelayedSignalNamed(const char* name, std::size_t length)
{
    static const struct {
        const char* name;
        int signal;
    } kNames[] = {{"CHLD", SIGCHLD}, {"CLD", SIGCHLD}, {"PIPE", SIGPIPE}, {"VTALRM", SIGVTALRM}, {"SEGV", SIGSEGV}};
    for (const auto& known : kNames) {
        if (std::strlen(known.name) == length && std::memcmp(known.name, name, length) == 0)
            return known.signal;
    }
    return 0;
}

// For the change the interpreter's own handler is in place: it reads its
// previous handler back as it would without the relay.
void BeginTrapChange(int signal)
{
    if (g_relaysOn && signal > 0 && signal < NSIG && RelayFor(signal) != nullptr)
        sigaction(signal, &Ruby(signal), nullptr);
}

void EndTrapChange(int signal)
{
    const Relay* relay = signal > 0 && signal < NSIG ? RelayFor(signal) : nullptr;
    if (!g_relaysOn || relay == nullptr)
        return;
    int spare = 1 - g_rubySlot;
    std::memcpy(g_rubySlots[spare], g_rubySlots[g_rubySlot], sizeof g_rubySlots[spare]);
    sigaction(signal, nullptr, &g_rubySlots[spare][signal]);
    g_rubySlot = spare;
    InstallRelay(*relay);
}

#endif

}  // namespace kestrel
