// The interpreter's life: terminated for good, and used only from its own thread.
#include <gtest/gtest.h>

#include <thread>

#include "recording_host.h"

namespace {

const char kBanner[] = "kestrel locked & loaded!\n";

class Lifecycle : public OpenedModule {
protected:
    void SetUp() override
    {
        OpenedModule::SetUp();
        host.argument = "x = 1";
    }
};

TEST_F(Lifecycle, AfterTerminateEveryMemberIsRefusedWithoutTouchingTheInterpreter)
{
    EXPECT_EQ(1, host.Call("Terminate"));
    EXPECT_EQ(0, host.Call("Initialize"));
    EXPECT_EQ(0, host.Call("RunString"));
    host.argument = "missing.rb";
    EXPECT_EQ(0, host.Call("RunFile"));
    EXPECT_EQ(1, host.Call("Terminate"));  // nothing left to do

    const std::string refused = "kestrel error: the interpreter has been terminated\n";
    EXPECT_EQ(refused + refused + refused, host.console);
    const std::vector<std::string> notices = {
        "Initialize failed, check console for details.\n",
        "RunString failed, check console for details.\n",
        "RunFile failed, check console for details.\n",
    };
    EXPECT_EQ(notices, host.notices);
}

TEST_F(Lifecycle, AnOpeningAfterTerminateWritesTheBannerAndStartsNothing)
{
    ASSERT_EQ(1, host.Call("Terminate"));
    RecordingHost again;
    EXPECT_EQ(0, again.Open());
    again.argument = "x = 1";
    EXPECT_EQ(0, again.Call("RunString"));
    EXPECT_EQ(std::string(kBanner) + "kestrel error: the interpreter has been terminated\n", again.console);
}

TEST_F(Lifecycle, ACallFromAnotherThreadIsRefusedAndTheInterpreterRunsOn)
{
    std::int32_t counts[4] = {-1, -1, -1, -1};
    std::thread other([&] {
        counts[0] = host.Call("Initialize");
        counts[1] = host.Call("RunString");
        counts[2] = host.Call("RunFile");
        counts[3] = host.Call("Terminate");
    });
    other.join();
    for (std::int32_t count : counts)
        EXPECT_EQ(0, count);

    const std::string refused = "kestrel error: called from a thread other than the interpreter's\n";
    EXPECT_EQ(refused + refused + refused + refused, host.console);
    const std::vector<std::string> notices = {
        "Initialize failed, check console for details.\n",
        "RunString failed, check console for details.\n",
        "RunFile failed, check console for details.\n",
        "Terminate failed, check console for details.\n",
    };
    EXPECT_EQ(notices, host.notices);

    host.argument = "raise 'broken' unless [1, 2].sum == 3";
    EXPECT_EQ(1, host.Call("RunString"));
    EXPECT_EQ(1, host.Call("Terminate"));
}

}  // namespace
