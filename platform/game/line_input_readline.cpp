// Lines read through GNU readline on a terminal: editing, and recall of
// earlier chunks with the arrow keys. Piped input is read plainly.
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include <readline/history.h>
#include <readline/readline.h>

#include "host_platform.h"
#include "line_input.h"

namespace standin {

bool ReadLine(const char* prompt, std::string& line)
{
    if (!StandardInputIsTerminal())
        return static_cast<bool>(std::getline(std::cin, line));
    static bool started = false;
    if (!started) {
        rl_readline_name = "kestrel-host";  // for conditions in ~/.inputrc
        using_history();
        started = true;
    }
    char* text = readline(prompt);
    if (text == nullptr) {
        std::fputs("\n", stdout);  // end of input (Ctrl-D): leave the shell on a line of its own
        std::fflush(stdout);
        return false;
    }
    line = text;
    std::free(text);
    return true;
}

void Remember(const std::string& chunk)
{
    if (StandardInputIsTerminal() && !chunk.empty())
        add_history(chunk.c_str());
}

}  // namespace standin
