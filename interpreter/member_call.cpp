#include "interpreter/member_call.h"

#include "interpreter/console_queue.h"
#include "interpreter/host_signals.h"

namespace kestrel {

void BeginMemberCall()
{
    SignalsEnterInterpreter();
    ConsoleQueueGameInside(true);
    DrainConsoleQueue();
}

void EndMemberCall()
{
    DrainConsoleQueue();
    ConsoleQueueGameInside(false);
    SignalsLeaveInterpreter();
}

}  // namespace kestrel
