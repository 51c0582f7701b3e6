#include "interpreter/forked_child.h"

#include <ruby.h>

#include "interpreter/portability.h"

namespace kestrel {
namespace {

long g_interpreterProcess = 0;

}  // namespace

void WatchForForks()
{
    g_interpreterProcess = CurrentProcessId();
    FlushHostOutputBeforeForks();
}

// ruby_cleanup runs the at_exit blocks and finalizers, flushes Ruby's own
// streams and turns the pending exception into the status, printing it when
// it is not a SystemExit. The process then ends without going back through
// the game: neither its exit handlers nor its buffers belong to this child.
void EndIfForkedChild(int state)
{
    if (g_interpreterProcess == 0 || CurrentProcessId() == g_interpreterProcess)
        return;
    EndProcessNow(ruby_cleanup(state));
}

}  // namespace kestrel
