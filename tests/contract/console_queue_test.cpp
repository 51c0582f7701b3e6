// What Ruby code on other native threads gives to puts reaches the console
// from the game's thread only: whole, in order, and not lost.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "pause.h"
#include "recording_host.h"

namespace {

class ConsoleFromOtherThreads : public OpenedModule {
protected:
    void SetUp() override
    {
        OpenedModule::SetUp();
        ASSERT_EQ(1, host.Call("Initialize"));
    }

    std::int32_t Run(const char* source)
    {
        host.argument = source;
        return host.Call("RunString");
    }

    void TearDown() override
    {
        EXPECT_EQ(0, host.consoleWritesFromOtherThreads);
        EXPECT_TRUE(host.notices.empty());
    }
};

TEST_F(ConsoleFromOtherThreads, ARactorsLinesComeOutInOrderBeforeWhatTheGameWritesNext)
{
    ASSERT_EQ(1, Run("r = Ractor.new { 3.times { |i| puts \"ractor #{i}\\n\" }; :done }\n"
                     "r.take\n"
                     "puts \"game\\n\""));
    EXPECT_EQ("ractor 0\nractor 1\nractor 2\ngame\n", host.console);
}

TEST_F(ConsoleFromOtherThreads, TextARactorWritesWhileTheGameRunsItsOwnCodeWaitsForTheNextCall)
{
    // The Ractor writes once the call has returned to the game.
    ASSERT_EQ(1, Run("$r = Ractor.new { sleep 0.1; puts \"while the game was away\\n\"; 1 }"));
    PauseFor(std::chrono::milliseconds(500));
    EXPECT_EQ("", host.console);
    ASSERT_EQ(1, Run("$r.take; puts \"back\\n\""));
    EXPECT_EQ("while the game was away\nback\n", host.console);
}

TEST_F(ConsoleFromOtherThreads, AThreadsLinesNeverSplitALongLineOfTheGame)
{
    ASSERT_EQ(1, Run("$t = Thread.new { 50.times { |i| puts \"thread #{i}\\n\"; Thread.pass } }"));
    ASSERT_EQ(1, Run("3.times { puts 'g' * 20_000 + \"\\n\"; Thread.pass }\n$t.join"));
    std::string line = std::string(20000, 'g') + "\n";
    std::size_t at = 0;
    for (int i = 0; i < 3; ++i) {
        at = host.console.find(line, at);
        ASSERT_NE(std::string::npos, at) << i;
        at += line.size();
    }
    for (int i = 0; i < 50; ++i)
        EXPECT_NE(std::string::npos, host.console.find("thread " + std::to_string(i) + "\n")) << i;
    EXPECT_EQ(3 * line.size() + 50 * 9 + 40, host.console.size());
}

TEST_F(ConsoleFromOtherThreads, MoreThanTheQueueHoldsComesOutWholeWhenTheGameIsNotWaiting)
{
    // Three texts of 600,000 bytes: the second waits until the first is written.
    // The game keeps calling in until all three arrived, for up to a minute by
    // the clock (a slow start of the Ractor, under Wine on a busy machine,
    // takes seconds).
    ASSERT_EQ(1, Run("$r = Ractor.new { 3.times { |i| puts i.to_s * 600_000 + \"\\n\" }; :done }"));
    auto giveUp = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (host.console.size() < 3 * 600001 && std::chrono::steady_clock::now() < giveUp) {
        PauseFor(std::chrono::milliseconds(50));
        ASSERT_EQ(1, Run("x = 1"));
    }
    ASSERT_EQ(1, Run("$r.take"));
    EXPECT_EQ(std::string(600000, '0') + "\n" + std::string(600000, '1') + "\n" + std::string(600000, '2') + "\n",
              host.console);
}

TEST_F(ConsoleFromOtherThreads, WhatTheGamesThreadCannotTakeWhileItWaitsIsDroppedAndCounted)
{
    // The game's thread waits for the Ractor, which cannot put its second text.
    ASSERT_EQ(1, Run("Ractor.new { 2.times { |i| puts i.to_s * 600_000 + \"\\n\" }; :done }.take"));
    EXPECT_EQ(std::string(600000, '0') + "\n" +
                  "kestrel error: 600001 bytes given to puts on other threads were dropped: the queue stayed full "
                  "while the game's thread waited, or memory ran out\n",
              host.console);
}

}  // namespace
