// Everything that differs between platforms or interpreter releases, in one place.
// The module's logic calls these names and never tests the platform itself.
#pragma once

namespace kestrel {

// Starts the interpreter with its whole core loaded and nothing else: no script
// runs, the load path is empty, options from the environment are ignored.
// Returns false when the interpreter could not be started.
bool StartRubyRuntime();

// Has every fork of this process flush the C library's output buffers first,
// so that a child never writes out again what the host had buffered.
void FlushHostOutputBeforeForks();

// The operating system's id of the calling process.
long CurrentProcessId();

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
