// The host's signal dispositions, kept while the interpreter lives in its
// process.
//
// Starting the interpreter installs its handlers for most signals; finalizing
// it leaves some behind. The host's disposition of every signal is saved
// before the first start and put back after the start and after Terminate.
// While the interpreter runs it keeps three, each behind a relay of the
// module's own that leaves the host's use of the signal as it was:
//   SIGCHLD   its waits for child processes (Process.wait, system, backticks)
//             are woken by it: the interpreter's handler is called during
//             member calls (a child that ended in between is passed on at the
//             next call); the host's disposition runs as well, always. The
//             relay restarts interrupted system calls (SA_RESTART).
//   SIGPIPE   its writes to a closed pipe must fail with EPIPE: ignored on the
//             interpreter's threads while they run Ruby code, the host's
//             disposition everywhere else and for a SIGPIPE sent by another
//             process. The relay restarts interrupted system calls.
//   SIGVTALRM it wakes its own threads out of blocking calls with it (sent to
//             one thread, or by its timer): those are dropped, since waking is
//             their whole point; any other (kill, setitimer) gets the host's
//             disposition. No SA_RESTART: the interrupting is what the
//             interpreter needs, and the signal reaches only its threads.
//   SIGSEGV   it turns an overflow of the machine stack into SystemStackError:
//             faults on its threads while they run Ruby code go to it, all
//             others to the host's disposition. It runs on the interpreter's
//             alternate signal stack, which replaces the game thread's own
//             while the interpreter lives.
// Ruby code may trap CHLD and PIPE: the interpreter's new handler goes behind
// the relay, which stays.
// After Terminate every signal has the host's disposition again, and the game
// thread its own alternate signal stack.
#pragma once

#include <cstddef>

namespace kestrel {

// Saves the disposition of every signal, the first time only.
void SaveHostSignals();

// After the start: the host's dispositions back, except the relays above.
void SettleSignalsAfterStart();

// After Terminate, or a start that failed: the host's disposition for every signal.
void GiveBackAllSignals();

// The game's thread enters or leaves the interpreter (a member call).
void SignalsEnterInterpreter();
void SignalsLeaveInterpreter();

// The number of the relayed signal with this name ("CHLD", without "SIG"),
// or 0.
int RelayedSignalNamed(const char* name, std::size_t length);

// Around the interpreter's trap of a signal. With the relay in its place the
// interpreter would take it for a handler it does not know: trap would answer
// nil for the previous handler, and putting that nil back would make the
// signal run a command of nil, raising NoMethodError in whatever Ruby code runs
// when the next one comes. So its own handler is put back for the change, and
// afterwards the relay goes in front of the new one. Any other signal, or
// none alive, is left alone.
void BeginTrapChange(int signal);
void EndTrapChange(int signal);

}  // namespace kestrel
