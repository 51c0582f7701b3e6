// What the module does on the game's thread each time a member call goes into
// the interpreter and comes back out of it.
#pragma once

namespace kestrel {

// Before the interpreter runs anything for a member call.
void BeginMemberCall();

// After it has finished, before the member returns to the host.
void EndMemberCall();

}  // namespace kestrel
