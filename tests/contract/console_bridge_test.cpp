// Ruby's puts, as it reaches the console.
#include <gtest/gtest.h>

#include <string>

#include "console.h"
#include "recording_host.h"

namespace {

class ConsoleBridge : public OpenedModule {
protected:
    void SetUp() override
    {
        OpenedModule::SetUp();
        ASSERT_EQ(1, host.Call("Initialize"));
        host.calls.clear();
    }

    std::string Puts(const char* source)
    {
        host.console.clear();
        host.argument = source;
        EXPECT_EQ(1, host.Call("RunString")) << source;
        return host.console;
    }
};

TEST_F(ConsoleBridge, WritesAMillionByteStringWholeInPiecesTheConsoleKeeps)
{
    std::string expected;
    for (int i = 0; i < 100000; ++i)
        expected += "0123456789";
    EXPECT_EQ(expected, Puts("puts '0123456789' * 100_000"));
    EXPECT_LT(host.longestConsoleWrite, kConsoleBufferSize - 1);
}

TEST_F(ConsoleBridge, WritesTheStringsBytesVerbatimUpToItsFirstNul)
{
    EXPECT_EQ("100% %s %n %%", Puts("puts '100% %s %n %%'"));
    EXPECT_EQ("ab", Puts("puts \"ab\\0cd\""));
    EXPECT_EQ("", Puts("puts \"\\0cd\""));
    EXPECT_EQ("caf\xC3\xA9\n", Puts("puts \"caf\\u00e9\\n\""));
}

TEST_F(ConsoleBridge, NeverReadsPastTheStringsLength)
{
    // A slice of a long String shares its buffer and ends with no NUL of its own.
    EXPECT_EQ("abc", Puts("s = 'abcdefgh' * 100; puts s[0, 3]"));
    EXPECT_EQ("fgh", Puts("s = 'abcdefgh' * 100; puts s[-3, 3]"));
}

TEST_F(ConsoleBridge, WritesNothingForValuesThatAreNotStringsAndGivesZero)
{
    host.argument =
        "[1, :sym, nil, true, false, [1, 'a'], 1.5, Object.new, 2**80].each do |v|\n"
        "  raise \"puts gave #{puts(v).inspect} for #{v.inspect}\" unless puts(v) == 0\n"
        "end\n"
        "raise 'string' unless puts('x') == 0";
    EXPECT_EQ(1, host.Call("RunString"));
    EXPECT_EQ("x", host.console);
}

TEST_F(ConsoleBridge, InitializeUnderAFrozenKernelReportsTheFailure)
{
    host.argument = "Kernel.freeze; Object.freeze";
    ASSERT_EQ(1, host.Call("RunString"));
    host.calls.clear();
    EXPECT_EQ(0, host.Call("Initialize"));
    const std::vector<std::string> expected = {
        "Msg(kestrel error: can't modify frozen module: Kernel\n)",
        "ScriptInterface@70 ReportError(Initialize failed, check console for details.\n)",
    };
    EXPECT_EQ(expected, host.calls);
}

}  // namespace
