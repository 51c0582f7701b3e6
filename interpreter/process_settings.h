// Settings of the whole process that the interpreter's start changes for
// reasons of its own, put back as the game had them.
//
// - Transparent huge pages: the start turns them off for the process and every
//   child it starts (prctl PR_SET_THP_DISABLE), to keep memory shared with
//   forked children. The game did not ask for that: its setting comes back.
// - The environment array: the start replaces `environ` by a copy (same
//   variables, new strings) so that $0 may later be written over the old
//   block. The game's own array comes back; the interpreter reads and writes
//   the environment through `environ`, so ENV works on the game's array.
// - The start itself sees the environment without the variables whose names
//   begin with RUBY (RUBYOPT, RUBYLIB, RUBY_GC_HEAP_INIT_SLOTS...): kestrel's
//   start takes no options from the environment, and some of them end the
//   process. Ruby code still sees them in ENV. (On Linux; on Windows the
//   interpreter reads the environment through the system and they apply.)
#pragma once

namespace kestrel {

// Just before the start.
void SaveProcessSettings();

// Just after it, whether it succeeded or not.
void RestoreProcessSettings();

}  // namespace kestrel
