// A host that had handlers of its own before opening the module keeps them:
// after the start, while Ruby runs, and after Terminate.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "recording_host.h"

namespace {

volatile sig_atomic_t g_userSignals = 0;
volatile sig_atomic_t g_childSignals = 0;

void CountUserSignal(int)
{
    ++g_userSignals;
}

void CountChildSignal(int, siginfo_t*, void*)
{
    ++g_childSignals;
}

void Install(int signal, void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
}

bool HandlerIs(int signal, void (*handler)(int))
{
    struct sigaction now = {};
    sigaction(signal, nullptr, &now);
    return (now.sa_flags & SA_SIGINFO) == 0 && now.sa_handler == handler;
}

void EndAChild()
{
    pid_t child = fork();
    if (child == 0)
        _exit(0);
    waitpid(child, nullptr, 0);
}

TEST(HostHandlers, AreTheHostsAgainAfterTheStartWhileRubyRunsAndAfterTerminate)
{
    Install(SIGUSR1, CountUserSignal);
    Install(SIGHUP, SIG_IGN);
    struct sigaction child = {};
    child.sa_sigaction = CountChildSignal;
    child.sa_flags = SA_SIGINFO | SA_RESTART;
    sigemptyset(&child.sa_mask);
    sigaction(SIGCHLD, &child, nullptr);

    RecordingHost host;
    ASSERT_EQ(0, host.Open());
    EXPECT_TRUE(HandlerIs(SIGUSR1, CountUserSignal));
    EXPECT_TRUE(HandlerIs(SIGHUP, SIG_IGN));
    EXPECT_TRUE(HandlerIs(SIGINT, SIG_DFL));

    raise(SIGUSR1);
    EXPECT_EQ(1, g_userSignals);
    host.argument = "x = 1 + 1";
    EXPECT_EQ(1, host.Call("RunString"));  // the signal was the host's, not Ruby's
    host.argument = "Process.kill(:USR1, $$); sleep 0.1";
    EXPECT_EQ(1, host.Call("RunString"));
    EXPECT_EQ(2, g_userSignals);

    // The relay passes every ended child on to the host's handler, and the
    // interpreter still gets its own.
    EndAChild();
    EXPECT_EQ(1, g_childSignals);
    host.argument = "raise 'no status' unless system('true') && $?.success?";
    EXPECT_EQ(1, host.Call("RunString"));
    EXPECT_EQ(2, g_childSignals);

    EXPECT_EQ(1, host.Call("Terminate"));
    EXPECT_TRUE(HandlerIs(SIGUSR1, CountUserSignal));
    EXPECT_TRUE(HandlerIs(SIGHUP, SIG_IGN));
    EXPECT_TRUE(HandlerIs(SIGINT, SIG_DFL));
    struct sigaction now = {};
    sigaction(SIGCHLD, nullptr, &now);
    EXPECT_TRUE((now.sa_flags & SA_SIGINFO) != 0 && now.sa_sigaction == CountChildSignal);
    raise(SIGUSR1);
    EXPECT_EQ(3, g_userSignals);
    EndAChild();
    EXPECT_EQ(3, g_childSignals);
    EXPECT_EQ("kestrel locked & loaded!\n", host.console);
}

TEST(HostHandlers, ATrapByRubyCodeLastsUntilTerminate)
{
    Install(SIGUSR2, CountUserSignal);
    RecordingHost host;
    ASSERT_EQ(0, host.Open());
    host.argument = "$got = 0; trap(:USR2) { $got += 1 }; Process.kill(:USR2, $$); sleep 0.1; "
                    "raise 'not trapped' unless $got == 1";
    EXPECT_EQ(1, host.Call("RunString"));
    EXPECT_EQ(0, g_userSignals);
    EXPECT_EQ(1, host.Call("Terminate"));
    EXPECT_TRUE(HandlerIs(SIGUSR2, CountUserSignal));
    raise(SIGUSR2);
    EXPECT_EQ(1, g_userSignals);
}

// Library code traps a signal and puts back what trap answered. For the
// signals the module relays the interpreter's new handler goes behind the
// relay, trap answers as it does without kestrel, and the host keeps getting
// its children's signals.
TEST(HostHandlers, RubyTrapsOfRelayedSignalsKeepTheRelaysAndAnswerAsRubyDoes)
{
    struct sigaction child = {};
    child.sa_sigaction = CountChildSignal;
    child.sa_flags = SA_SIGINFO | SA_RESTART;
    sigemptyset(&child.sa_mask);
    sigaction(SIGCHLD, &child, nullptr);
    g_childSignals = 0;

    RecordingHost host;
    ASSERT_EQ(0, host.Open());
    struct sigaction relay = {};
    sigaction(SIGCHLD, nullptr, &relay);
    host.argument = "old = trap(:CHLD, 'IGNORE'); trap('SIGCHLD', old)\n"
                    "raise \"CHLD answered #{old.inspect}\" unless old == 'DEFAULT'\n"
                    "old = Signal.trap(:PIPE) { $piped = true }; Kernel.trap(:PIPE, old)";
    ASSERT_EQ(1, host.Call("RunString")) << host.console;
    struct sigaction now = {};
    sigaction(SIGCHLD, nullptr, &now);
    EXPECT_EQ(relay.sa_sigaction, now.sa_sigaction);

    // A child that ends calls no command of nil in the next script, and the
    // host's handler still runs.
    EndAChild();
    EXPECT_EQ(1, g_childSignals);
    host.argument = "system('true'); raise 'no status' unless $?.success?";
    EXPECT_EQ(1, host.Call("RunString")) << host.console;
    EXPECT_EQ(2, g_childSignals);

    // A trap of PIPE runs for Ruby's own write to a closed pipe.
    host.argument = "$piped = false; trap(:PIPE) { $piped = true }\n"
                    "IO.popen('true', 'w') { |io| sleep 0.2; io.write('x' * 100_000) } rescue Errno::EPIPE\n"
                    "sleep 0.1; raise 'PIPE not trapped' unless $piped";
    EXPECT_EQ(1, host.Call("RunString")) << host.console;
    EXPECT_EQ(1, host.Call("Terminate"));
    sigaction(SIGCHLD, nullptr, &now);
    EXPECT_EQ(CountChildSignal, now.sa_sigaction);
}

}  // namespace
