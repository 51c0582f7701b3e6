// Children that Ruby code forks (fork without a block, IO.popen("-")) run on
// in the evaluated text. They must end where that evaluation ends, as a
// standalone Ruby child would, and never return into the game.
#pragma once

namespace kestrel {

// Has every fork of the process flush the host's C library output buffers
// first, so that no child writes the game's buffered output a second time.
// Called once, when the interpreter has started.
void WatchForForks();

// Which process an evaluation starts in, told apart from the children it may
// fork without a system call; given back to EndIfForkedChild.
long EvaluationProcess();

// Called right after an evaluation came back, with the state it came back in
// (0, or the interpreter's state of its non-local exit; $! holds the
// exception). In a child forked during the evaluation this ends the process
// as the interpreter ends one: at_exit blocks run, an uncaught exception is
// printed on standard error and gives status 1, exit gives its own status,
// and reaching the end gives 0. In the process the evaluation started in it
// does nothing (a process the game itself forked evaluates as any other).
void EndIfForkedChild(long evaluationProcess, int state);

}  // namespace kestrel
