#include "interpreter/member_call.h"

#include "interpreter/console_queue.h"
#include "interpreter/continuation_guard.h"
#include "interpreter/host_signals.h"
#include "interpreter/lifecycle.h"

namespace kestrel {

void BeginMemberCall()
{
    SignalsEnterInterpreter();
    ConsoleQueueGameInside(true);
    DrainConsoleQueue();
}

void EndMemberCall()
{
    if (InterpreterRefusal() == nullptr)
        SealContinuations();
    DrainConsoleQueue();
    ConsoleQueueGameInside(false);
    SignalsLeaveInterpreter();
}

}  // namespace kestrel
