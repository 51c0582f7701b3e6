// The stand-in game's --cycles: the whole life of the module in a game, from
// a new state to the unload, again and again in one process.
#include <gtest/gtest.h>

#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "host_process.h"

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST(HostCycles, CarryRubyStateAndWriteTheBannerAtEveryOpening)
{
    char folder[] = "/tmp/kestrel-cycles-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(folder));
    std::string console = std::string(folder) + "/out.txt";
    Ended ended = RunHost({"--cycles", "3", "--console", console, "-e",
                           "assert(rb.RunString(\"$n = ($n || 0) + 1; STDOUT.print $n, 10.chr\") == 1)"});
    EXPECT_EQ(0, ended.status) << ended.errors;
    EXPECT_EQ("1\n2\n3\n", ended.output);
    EXPECT_EQ("kestrel locked & loaded!\nkestrel locked & loaded!\nkestrel locked & loaded!\n", ReadFile(console));
    unlink(console.c_str());
    rmdir(folder);
}

TEST(HostCycles, RunEveryCycleAndExitWithTheStatusOfTheFirstThatFailed)
{
    Ended ended = RunHost({"--cycles", "4", "--console", "/dev/null", "-e",
                           "if HOST_CYCLE % 2 == 0 then error('cycle ' .. HOST_CYCLE .. ' failed') end", "-e",
                           "io.write(HOST_CYCLE)"});
    EXPECT_EQ(1, ended.status);
    EXPECT_EQ("13", ended.output);
    EXPECT_NE(std::string::npos, ended.errors.find("cycle 2 failed")) << ended.errors;
    EXPECT_NE(std::string::npos, ended.errors.find("cycle 4 failed")) << ended.errors;
}

TEST(HostCycles, TakeOnlyAWholeNumberFromOneToAMillion)
{
    for (const char* count : {"0", "-1", "x", "3x", "", "1000001"}) {
        SCOPED_TRACE(count);
        Ended ended = RunHost({"--cycles", count, "-e", "io.write('ran')"});
        EXPECT_EQ(2, ended.status);
        EXPECT_EQ("", ended.output);
        EXPECT_EQ(0u, ended.errors.find("usage: kestrel-host")) << ended.errors;
    }
}

TEST(HostCycles, StopAtAModuleThatCannotBeLoaded)
{
    Ended ended = RunHost({"--cycles", "3", "--module", "/no/such/kestrel.so", "-e", "io.write('ran')"});
    EXPECT_EQ(2, ended.status);
    EXPECT_EQ("", ended.output);
    std::string once = "kestrel-host: cannot load the module '/no/such/kestrel.so'";
    EXPECT_EQ(0u, ended.errors.find(once)) << ended.errors;
    EXPECT_EQ(std::string::npos, ended.errors.find(once, 1)) << ended.errors;
}

// Ten cycles: the module loaded, opened, closed and unloaded ten times; the
// signal comes while the tenth runs Ruby, or Lua after Ruby.
void ExpectStoppedInTheTenthCycle(int signal, const std::string& tenth)
{
    ExpectEndedBySignalOnceReady(signal, {"--cycles", "10", "--console", "/dev/null", "-e",
                                          "rb.RunString('$cycles = ($cycles || 0) + 1')", "-e",
                                          "if HOST_CYCLE == 10 then io.write('r') io.flush() " + tenth + " end"});
}

TEST(HostCycles, StopSignalsStillEndTheGameAfterTenCycles)
{
    for (int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        ExpectStoppedInTheTenthCycle(signal, "rb.RunString('raise unless $cycles == 10; loop { }')");
    }
    SCOPED_TRACE("Lua");
    ExpectStoppedInTheTenthCycle(SIGTERM, "while true do end");
}

}  // namespace
