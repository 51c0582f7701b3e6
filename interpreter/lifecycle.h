// The interpreter's life in this process: started once, usable from the thread
// that started it, and never again once terminated.
#pragma once

namespace kestrel {

// Why the interpreter must not be touched now, as the console line says it, or
// null when it may be.
const char* InterpreterRefusal();

// True on the thread that started the interpreter: the game's.
bool OnInterpreterThread();

}  // namespace kestrel
