// Opening and closing the module, as the host's objects see it.
#include <gtest/gtest.h>
#include <ruby.h>

#include <csignal>

#include "host_platform.h"
#include "recording_host.h"

namespace {

const char kBanner[] = "kestrel locked & loaded!\n";

TEST(Library, ExportsItsEntriesByName)
{
    EXPECT_NE(nullptr, ModuleOpen());
    EXPECT_NE(nullptr, ModuleClose());
}

TEST(Opening, ObtainsTheInterfaceThenBuildsRbInTableOrderThenWritesTheBannerBeforeStarting)
{
    RecordingHost host;
    EXPECT_EQ(0, host.Open());
    const std::vector<std::string> expected = {
        "ScriptEntry@59 Registry()",
        "ScriptEntry@4 StateHandle()",
        "StateRegistry@0 InterfaceFor(state)",
        "ScriptInterface@46 MakeGlobalTable(rb)",
        "ScriptInterface@6 FetchGlobal(rb)",
        "ScriptObject@15 SetFunction(Initialize)",
        "ScriptObject@15 SetFunction(Terminate)",
        "ScriptObject@15 SetFunction(RunString)",
        "ScriptObject@15 SetFunction(RunFile)",
        std::string("Msg(") + kBanner + ")",
    };
    EXPECT_EQ(expected, host.calls);
    EXPECT_FALSE(host.interpreterRanAtFirstWrite);
    EXPECT_TRUE(ruby_native_thread_p());
}

TEST(Opening, WithoutAnInterfaceWritesTheBannerAndStartsButBuildsNoTable)
{
    RecordingHost host(false);
    EXPECT_EQ(0, host.Open());
    const std::vector<std::string> expected = {
        "ScriptEntry@59 Registry()",
        "ScriptEntry@4 StateHandle()",
        "StateRegistry@0 InterfaceFor(state)",
        std::string("Msg(") + kBanner + ")",
    };
    EXPECT_EQ(expected, host.calls);
    EXPECT_TRUE(ruby_native_thread_p());
}

TEST(Opening, AgainKeepsTheNewInterfaceAndStartsNothingMore)
{
    RecordingHost first;
    ASSERT_EQ(0, first.Open());
    RecordingHost second;
    ASSERT_EQ(0, second.Open());
    EXPECT_EQ(kBanner, second.console);

    // The first state's function now works through the second state's interface.
    first.calls.clear();
    second.calls.clear();
    second.argument = "x = 1";
    auto runString = first.functions.at("RunString");
    EXPECT_EQ(1, runString(&first.stateMarker));
    EXPECT_TRUE(first.calls.empty());
    EXPECT_EQ(2u, second.calls.size());
}

// A finalizer that runs while the host closes the state calls members after
// gmod_close, when the host's objects of that state may be gone.
TEST(Closing, ReturnsZeroAndForgetsTheInterfaceSoEveryMemberIsRefusedWithoutTouchingTheHost)
{
    RecordingHost host;
    ASSERT_EQ(0, host.Open());
    EXPECT_EQ(0, host.Close());
    host.calls.clear();
    host.console.clear();
    host.argument = "$after_close = 1";
    for (const char* member : {"Initialize", "Terminate", "RunString", "RunFile"}) {
        SCOPED_TRACE(member);
        EXPECT_EQ(0, host.Call(member));
    }
    const std::string refused = "Msg(kestrel error: the host gave no script interface\n)";
    EXPECT_EQ(std::vector<std::string>(4, refused), host.calls);
    EXPECT_TRUE(host.notices.empty());
}

TEST(Closing, LeavesTheInterpreterRunningForTheNextOpening)
{
    RecordingHost first;
    ASSERT_EQ(0, first.Open());
    first.argument = "$before_close = 41";
    ASSERT_EQ(1, first.Call("RunString"));
    ASSERT_EQ(0, first.Close());

    RecordingHost second;
    ASSERT_EQ(0, second.Open());
    second.argument = "raise 'lost' unless $before_close + 1 == 42";
    EXPECT_EQ(1, second.Call("RunString"));
    EXPECT_EQ(kBanner, second.console);
    EXPECT_TRUE(second.notices.empty());
}

// One record for the process: whichever state closes, the interface of the
// last opening is forgotten, and an earlier state's members find none.
TEST(Closing, AfterALaterOpeningWasClosedAnEarlierStatesMembersAreRefused)
{
    RecordingHost first;
    ASSERT_EQ(0, first.Open());
    RecordingHost second;
    ASSERT_EQ(0, second.Open());
    ASSERT_EQ(0, second.Close());
    first.calls.clear();
    second.calls.clear();
    first.argument = "x = 1";
    EXPECT_EQ(0, first.Call("RunString"));
    EXPECT_EQ(std::vector<std::string>{"Msg(kestrel error: the host gave no script interface\n)"}, first.calls);
    EXPECT_TRUE(second.calls.empty());
}

TEST(Start, TakesNoOptionsOrLibrariesFromTheEnvironment)
{
    standin::SetEnvironment("RUBYOPT", "-W2 -rset");
    standin::SetEnvironment("RUBYLIB", "/usr/lib/ruby/3.1.0");
    RecordingHost host;
    ASSERT_EQ(0, host.Open());
    host.argument = "raise 'options' unless $VERBOSE == false && $LOAD_PATH.empty? && !defined?(Set)";
    EXPECT_EQ(1, host.Call("RunString"));
    EXPECT_EQ(kBanner, host.console);
}

void HostHandler(int) {}

TEST(Start, PutsBackTheHostsHandlersForTheSignalsThatStopIt)
{
    std::signal(SIGINT, HostHandler);
    std::signal(SIGTERM, HostHandler);
    RecordingHost host;
    ASSERT_EQ(0, host.Open());
    EXPECT_EQ(HostHandler, std::signal(SIGINT, SIG_DFL));
    EXPECT_EQ(HostHandler, std::signal(SIGTERM, SIG_DFL));
}

// The interpreter scans the machine stack for the values it uses. A host may
// open the module deep in its stack and call it later from shallower frames.
int OpenDeep(RecordingHost& host, int depth)
{
    volatile char frame[4096];
    frame[0] = static_cast<char>(depth);
    int opened = depth == 0 ? host.Open() : OpenDeep(host, depth - 1);
    return opened + frame[0] - static_cast<char>(depth);
}

TEST(Start, OpenedDeepInTheStackTheInterpreterStillSeesItsValuesFromShallowerCalls)
{
    RecordingHost host;
    ASSERT_EQ(0, OpenDeep(host, 64));
    host.argument =
        "GC.stress = true\n"
        "kept = (1..300).map { |i| 'x' * i }\n"
        "GC.stress = false\n"
        "raise 'lost' unless kept.each_with_index.all? { |s, i| s == 'x' * (i + 1) }";
    EXPECT_EQ(1, host.Call("RunString"));
    EXPECT_EQ(kBanner, host.console);
}

}  // namespace
