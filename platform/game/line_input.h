// Lines of the interactive console. The build takes one of two
// implementations: with a line-editing library (lines can be edited and earlier
// chunks recalled) where one was found, and plain reading otherwise.
#pragma once

#include <string>

namespace standin {

// Reads one line of standard input, without its line end; false when the input
// has ended. On a terminal it first shows `prompt`; elsewhere no prompt is
// written, so that piped input gives only what the Lua writes.
bool ReadLine(const char* prompt, std::string& line);

// Keeps a chunk that was read, so that it can be recalled at a later prompt.
void Remember(const std::string& chunk);

}  // namespace standin
