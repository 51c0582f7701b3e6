// Signal.trap, Kernel#trap and Kernel.trap, in front of the interpreter's own,
// so that a trap of a relayed signal changes the handler behind the relay
// rather than the relay (see host_signals.h).
#pragma once

namespace kestrel {

// Called once, when the interpreter has started. False if it could not.
bool GuardSignalTraps();

}  // namespace kestrel
