#include "child_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

extern char** environ;

namespace bench {
namespace {

// The interpreter's signal handlers do not restart system calls: a read or a
// wait is taken up again when one of them interrupts it.
bool Wait(pid_t child, int& status)
{
    pid_t waited;
    do
        waited = waitpid(child, &status, 0);
    while (waited < 0 && errno == EINTR);
    return waited == child;
}

void ReadAll(int fd, std::string& output)
{
    char buffer[4096];
    for (;;) {
        ssize_t got = read(fd, buffer, sizeof buffer);
        if (got > 0)
            output.append(buffer, static_cast<std::size_t>(got));
        else if (got == 0 || errno != EINTR)
            return;
    }
}

}  // namespace

double RunProcess(std::vector<std::string> command, std::string* output)
{
    std::vector<char*> argv;
    for (std::string& word : command)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    int pipeEnds[2] = {-1, -1};
    if (output != nullptr && pipe2(pipeEnds, O_CLOEXEC) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (output != nullptr)
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
    else
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);

    auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    bool started = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    if (output != nullptr) {
        close(pipeEnds[1]);
        if (started)
            ReadAll(pipeEnds[0], *output);
        close(pipeEnds[0]);
    }
    int status = -1;
    bool ran = started && Wait(child, status);
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    posix_spawn_file_actions_destroy(&actions);
    return ran && WIFEXITED(status) && WEXITSTATUS(status) == 0 ? took.count() : -1;
}

std::vector<std::string> ChildCommand(const std::vector<std::string>& action)
{
    std::vector<std::string> command = {KESTREL_BENCH_CHILD_PATH, KESTREL_MODULE_PATH};
    command.insert(command.end(), action.begin(), action.end());
    return command;
}

}  // namespace bench
