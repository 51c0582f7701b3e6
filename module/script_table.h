// The script table `rb`: its members, and the one way a member fails.
#pragma once

#include <cstdint>

#include "contract/host_interface.h"
#include "interpreter/protected_run.h"

namespace kestrel {

// The members of rb, in the order in which they are stored.
enum class Member { Initialize, Terminate, RunString, RunFile };

// Makes the global table rb in the script state and stores every member in it.
void RegisterScriptTable(ScriptInterface* script);

// Every refusal and failure of a member ends here: writes the reason's console
// line, then hands the calling script the member's notice, "<Member> failed,
// check console for details.\n", and returns `count` for the member to return.
// The host may unwind out of the notice instead of returning: call it last,
// with nothing left to release and no protected call of the interpreter running.
std::int32_t Fail(Member member, const FailureReason& reason, std::int32_t count = 0);

}  // namespace kestrel
