// The stand-in game's interactive console, read as `lua` reads it: chunks that
// go on over several lines and, on a terminal, prompts, line editing and
// recall of earlier chunks.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

#include "host_process.h"

extern char** environ;

namespace {

TEST(ConsoleInput, AChunkThatIsNotCompleteGoesOnOverTheNextLines)
{
    Ended ended = RunHost({"--console", "/dev/null"},
        "x =\n"
        "  20 + 22\n"
        "function twice(n)\n"
        "  return rb.RunString('$twice = ' .. n .. ' * 2') == 1 and n * 2\n"
        "end\n"
        "print(x, twice(x))\n"
        "s = [[two\n"
        "lines]] print(s)\n");
    EXPECT_EQ(0, ended.status) << ended.errors;
    EXPECT_EQ("42\t84\ntwo\nlines\n", ended.output);
    EXPECT_EQ(std::string::npos, ended.errors.find("kestrel-host:")) << ended.errors;
}

TEST(ConsoleInput, AnErrorOtherThanAnEarlyEndIsReportedAtOnceAndReadingGoesOn)
{
    Ended ended = RunHost({"--console", "/dev/null"}, "x = = 1\nprint('next')\n");
    EXPECT_EQ(1, ended.status);
    EXPECT_EQ("next\n", ended.output);
    EXPECT_EQ(0u, ended.errors.find("kestrel-host: stdin:1: unexpected symbol near '='\n")) << ended.errors;
}

TEST(ConsoleInput, InputThatEndsInsideAChunkIsReportedAsTheParserSeesIt)
{
    Ended ended = RunHost({"--console", "/dev/null"}, "print('first')\nfunction f()\n  return 1\n");
    EXPECT_EQ(1, ended.status);
    EXPECT_EQ("first\n", ended.output);
    EXPECT_EQ(0u, ended.errors.find("kestrel-host: stdin:2: 'end' expected (to close 'function' at line 1) near '<eof>'\n"))
        << ended.errors;
}

// kestrel-host with its standard streams on a terminal of its own.
class OnATerminal : public ::testing::Test {
protected:
    void SetUp() override
    {
        terminal_ = posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_NE(-1, terminal_);
        ASSERT_EQ(0, grantpt(terminal_));
        ASSERT_EQ(0, unlockpt(terminal_));
        std::string side = ptsname(terminal_);

        std::vector<std::string> words = {KESTREL_HOST_PATH, "--console", "/dev/null"};
        if (*KESTREL_HOST_EMULATOR != '\0')
            words.insert(words.begin(), KESTREL_HOST_EMULATOR);
        std::vector<char*> argv;
        for (std::string& word : words)
            argv.push_back(word.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, side.c_str(), O_RDWR, 0);
        posix_spawn_file_actions_adddup2(&actions, STDIN_FILENO, STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, STDIN_FILENO, STDERR_FILENO);
        posix_spawn_file_actions_addclose(&actions, terminal_);
        int spawned = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ASSERT_EQ(0, spawned);
    }

    void TearDown() override
    {
        if (pid_ > 0 && WaitAtMostTenSeconds(pid_) == -1)
            ADD_FAILURE() << "kestrel-host did not end";
        if (terminal_ != -1)
            close(terminal_);
    }

    void Type(const std::string& keys)
    {
        ASSERT_EQ(static_cast<ssize_t>(keys.size()), write(terminal_, keys.data(), keys.size()));
    }

    // Reads what the terminal shows until `text` has appeared at or after
    // `from` in all of it, for at most ten seconds; false if it never did.
    bool Shows(const std::string& text, std::size_t from = 0)
    {
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (shown_.find(text, from) == std::string::npos) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
            pollfd ready = {terminal_, POLLIN, 0};
            if (left.count() <= 0 || poll(&ready, 1, static_cast<int>(left.count())) != 1)
                return false;
            char buffer[512];
            ssize_t got = read(terminal_, buffer, sizeof buffer);
            if (got <= 0)
                return false;
            shown_.append(buffer, static_cast<std::size_t>(got));
        }
        return true;
    }

    // Ends the input once the prompt after `text` shows: typed earlier, while
    // the terminal is not yet set up for line editing, the end of input could
    // be lost.
    void EndInputAfter(const std::string& text)
    {
        ASSERT_TRUE(Shows(text)) << shown_;
        ASSERT_TRUE(Shows("> ", shown_.find(text) + text.size())) << shown_;
        Type("\x04");
    }

    int terminal_ = -1;
    pid_t pid_ = -1;
    std::string shown_;
};

TEST_F(OnATerminal, PromptsAndContinuesAnIncompleteChunkWithTheSecondPrompt)
{
    ASSERT_TRUE(Shows("> ")) << shown_;
    Type("x =\r");
    ASSERT_TRUE(Shows(">> ")) << shown_;
    Type("6 * 7\r");
    Type("print('x is ' .. x)\r");
    EndInputAfter("x is 42");
}

TEST_F(OnATerminal, RecallsAnEarlierChunkWithTheUpArrow)
{
    if (!KESTREL_LINE_EDITING) {
        Type("\x04");  // the host reads plain lines: end them, so that it ends
        GTEST_SKIP() << "kestrel-host was built without a line-editing library";
    }
    ASSERT_TRUE(Shows("> ")) << shown_;
    Type("n = (n or 0) + 1\r");
    Type("print('n is ' .. n)\r");
    ASSERT_TRUE(Shows("n is 1")) << shown_;
    Type("\x1b[A\x1b[A\r");  // two chunks back: n = (n or 0) + 1
    Type("\x1b[A\x1b[A\r");  // and print(...) again
    EndInputAfter("n is 2");
}

}  // namespace
