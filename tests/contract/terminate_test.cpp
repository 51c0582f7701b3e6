// Terminate takes the interpreter down whatever Ruby left running, and what
// fails on the way is reported on the console.
#include <gtest/gtest.h>

#include <chrono>

#include "pause.h"
#include "recording_host.h"

namespace {

using TerminateWithRubyLeftRunning = OpenedModule;

TEST_F(TerminateWithRubyLeftRunning, StopsThreadsAndRactorsAndCountsOne)
{
    host.argument = "Ractor.new { 1 }; $busy = Ractor.new { loop { } }; Thread.new { sleep }; "
                    "Thread.new { loop { Thread.pass } }";
    ASSERT_EQ(1, host.Call("RunString"));
    EXPECT_EQ(1, host.Call("Terminate"));
    // Nothing of the interpreter runs on after it: the process lives on.
    PauseFor(std::chrono::milliseconds(300));
    EXPECT_EQ("", host.console);
    EXPECT_TRUE(host.notices.empty());
}

TEST_F(TerminateWithRubyLeftRunning, WritesWhatAtExitBlocksRaiseToTheConsoleAndStillCountsOne)
{
    host.argument = "at_exit { raise 'first to fail' }\n"
                    "at_exit { raise ArgumentError, 'runs first' }";
    ASSERT_EQ(1, host.Call("RunString"));
    EXPECT_EQ(1, host.Call("Terminate"));
    EXPECT_EQ("kestrel error: eval:2:in `block in <main>': runs first (ArgumentError)\n"
              "kestrel error: eval:1:in `block in <main>': first to fail (RuntimeError)\n",
              host.console);
    EXPECT_TRUE(host.notices.empty());
    EXPECT_EQ(1, host.Call("Terminate"));
}

TEST_F(TerminateWithRubyLeftRunning, WhatAtExitBlocksWriteToStderrBecomesConsoleLinesToo)
{
    host.argument = "at_exit { $stderr.puts 'saving'; $stderr.print 'saved ', 3, 10.chr; "
                    "$stderr << 'done' << 10.chr; $stderr.printf('%d left%s', 0, 10.chr); $stderr.flush }";
    ASSERT_EQ(1, host.Call("RunString"));
    EXPECT_EQ(1, host.Call("Terminate"));
    EXPECT_EQ("kestrel error: saving\nkestrel error: saved 3\nkestrel error: done\nkestrel error: 0 left\n",
              host.console);
}

TEST_F(TerminateWithRubyLeftRunning, WritesWhatAFinalizerRaisesToTheConsole)
{
    host.argument = "ObjectSpace.define_finalizer(Object.new, proc { raise 'finalizer broke' })";
    ASSERT_EQ(1, host.Call("RunString"));
    EXPECT_EQ(1, host.Call("Terminate"));
    EXPECT_NE(std::string::npos, host.console.find("kestrel error: eval:1:in `block in <main>': "
                                                   "finalizer broke (RuntimeError)\n"))
        << host.console;
    EXPECT_EQ(0u, host.console.find("kestrel error: ")) << host.console;
    EXPECT_TRUE(host.notices.empty());
}

}  // namespace
