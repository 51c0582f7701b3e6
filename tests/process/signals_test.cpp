// A game that loaded kestrel must still stop on the signals that stop it
// without kestrel, whatever the interpreter is doing.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "host_process.h"

namespace {

const char kReady[] = "io.write('r') io.flush()";

// Runs the chunks, waits until they say they are ready, and sends `signal`.
void ExpectStoppedBy(int signal, const std::vector<std::string>& chunks)
{
    std::vector<std::string> arguments = {"--console", "/dev/null"};
    for (const std::string& chunk : chunks) {
        arguments.push_back("-e");
        arguments.push_back(chunk);
    }
    HostProcess host = StartHost(arguments);
    ASSERT_NE(-1, host.pid);
    close(host.input);
    close(host.errors);
    char byte = 0;
    if (read(host.output, &byte, 1) == 1)
        usleep(100 * 1000);  // let it get into the loop that follows
    close(host.output);
    kill(host.pid, signal);

    int status = WaitAtMostTenSeconds(host.pid);
    ASSERT_NE(-1, status) << "the game did not stop";
    ASSERT_TRUE(WIFSIGNALED(status)) << "status " << status;
    EXPECT_EQ(signal, WTERMSIG(status));
}

TEST(StopSignals, EndTheGameWhileRubyCodeRuns)
{
    for (int signal : {SIGTERM, SIGINT, SIGHUP, SIGQUIT}) {
        SCOPED_TRACE(signal);
        ExpectStoppedBy(signal, {kReady, "rb.RunString('loop { }')"});
    }
}

TEST(StopSignals, EndTheGameWhileLuaRunsAfterRuby)
{
    for (int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        ExpectStoppedBy(signal, {"rb.RunString('x = 1')", kReady, "while true do end"});
    }
}

TEST(StopSignals, EndTheGameAfterTheInterpreterWasTerminated)
{
    for (int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        ExpectStoppedBy(signal, {"rb.Terminate()", kReady, "while true do end"});
    }
}

}  // namespace
