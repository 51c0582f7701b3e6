// A process the game itself forks is no child of Ruby's: it evaluates and
// comes back to the game like the process that started the interpreter.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include "recording_host.h"

namespace {

using ForkedGame = OpenedModule;

constexpr int kCameBack = 42;

TEST_F(ForkedGame, EvaluatesAndComesBackInAChildOfTheGame)
{
    pid_t child = fork();
    ASSERT_NE(-1, child);
    if (child == 0) {
        host.argument = "$set_in_child = 2";
        std::int32_t first = host.Call("RunString");
        host.argument = "raise 'lost' unless $set_in_child == 2";
        std::int32_t second = host.Call("RunString");
        _exit(first == 1 && second == 1 ? kCameBack : 1);
    }
    int status = 0;
    ASSERT_EQ(child, waitpid(child, &status, 0));
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(kCameBack, WEXITSTATUS(status));
}

}  // namespace
