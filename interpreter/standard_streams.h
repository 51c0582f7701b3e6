// The process's own standard output and error as the interpreter holds them
// (STDOUT, STDERR), flushed after every evaluation.
#pragma once

namespace kestrel {

// Keeps the interpreter's STDOUT and STDERR objects; once, right after the start.
void KeepStandardStreams();

// Flushes STDOUT and STDERR, and whatever $stdout and $stderr point at now,
// so that nothing written is lost when the game exits without Terminate. A
// failing flush is ignored (Ruby code may have closed or replaced a stream).
void FlushStandardStreams();

}  // namespace kestrel
