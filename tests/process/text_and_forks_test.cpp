// Ruby inside the game as a game starts it: UTF-8 text whatever the locale, a
// locale the module leaves alone, and children forked by Ruby code that end
// where their evaluation ends.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "host_process.h"

namespace {

const char kUtf8Checks[] =
    "raise 'x' unless \"\xC3\xA9\".length == 1 && \"\xE6\x97\xA5\xE6\x9C\xAC\".reverse == "
    "\"\xE6\x9C\xAC\xE6\x97\xA5\" && \"abc\".encode(\"UTF-16LE\").bytesize == 6 && "
    "Encoding.default_external == Encoding::UTF_8 && $LOAD_PATH.empty?";

TEST(TextAndEncodings, AreUtf8WhateverTheLocaleWhichStaysTheGames)
{
    char path[] = "/tmp/kestrel-text-XXXXXX";
    int file = mkstemp(path);
    ASSERT_NE(-1, file);
    ASSERT_EQ(static_cast<ssize_t>(sizeof kUtf8Checks - 1), write(file, kUtf8Checks, sizeof kUtf8Checks - 1));
    close(file);

    for (const char* locale : {"C", "C.UTF-8"}) {
        SCOPED_TRACE(locale);
        setenv("LC_ALL", locale, 1);
        setenv("LANG", locale, 1);
        Ended ended = RunHost({"--console", "/dev/null",
                               "-e", std::string("print(rb.RunString([[") + kUtf8Checks + "]]))",
                               "-e", std::string("print(rb.RunFile('") + path + "'))",
                               "-e", "print(os.setlocale())"});
        EXPECT_EQ(0, ended.status);
        // The game never set its locale, so it is still "C" for the C library.
        EXPECT_EQ("1\n1\nC\n", ended.output);
        EXPECT_EQ("", ended.errors);
    }
    unsetenv("LC_ALL");
    std::remove(path);
}

TEST(ForkedChildren, EndWithTheirOwnStatusAndTheGameRunsOnce)
{
    Ended ended = RunHost({"--console", "/dev/null",
                           "-e", "io.write('game: before\\n')",
                           "-e", "print(rb.RunString('pid = fork; exit 3 if pid.nil?; Process.wait(pid); "
                                 "raise unless $?.exitstatus == 3'))",
                           "-e", "print(rb.RunString('pid = fork; raise %q(boom) if pid.nil?; "
                                 "Process.wait(pid); raise unless $?.exitstatus == 1'))",
                           "-e", "print(rb.RunString('pid = fork; Process.wait(pid) if pid; "
                                 "raise unless pid.nil? || $?.exitstatus == 0'))",
                           "-e", "print('game: after')"});
    EXPECT_EQ(0, ended.status);
    EXPECT_EQ("game: before\n1\n1\n1\ngame: after\n", ended.output);
    // As a standalone Ruby child prints it, and nothing on the game's console.
    EXPECT_EQ("eval:1:in `<main>': boom (RuntimeError)\n\tfrom kestrel:in `eval'\n", ended.errors);
}

}  // namespace
