// The interpreter's Windows start-up, and what it changes in the game's process.
#pragma once

namespace kestrel {

// Runs ruby_sysinit, which Ruby's Windows runtime needs before anything else,
// and puts back the process settings it changes that belong to the game.
void PrepareWindowsRuntime();

}  // namespace kestrel
