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
    ExpectEndedBySignalOnceReady(signal, arguments);
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
