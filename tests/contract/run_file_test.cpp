// RunFile as the host's objects see it.
#include <gtest/gtest.h>

#include <string>

#include "recording_host.h"

namespace {

const char kNotice[] = "RunFile failed, check console for details.\n";

using RunFile = OpenedModule;

TEST_F(RunFile, ReportsAFileItCannotOpenAfterTheEvaluationWithTheCountOne)
{
    host.argument = "no/such/file.rb";
    EXPECT_EQ(1, host.Call("RunFile"));
    const std::vector<std::string> expected = {
        "ScriptInterface@52 RequireArgType(1, 1)",
        "ScriptInterface@9 ArgText(1)",
        "Msg(kestrel error: unable to load file 'no/such/file.rb'\n)",
        std::string("ScriptInterface@70 ReportError(") + kNotice + ")",
    };
    EXPECT_EQ(expected, host.calls);
}

TEST_F(RunFile, WritesALongPathWholeInItsErrorLine)
{
    std::string path(6000, 'd');
    host.argument = path.c_str();
    EXPECT_EQ(1, host.Call("RunFile"));
    EXPECT_EQ("kestrel error: unable to load file '" + path + "'\n", host.console);
}

TEST_F(RunFile, WithoutTextFromAHostWhoseCheckLetsTheCallGoOnFailsCleanly)
{
    host.argument = nullptr;
    EXPECT_EQ(0, host.Call("RunFile"));
    EXPECT_EQ(std::vector<std::string>{kNotice}, host.notices);
}

}  // namespace
