// Runs interpreter work under the interpreter's protection, so that no
// exception or other non-local exit of the interpreter leaves through the
// module, and says what went wrong when it did.
#pragma once

#include <ruby.h>

#include <cstddef>

namespace kestrel {

// Why a call failed, as its console line says it:
// "kestrel error: " lead, then detail (detailLength bytes or up to a NUL), then trail.
struct FailureReason {
    const char* lead;
    const char* detail;
    std::size_t detailLength;
    const char* trail;
    VALUE text;  // the String that detail points into, if any: a reason lives on
                 // the caller's stack, where the collector sees it and keeps the String
};

// A reason given by the module itself, in so many words.
FailureReason Reason(const char* words);

using ProtectedBody = VALUE (*)(VALUE argument);

// Runs `body(argument)` under protection, then flushes Ruby's standard streams
// and lets go of the exception, if any. Returns true when the body came back
// normally; otherwise fills `*failure` with the exception's String form and
// returns false. Nothing is reported here: the report may unwind, which must
// happen after the interpreter's protected call has returned.
bool ProtectedRun(ProtectedBody body, VALUE argument, FailureReason* failure);

// Evaluates source text (EvaluateText) with ProtectedRun.
bool ProtectedEvaluate(const char* source, FailureReason* failure);

// For the module's own work, whose failure it handles by carrying on: runs
// `body(argument)` under protection and lets go of the exception, if any.
// True when the body came back normally.
bool ProtectedTry(ProtectedBody body, VALUE argument);

}  // namespace kestrel
