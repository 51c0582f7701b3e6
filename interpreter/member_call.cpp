#include "interpreter/member_call.h"

#include "interpreter/host_signals.h"

namespace kestrel {

void BeginMemberCall()
{
    SignalsEnterInterpreter();
}

void EndMemberCall()
{
    SignalsLeaveInterpreter();
}

}  // namespace kestrel
