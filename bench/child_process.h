// Starts the processes some benchmarks measure, and waits for them.
#pragma once

#include <string>
#include <vector>

namespace bench {

// Runs `command` (its first word looked up in PATH) with standard input and
// error on /dev/null and waits for it. Its standard output goes to `output`
// when given, and to /dev/null otherwise. Returns the wall-clock time it took
// in seconds, or a negative time when it could not be started or did not exit
// with 0.
double RunProcess(std::vector<std::string> command, std::string* output = nullptr);

// The helper process built beside the benchmarks, with the module's path as
// its first argument (see bench_child.cpp).
std::vector<std::string> ChildCommand(const std::vector<std::string>& action);

}  // namespace bench
