#include "host_process.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

HostProcess StartHost(const std::vector<std::string>& arguments)
{
    std::vector<std::string> words = {KESTREL_HOST_PATH};
    if (*KESTREL_HOST_EMULATOR != '\0')
        words.insert(words.begin(), KESTREL_HOST_EMULATOR);
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    int input[2], output[2], errors[2];
    if (pipe(input) != 0 || pipe(output) != 0 || pipe(errors) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errors[1], STDERR_FILENO);
    for (int end : {input[0], input[1], output[0], output[1], errors[0], errors[1]})
        posix_spawn_file_actions_addclose(&actions, end);

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    for (int stop : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE})
        sigaddset(&stopSignals, stop);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &stopSignals);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    HostProcess host;
    int spawned = posix_spawn(&host.pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(input[0]);
    close(output[1]);
    close(errors[1]);
    host.input = input[1];
    host.output = output[0];
    host.errors = errors[0];
    if (spawned != 0)
        host.pid = -1;
    return host;
}

std::string ReadToEnd(int stream)
{
    std::string text;
    char buffer[4096];
    ssize_t got = 0;
    while ((got = read(stream, buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<std::size_t>(got));
    close(stream);
    return text;
}

int WaitAtMostTenSeconds(pid_t process)
{
    int status = 0;
    for (int waited = 0; waited < 1000; ++waited) {
        if (waitpid(process, &status, WNOHANG) == process)
            return status;
        usleep(10 * 1000);
    }
    kill(process, SIGKILL);
    waitpid(process, &status, 0);
    return -1;
}

Ended RunHost(const std::vector<std::string>& arguments, const std::string& input)
{
    HostProcess host = StartHost(arguments);
    if (host.pid == -1)
        return {-1, "", "could not start"};
    if (!input.empty() && write(host.input, input.data(), input.size()) < 0)
        return {-1, "", "could not write"};
    close(host.input);
    Ended ended;
    ended.output = ReadToEnd(host.output);
    ended.errors = ReadToEnd(host.errors);
    int status = WaitAtMostTenSeconds(host.pid);
    ended.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return ended;
}

void ExpectEndedBySignalOnceReady(int signal, const std::vector<std::string>& arguments)
{
    HostProcess host = StartHost(arguments);
    ASSERT_NE(-1, host.pid);
    close(host.input);
    close(host.errors);
    char byte = 0;
    if (read(host.output, &byte, 1) == 1)
        usleep(100 * 1000);  // let it get into the loop that follows
    close(host.output);
    kill(host.pid, signal);

    int status = WaitAtMostTenSeconds(host.pid);
    ASSERT_NE(-1, status) << "the game did not stop";
    ASSERT_TRUE(WIFSIGNALED(status)) << "status " << status;
    EXPECT_EQ(signal, WTERMSIG(status));
}
