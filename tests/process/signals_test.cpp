// A game that loaded kestrel must still stop on the signals that stop it
// without kestrel, whatever the interpreter is doing.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

extern char** environ;

namespace {

// How the child ended, or -1 when it had not ended after ten seconds (it is
// then killed).
int WaitAtMostTenSeconds(pid_t child)
{
    int status = 0;
    for (int waited = 0; waited < 1000; ++waited) {
        if (waitpid(child, &status, WNOHANG) == child)
            return status;
        usleep(10 * 1000);
    }
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    return -1;
}

// Starts kestrel-host with default dispositions for the stop signals, waits
// until the Lua it runs says it is ready, sends `signal` and returns how the
// process ended.
int StatusAfterSignal(const std::vector<std::string>& chunks, int signal)
{
    int ready[2];
    if (pipe(ready) != 0)
        return -1;
    std::vector<std::string> words = {KESTREL_HOST_PATH, "--console", "/dev/null"};
    if (*KESTREL_HOST_EMULATOR != '\0')
        words.insert(words.begin(), KESTREL_HOST_EMULATOR);
    for (const std::string& chunk : chunks) {
        words.push_back("-e");
        words.push_back(chunk);
    }
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ready[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, ready[0]);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    for (int stop : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
        sigaddset(&stopSignals, stop);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &stopSignals);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    pid_t child = 0;
    int spawned = posix_spawn(&child, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(ready[1]);
    if (spawned != 0) {
        close(ready[0]);
        return -1;
    }
    char byte = 0;
    bool isReady = read(ready[0], &byte, 1) == 1;
    close(ready[0]);
    if (isReady)
        usleep(100 * 1000);  // let it get into the loop that follows
    kill(child, signal);
    return WaitAtMostTenSeconds(child);
}

const char kReady[] = "io.write('r') io.flush()";

void ExpectStoppedBy(int signal, const std::vector<std::string>& chunks)
{
    int status = StatusAfterSignal(chunks, signal);
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
