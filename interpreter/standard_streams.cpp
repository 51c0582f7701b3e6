#include "interpreter/standard_streams.h"

#include <ruby.h>

#include "interpreter/portability.h"
#include "interpreter/protected_run.h"

namespace kestrel {
namespace {

// Taken at the start, before Ruby code could reassign the constants; kept
// from the collector.
VALUE g_standardOutput = Qnil;
VALUE g_standardError = Qnil;

VALUE FlushStream(VALUE stream)
{
    return rb_io_flush(stream);
}

// Called after every evaluation: a stream with nothing waiting costs no
// protected call.
void Flush(VALUE stream)
{
    if (NIL_P(stream) || NothingToFlush(stream))
        return;
    ProtectedTry(FlushStream, stream);
}

}  // namespace

void KeepStandardStreams()
{
    g_standardOutput = rb_stdout;
    g_standardError = rb_stderr;
    rb_gc_register_address(&g_standardOutput);
    rb_gc_register_address(&g_standardError);
}

void FlushStandardStreams()
{
    Flush(g_standardOutput);
    Flush(g_standardError);
    if (rb_stdout != g_standardOutput)
        Flush(rb_stdout);
    if (rb_stderr != g_standardError)
        Flush(rb_stderr);
}

}  // namespace kestrel
