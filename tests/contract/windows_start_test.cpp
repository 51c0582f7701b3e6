// What the interpreter's Windows start-up leaves of the game's process settings.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <windows.h>

#include "recording_host.h"

namespace {

const char kBanner[] = "kestrel locked & loaded!\n";

TEST(WindowsStart, LeavesTheGamesErrorModeAsItWas)
{
    SetErrorMode(SEM_NOOPENFILEERRORBOX);
    RecordingHost host;
    ASSERT_EQ(0, host.Open());
    EXPECT_EQ(static_cast<UINT>(SEM_NOOPENFILEERRORBOX), GetErrorMode());
    EXPECT_EQ(kBanner, host.console);
}

TEST(WindowsStart, LeavesStandardInputInTheGamesTranslationMode)
{
    int input = _fileno(stdin);
    ASSERT_LE(0, input);
    _setmode(input, _O_TEXT);
    RecordingHost host;
    ASSERT_EQ(0, host.Open());
    EXPECT_EQ(_O_TEXT, _setmode(input, _O_TEXT));
    host.argument = "raise 'binary' unless STDIN.binmode.binmode?";
    EXPECT_EQ(1, host.Call("RunString"));
    EXPECT_EQ(kBanner, host.console);
}

}  // namespace
