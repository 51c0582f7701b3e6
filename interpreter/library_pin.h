// Keeping the module's own library in memory once a host has opened it.
//
// The interpreter lives in this process for good: it cannot be finalized and
// started again, its signal handlers and threads run code of its library, and
// the module's record of its life is what stops a second start. A host that
// unloads the module at a map change would take all of that away (and, when
// nothing else holds it, the interpreter's library with it). So the first
// opening pins the library: a later unload leaves it where it is, and a reload
// finds the interpreter as it was.
#pragma once

namespace kestrel {

// Pins the library that holds the module for the life of the process. Returns
// true once it is pinned; after that it does nothing.
bool PinLibrary();

}  // namespace kestrel
