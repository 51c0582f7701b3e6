// The console is written only from the game's thread. Text that Ruby code
// running on another native thread (a Ractor, or a Thread running while the
// game's thread waits inside a member call) passes to puts waits here, and the
// game's thread writes it, whole and in the order it came, the next time the
// module runs there: before its own next console write, and at the start and
// end of every member call at the latest.
#pragma once

#include <ruby.h>

#include <cstddef>

namespace kestrel {

// The text that may wait at once. A thread whose text does not fit waits,
// without holding the interpreter's lock and stoppable by Thread#kill or
// Terminate, until the game's thread has written what is there. A text longer
// than the whole limit waits until nothing else does and is then kept alone.
// While the game's thread is inside a member call it may be waiting for that
// very thread (Ractor#take, Thread#join) and writes nothing until it returns:
// a thread that finds no room then waits at most two seconds, and its text is
// dropped, counted in an error line.
constexpr std::size_t kConsoleQueueLimit = 1024 * 1024;

// On a thread other than the game's: keeps a copy of the String's bytes, or
// waits for room first. May raise (the thread was killed while it waited).
void QueueConsoleText(VALUE text);

// The game's thread goes into or comes out of a member call.
void ConsoleQueueGameInside(bool inside);

// On the game's thread: writes everything that waits, oldest first. Anywhere
// else it does nothing.
void DrainConsoleQueue();

}  // namespace kestrel
