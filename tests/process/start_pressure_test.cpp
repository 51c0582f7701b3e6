// A start that cannot get what the interpreter needs is refused and reported,
// and the game goes on, instead of ending inside gmod_open or starting without
// the interpreter's timer.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "host_process.h"

namespace {

const char kRefused[] =
    "kestrel locked & loaded!\n"
    "kestrel error: the interpreter could not be started\n"
    "kestrel error: the interpreter could not be started\n"
    "0\tRunString failed, check console for details.\n\n"
    "the game goes on\n";

// Runs the game with one limit of the process lowered; gives its standard output.
std::string RunLimited(int resource, rlim_t limit)
{
    int output[2];
    if (pipe(output) != 0)
        return "no pipe";
    pid_t child = fork();
    if (child == 0) {
        int nothing = open("/dev/null", O_RDWR);
        dup2(nothing, STDIN_FILENO);
        dup2(nothing, STDERR_FILENO);
        dup2(output[1], STDOUT_FILENO);
        // Only the three standard streams stay open, as in a game just started.
        for (int descriptor = 3; descriptor < 1024; ++descriptor)
            close(descriptor);
#if defined(__SANITIZE_ADDRESS__)
        // LeakSanitizer's end-of-process tracer crashes in a game in which a
        // Ruby Thread ran.
        setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
#endif
        struct rlimit lowered = {limit, limit};
        setrlimit(resource, &lowered);
        execl(KESTREL_HOST_PATH, KESTREL_HOST_PATH, "--errors", "return", "-e",
              "print(rb.RunString('Thread.new { 1 }.join'))", "-e", "print('the game goes on')",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(output[1]);
    std::string text = ReadToEnd(output[0]);
    int status = WaitAtMostTenSeconds(child);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        text += "[status " + std::to_string(status) + "]";
    return text;
}

bool Emulated()
{
    return *KESTREL_HOST_EMULATOR != '\0';
}

TEST(StartUnderPressure, TooLittleAddressSpaceIsReportedAndTheGameGoesOn)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer needs more address space than any such limit leaves";
#endif
    if (Emulated())
        GTEST_SKIP() << "the emulator maps the guest's address space itself";
    // Measured: below about 53 MB the start ended the game.
    for (rlim_t megabytes : {30, 40, 52}) {
        SCOPED_TRACE(megabytes);
        EXPECT_EQ(kRefused, RunLimited(RLIMIT_AS, megabytes << 20));
    }
}

TEST(StartUnderPressure, TooFewDescriptorsAreReportedAndTheGameGoesOn)
{
    if (Emulated())
        GTEST_SKIP() << "the emulator holds descriptors of its own";
    // The interpreter needs two; the game holds three (its standard streams)
    // and loads its libraries through the one left.
    EXPECT_EQ(kRefused, RunLimited(RLIMIT_NOFILE, 4));
    EXPECT_EQ("kestrel locked & loaded!\n1\tnil\nthe game goes on\n", RunLimited(RLIMIT_NOFILE, 64));
    EXPECT_EQ("kestrel locked & loaded!\n1\tnil\nthe game goes on\n", RunLimited(RLIMIT_NOFILE, 5));
}

TEST(StartUnderPressure, NoTimerLeftIsReportedAndTheGameGoesOn)
{
    if (Emulated())
        GTEST_SKIP() << "the emulator makes timers of its own";
    EXPECT_EQ(kRefused, RunLimited(RLIMIT_SIGPENDING, 0));
}

}  // namespace

namespace {

std::string RunGame(const std::vector<std::string>& chunks)
{
    std::vector<std::string> arguments = {"--console", "/dev/null"};
    for (const std::string& chunk : chunks) {
        arguments.push_back("-e");
        arguments.push_back(chunk);
    }
    return RunHost(arguments).output;
}

TEST(ProcessSettings, TransparentHugePagesStayAsTheGameHadThem)
{
    if (*KESTREL_HOST_EMULATOR != '\0')
        GTEST_SKIP() << "under the emulator /proc/self/status is the emulator's";
    const char kShow[] = "for l in io.lines('/proc/self/status') do if l:match('^THP_enabled') then io.write(l) end end";
    EXPECT_EQ("THP_enabled:\t1", RunGame({kShow}));
    EXPECT_EQ("THP_enabled:\t1", RunGame({"rb.RunString('x = [1] * 1000')", kShow}));
}

TEST(ProcessSettings, TheGameAndRubySeeOneEnvironment)
{
    EXPECT_EQ("from ruby|from the game",
              RunGame({"rb.RunString('ENV[%q(KESTREL_A)] = %q(from ruby)')",
                       "io.write(os.getenv('KESTREL_A')) io.flush()",
                       "rb.RunString('$stdout.write(%q(|) + ENV.fetch(%q(KESTREL_B), %q(from the game)))')"}));
}

}  // namespace

namespace {

TEST(ProcessSettings, RubyVariablesOfTheEnvironmentCannotStopTheStart)
{
    // Each ends a plain ruby at its start (Ruby 3.1 [BUG], or a crash).
    for (const char* variable : {"RUBY_GC_HEAP_INIT_SLOTS=1000", "RUBY_THREAD_VM_STACK_SIZE=100000000000"}) {
        SCOPED_TRACE(variable);
        std::string name(variable, std::strchr(variable, '=') - variable);
        setenv(name.c_str(), std::strchr(variable, '=') + 1, 1);
        std::string output = RunGame({"io.write(rb.RunString('$stdout.write(ENV.key?(%q(" + name +
                                      ")) ? %q(seen ) : %q(hidden ))'))"});
        unsetenv(name.c_str());
        EXPECT_EQ("seen 1", output);
    }
}

}  // namespace
