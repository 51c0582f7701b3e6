// The interpreter's life in this process: started once, usable from the thread
// that started it, and never again once terminated.
#pragma once

namespace kestrel {

// Starts the interpreter the first time it is called in the process and does
// nothing after that, also once the interpreter has been terminated. A start
// that fails is written to the console.
void StartInterpreter();

// Why the interpreter must not be touched now, as the console line says it, or
// null when it may be.
const char* InterpreterRefusal();

// True on the thread that started the interpreter: the game's.
bool OnInterpreterThread();

// Whether there is a running interpreter that Terminate would finalize.
bool InterpreterRunning();

// Finalizes a running interpreter for good; call it only when
// InterpreterRefusal() gives null.
void TerminateInterpreter();

}  // namespace kestrel
