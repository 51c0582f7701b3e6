// The interpreter ends the whole process when its start runs out of memory
// ("[FATAL] failed to allocate memory", or "[BUG]" and an abort), and starts
// without its timer's descriptors when there are none left ("scheduling
// broken": later Thread#join can hang for good). What can be checked
// beforehand is checked here, so that such a start is refused and reported
// instead.
#pragma once

namespace kestrel {

// True when the process can still give the interpreter's start what it takes:
// the address space of its heaps (the transient heap alone reserves 32 MiB),
// two descriptors for its wake-up events, and a timer. Each is taken and
// given back at once.
bool InterpreterCanStart();

}  // namespace kestrel
