// The stand-in game's command line: its exit statuses and its console mode.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include "host_process.h"

namespace {

TEST(HostCommand, RunsEachLineOfStandardInputWhenGivenNoChunkOrScript)
{
    Ended ended = RunHost({"--errors", "return"}, "print(rb.RunString('raise %q(no)'))\nprint('next')\n");
    EXPECT_EQ(0, ended.status);
    EXPECT_EQ("kestrel locked & loaded!\nkestrel error: no\n0\tRunString failed, check console for details.\n\nnext\n",
              ended.output);
}

TEST(HostCommand, ExitsWithOneWhenALuaErrorEscapes)
{
    Ended ended = RunHost({"--console", "/dev/null", "-e", "rb.RunString('raise %q(x)')", "-e", "print('not run')"});
    EXPECT_EQ(1, ended.status);
    EXPECT_EQ("", ended.output);
    EXPECT_NE(std::string::npos, ended.errors.find("kestrel-host: RunString failed, check console for details."))
        << ended.errors;
}

TEST(HostCommand, ExitsWithTwoOnBadUsageOrAModuleItCannotLoad)
{
    Ended badMode = RunHost({"--errors", "sometimes", "-e", "x = 1"});
    EXPECT_EQ(2, badMode.status);
    EXPECT_EQ(0u, badMode.errors.find("usage: kestrel-host")) << badMode.errors;

    Ended noModule = RunHost({"--module", "/no/such/kestrel.so", "-e", "x = 1"});
    EXPECT_EQ(2, noModule.status);
    EXPECT_NE(std::string::npos, noModule.errors.find("cannot load the module '/no/such/kestrel.so'"))
        << noModule.errors;
}

}  // namespace
