// RunString as the host's objects see it.
#include <gtest/gtest.h>

#include <string>

#include "console.h"
#include "recording_host.h"

namespace {

const char kBanner[] = "kestrel locked & loaded!\n";
const char kNotice[] = "RunString failed, check console for details.\n";

using RunString = OpenedModule;

TEST_F(RunString, ChecksThatArgumentOneIsTextThenReadsIt)
{
    host.argument = "x = 1";
    EXPECT_EQ(1, host.Call("RunString"));
    const std::vector<std::string> expected = {
        "ScriptInterface@52 RequireArgType(1, 1)",
        "ScriptInterface@9 ArgText(1)",
    };
    EXPECT_EQ(expected, host.calls);
}

TEST_F(RunString, WritesTheErrorLineBeforeHandingTheNoticeToTheScript)
{
    host.argument = "raise 'boom'";
    EXPECT_EQ(0, host.Call("RunString"));
    const std::vector<std::string> expected = {
        "ScriptInterface@52 RequireArgType(1, 1)",
        "ScriptInterface@9 ArgText(1)",
        "Msg(kestrel error: boom\n)",
        std::string("ScriptInterface@70 ReportError(") + kNotice + ")",
    };
    EXPECT_EQ(expected, host.calls);
}

TEST_F(RunString, WritesAHundredThousandByteMessageWholeInPiecesTheConsoleKeeps)
{
    host.argument = "raise (0...10_000).map { |i| '%09d|' % i }.join";
    EXPECT_EQ(0, host.Call("RunString"));
    std::string message;
    char piece[16];
    for (int i = 0; i < 10000; ++i) {
        std::snprintf(piece, sizeof piece, "%09d|", i);
        message += piece;
    }
    ASSERT_EQ(100000u, message.size());
    EXPECT_EQ("kestrel error: " + message + "\n", host.console);
    EXPECT_LT(host.longestConsoleWrite, kConsoleBufferSize - 1);
}

TEST_F(RunString, WithoutTextFromAHostWhoseCheckLetsTheCallGoOnFailsCleanly)
{
    host.argument = nullptr;
    EXPECT_EQ(0, host.Call("RunString"));
    EXPECT_EQ("kestrel error: argument 1 is not text\n", host.console);
    EXPECT_EQ(std::vector<std::string>{kNotice}, host.notices);
}

TEST_F(RunString, AfterALaterOpeningWithoutAnInterfaceWritesWhyAndReturnsZero)
{
    RecordingHost withoutInterface(false);
    ASSERT_EQ(0, withoutInterface.Open());
    host.calls.clear();
    host.argument = "x = 1";
    EXPECT_EQ(0, host.Call("RunString"));
    EXPECT_EQ(std::vector<std::string>{"Msg(kestrel error: the host gave no script interface\n)"}, host.calls);
}

}  // namespace
