// What the interpreter reports while Terminate takes it down (an at_exit
// block or a finalizer that raises) goes to the console, not to the process's
// standard error.
#pragma once

namespace kestrel {

// Points $stderr at a writer that turns each line of the interpreter's report
// into a "kestrel error: " console line. Call it on the game's thread just
// before the interpreter is cleaned up. What at_exit blocks write to $stderr
// themselves (write, puts, print, printf, <<) becomes such lines as well.
void RouteTerminateErrors();

// Writes what is left of an unfinished line, after the cleanup.
void FinishTerminateErrors();

}  // namespace kestrel
