// Ruby's puts, redirected to the engine console.
#pragma once

namespace kestrel {

// Defines the native global function newPuts and a top-level puts that calls it.
// Raises inside the interpreter when it cannot (a frozen Kernel, say): call it
// under protection.
void DefineConsoleBridge();

}  // namespace kestrel
