// A continuation stays inside the member call that took it.
//
// A continuation restores the machine stack of the moment it was taken, the
// game's frames included. Called from a later member call, whose game frames
// lie at the same depth, it would run the game's dead frames again; the
// interpreter cannot tell two such calls apart. Once Ruby code has loaded
// continuation.so, every continuation alive at the end of a member call is
// marked as belonging to it, and calling one later (call, [], by any route)
// raises a RuntimeError in the calling code instead.
#pragma once

namespace kestrel {

// At the end of each member call, on the game's thread, with the interpreter running.
void SealContinuations();

}  // namespace kestrel
