// rb.RunString: evaluates Ruby source text.
#include <ruby.h>

#include "interpreter/evaluation.h"
#include "interpreter/protected_run.h"
#include "interpreter/script_functions.h"

namespace kestrel {
namespace {

const char kNotice[] = "RunString failed, check console for details.\n";

// The value of the evaluated code is discarded. Whatever goes wrong leaves by
// the interpreter's non-local exit, which ProtectedRun catches.
VALUE EvalTextBody(VALUE argument)
{
    EvaluateText(reinterpret_cast<Evaluation*>(argument)->source);
    return Qnil;
}

}  // namespace

std::int32_t KESTREL_CDECL RunString(void*)
{
    return RunSource(EvalTextBody, kNotice);
}

}  // namespace kestrel
