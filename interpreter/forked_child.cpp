#include "interpreter/forked_child.h"

#include <ruby.h>

#include "interpreter/portability.h"

namespace kestrel {

void WatchForForks()
{
    WatchForks();
}

long EvaluationProcess()
{
    return static_cast<long>(ForkCount());
}

// ruby_cleanup runs the at_exit blocks and finalizers, flushes Ruby's own
// streams and turns the pending exception into the status, printing it when
// it is not a SystemExit (a signal ends the process as that signal). The
// process then ends without going back through the game: neither its exit
// handlers nor its buffers belong to this child.
void EndIfForkedChild(long evaluationProcess, int state)
{
    if (static_cast<long>(ForkCount()) == evaluationProcess)
        return;
    EndProcessNow(ruby_cleanup(state));
}

}  // namespace kestrel
