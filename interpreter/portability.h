// Everything that differs between platforms or interpreter releases, in one place.
// The module's logic calls these names and never tests the platform itself.
#pragma once

#include <ruby.h>

namespace kestrel {

// Starts the interpreter with its whole core loaded and nothing else: no script
// runs, the load path is empty, options from the environment are ignored.
// Returns false when the interpreter could not be started.
bool StartRubyRuntime();

// Has every fork of this process flush the C library's output buffers first,
// so that a child never writes out again what the host had buffered, and
// counted in the child.
void WatchForks();

// How many forks made the calling process since WatchForks: 0 in the process
// that called it, one more in each child. Reading it costs no system call
// (an evaluation reads it twice).
unsigned long ForkCount();

// True when flushing `stream` would do nothing: one of the interpreter's own
// IO objects, not open for reading, with no output waiting in its buffer.
// Reads the interpreter's record of the stream, whose layout is this release's;
// false whenever it cannot tell.
bool NothingToFlush(VALUE stream);

// Ends the process at once with `status`: no handler the host registered for
// its own exit runs, and no C library buffer is flushed.
[[noreturn]] void EndProcessNow(int status);

// Loads the interpreter's extension library at `path` and calls its function
// `initName`. False when the library or the function could not be found; the
// library stays loaded for the rest of the process either way.
bool RunExtensionLibrary(const char* path, const char* initName);

// The folder that holds the interpreter's encoding libraries beside its own
// library file (".../ruby/3.1.0/enc/", with its separator), as a new buffer
// the caller frees; null where the encodings are built into the interpreter.
// Used when the interpreter's compiled-in folder does not exist: an
// interpreter unpacked somewhere else than where it was built for.
char* EncodingFolderBesideInterpreter();

}  // namespace kestrel
