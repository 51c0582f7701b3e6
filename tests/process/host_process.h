// kestrel-host started as a game would be started, with its standard streams
// on pipes and the default dispositions for the signals that stop a process.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

struct HostProcess {
    pid_t pid = -1;
    int input = -1;   // the host's standard input
    int output = -1;  // its standard output
    int errors = -1;  // its standard error
};

HostProcess StartHost(const std::vector<std::string>& arguments);

// Reads a stream to its end and closes it.
std::string ReadToEnd(int stream);

// How the process ended, as waitpid gives it, or -1 when it had not ended
// after ten seconds (it is then killed).
int WaitAtMostTenSeconds(pid_t process);

// How a run of the host ended, with all it wrote.
struct Ended {
    int status;  // the exit status, or -1 when it did not exit normally in time
    std::string output;
    std::string errors;
};

// Starts the host, writes `input` to its standard input and closes it, and
// waits for the host to end.
Ended RunHost(const std::vector<std::string>& arguments, const std::string& input = "");

// Starts the host with `arguments`, waits until it writes its first byte to
// standard output (the script's sign that it is ready), sends `signal`, and
// expects the host to end by that signal.
void ExpectEndedBySignalOnceReady(int signal, const std::vector<std::string>& arguments);
