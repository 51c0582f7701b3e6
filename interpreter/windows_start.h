// The interpreter's Windows start-up, and what it changes in the game's process.
#pragma once

namespace kestrel {

// Loads the interpreter's DLL from the folder the module was loaded from and
// binds the module's calls into it. False, with a console line saying why,
// when it cannot: nothing of the interpreter may be called then.
bool LoadInterpreterLibrary();

// Runs ruby_sysinit, which Ruby's Windows runtime needs before anything else,
// and puts back the process settings it changes that belong to the game.
void PrepareWindowsRuntime();

}  // namespace kestrel
