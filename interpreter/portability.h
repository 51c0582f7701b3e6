// Everything that differs between platforms or interpreter releases, in one place.
// The module's logic calls these names and never tests the platform itself.
#pragma once

namespace kestrel {

// The interpreter installs handlers of its own for the signals that stop a
// process, both when it starts and when it finalizes. The host's handlers are
// saved before either and put back after, so the game can still be stopped.
void SaveHostSignals();
void RestoreHostSignals();

// Starts the interpreter with its whole core loaded and nothing else: no script
// runs, the load path is empty, options from the environment are ignored.
// Returns false when the interpreter could not be started.
bool StartRubyRuntime();

}  // namespace kestrel
