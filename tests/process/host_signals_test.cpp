// Signals meant for the game do to a game that loaded kestrel what they do
// without it, before and after Terminate, and a child process ending never
// breaks one of the game's blocking reads.
#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "host_process.h"

namespace {

const char kReady[] = "io.write('r') io.flush()";

std::vector<std::string> Chunks(const std::vector<std::string>& chunks)
{
    std::vector<std::string> arguments = {"--console", "/dev/null"};
    for (const std::string& chunk : chunks) {
        arguments.push_back("-e");
        arguments.push_back(chunk);
    }
    return arguments;
}

// Starts the game, waits for its ready byte, and sends `signal`.
HostProcess SignalWhenReady(int signal, const std::vector<std::string>& chunks)
{
    HostProcess host = StartHost(Chunks(chunks));
    char byte = 0;
    if (host.pid != -1 && read(host.output, &byte, 1) == 1)
        usleep(100 * 1000);  // let it get into the call that follows
    kill(host.pid, signal);
    return host;
}

void ExpectEndedBy(int signal, const std::vector<std::string>& chunks)
{
    HostProcess host = SignalWhenReady(signal, chunks);
    ASSERT_NE(-1, host.pid);
    close(host.input);
    close(host.output);
    close(host.errors);
    int status = WaitAtMostTenSeconds(host.pid);
    ASSERT_NE(-1, status) << "the game did not end";
    ASSERT_TRUE(WIFSIGNALED(status)) << "status " << status;
    EXPECT_EQ(signal, WTERMSIG(status));
}

// Each way the interpreter can be when the signal comes: running Ruby code,
// idle after a call, terminated, and terminated after Ruby code trapped TERM
// (the shutdown idiom).
const std::vector<std::vector<std::string>> kPhases = {
    {kReady, "rb.RunString('loop { }')"},
    {"rb.RunString('x = 1 + 1')", kReady, "while true do end"},
    {"rb.RunString('x = 1 + 1')", kReady, "rb.RunString('sleep 0.5') while true do end"},
    {"rb.Terminate()", kReady, "while true do end"},
    {"rb.RunString('trap(%q(TERM)) { $stopping = true }')", "rb.Terminate()", kReady, "while true do end"},
};

TEST(GameSignals, UserAlarmAndTermEndTheGameAsTheyWouldWithoutKestrel)
{
    for (int signal : {SIGUSR1, SIGUSR2, SIGALRM, SIGTERM}) {
        for (const std::vector<std::string>& phase : kPhases) {
            SCOPED_TRACE("signal " + std::to_string(signal) + " after " + phase.front());
            ExpectEndedBy(signal, phase);
        }
    }
}

TEST(GameSignals, ASignalSentToTheProcessEndsItWhenItsDefaultDoes)
{
    // Relayed signals: the interpreter keeps them, the game's default still holds.
    for (int signal : {SIGPIPE, SIGVTALRM}) {
        SCOPED_TRACE(signal);
        ExpectEndedBy(signal, {"rb.RunString('x = 1')", kReady, "while true do end"});
        ExpectEndedBy(signal, {"rb.Terminate()", kReady, "while true do end"});
    }
}

// The game blocks reading its standard input when a SIGCHLD comes; the read
// goes on and gets the line written after it.
std::string ReadAfterChildSignal(const std::vector<std::string>& before)
{
    std::vector<std::string> chunks = before;
    chunks.push_back(kReady);
    chunks.push_back("local line, err = io.read('*l') io.write(tostring(line), ' ', tostring(err))");
    HostProcess host = SignalWhenReady(SIGCHLD, chunks);
    if (host.pid == -1)
        return "could not start";
    usleep(100 * 1000);
    if (write(host.input, "line\n", 5) != 5)
        return "could not write";
    close(host.input);
    std::string output = ReadToEnd(host.output);
    ReadToEnd(host.errors);  // open to the end: a closed one would end the game with SIGPIPE
    int status = WaitAtMostTenSeconds(host.pid);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return "status " + std::to_string(status) + ": " + output;
    return output;
}

TEST(GameSignals, SigchldLeavesTheGamesBlockingReadAlone)
{
    EXPECT_EQ("line nil", ReadAfterChildSignal({"rb.RunString('x = 1')"}));
    EXPECT_EQ("line nil", ReadAfterChildSignal({"rb.RunString('x = `true`')"}));
    EXPECT_EQ("line nil", ReadAfterChildSignal({"rb.Terminate()"}));
}

// Reads from one io.popen child while another ends.
std::string PopenRead(const std::string& before)
{
    return RunHost(Chunks({before,
        "local slow = io.popen('sleep 1; echo data') local quick = io.popen('sleep 0.2') "
        "local got, err = slow:read('*l') quick:close() slow:close() "
        "io.write(tostring(got), ' ', tostring(err))"})).output;
}

TEST(BlockingRead, PopenReadGetsItsDataWhileAnotherChildEnds)
{
    EXPECT_EQ("data nil", PopenRead("x = 1"));
    EXPECT_EQ("data nil", PopenRead("rb.RunString('x = 1')"));
    EXPECT_EQ("data nil", PopenRead("rb.RunString('system(%q(true)); Thread.new { sleep }')"));
    EXPECT_EQ("data nil", PopenRead("rb.Terminate()"));
}

}  // namespace

namespace {

// The interpreter wakes a thread blocked in a read of the game's own standard
// input with SIGVTALRM; the relay must let that interrupt it, or Terminate
// would wait for the game's next line for ever.
TEST(BlockingRead, TerminateStopsAThreadBlockedReadingTheGamesStandardInput)
{
#if defined(__SANITIZE_ADDRESS__)
    // LeakSanitizer's end-of-process tracer crashes in a game in which a Ruby
    // Thread ran.
    setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
#endif
    HostProcess host = StartHost(Chunks({"rb.RunString('$reader = Thread.new { $stdin.read }; sleep 0.2')",
                                         "io.write(rb.Terminate()) io.flush()"}));
    ASSERT_NE(-1, host.pid);
    struct pollfd ready = {host.output, POLLIN, 0};
    char count = 0;
    bool answered = poll(&ready, 1, 10 * 1000) == 1 && read(host.output, &count, 1) == 1;
    EXPECT_TRUE(answered) << "Terminate did not return while the game's input stayed open";
    EXPECT_EQ('1', count);
    close(host.input);
    close(host.output);
    ReadToEnd(host.errors);
    int status = WaitAtMostTenSeconds(host.pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

}  // namespace
