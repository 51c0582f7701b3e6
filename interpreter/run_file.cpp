// rb.RunFile: evaluates the Ruby source held in a file.
#include <ruby.h>

#include "interpreter/evaluation.h"
#include "interpreter/protected_run.h"
#include "interpreter/script_functions.h"
#include "interpreter/source_file.h"

namespace kestrel {
namespace {

const char kNotice[] = "RunFile failed, check console for details.\n";

VALUE EvalBuffer(VALUE buffer)
{
    EvaluateText(reinterpret_cast<const char*>(buffer));
    return Qnil;
}

VALUE ReleaseBuffer(VALUE buffer)
{
    ReleaseSourceBuffer(reinterpret_cast<char*>(buffer));
    return Qnil;
}

// The file is evaluated as text, so the interpreter knows it under its name for
// evaluated strings, not under the path. The buffer is released also when the
// source raises. A file that cannot be run is not reported from in here: the
// report may unwind, so it waits until protection has ended.
VALUE EvalFileBody(VALUE argument)
{
    Evaluation* evaluation = reinterpret_cast<Evaluation*>(argument);
    char* buffer = nullptr;
    switch (ReadSourceFile(evaluation->source, &buffer)) {
    case SourceFile::CannotOpen:
        evaluation->refusal = "unable to load file '";
        break;
    case SourceFile::CannotRead:
        evaluation->refusal = "unable to read from file '";
        break;
    case SourceFile::Read:
        rb_ensure(EvalBuffer, reinterpret_cast<VALUE>(buffer), ReleaseBuffer,
                  reinterpret_cast<VALUE>(buffer));
        break;
    }
    return Qnil;
}

}  // namespace

std::int32_t KESTREL_CDECL RunFile(void*)
{
    return RunSource(EvalFileBody, kNotice);
}

}  // namespace kestrel
