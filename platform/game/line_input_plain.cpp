// Lines read as they come: no editing beyond the terminal's own, no recall.
#include <cstdio>
#include <iostream>

#include "host_platform.h"
#include "line_input.h"

namespace standin {

bool ReadLine(const char* prompt, std::string& line)
{
    if (StandardInputIsTerminal()) {
        std::fputs(prompt, stdout);
        std::fflush(stdout);
    }
    return static_cast<bool>(std::getline(std::cin, line));
}

void Remember(const std::string&) {}

}  // namespace standin
