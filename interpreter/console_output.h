// Writes to the engine console. The console formats each message into a
// bounded buffer and cuts what does not fit, so text of any length goes out in
// pieces, each handed over as an argument and never as the format.
#pragma once

#include <cstddef>

namespace kestrel {

// Writes `text` up to `length` bytes or its first NUL byte, whichever ends it first.
void WriteConsoleText(const char* text, std::size_t length);

// Writes one error line: "kestrel error: " lead detail trail "\n", the detail
// taken as WriteConsoleText takes it.
void WriteErrorLine(const char* lead, const char* detail = "", std::size_t detailLength = 0,
                    const char* trail = "");

}  // namespace kestrel
