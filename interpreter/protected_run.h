// Runs interpreter work under the interpreter's protection and reports a
// failure on the console and to the calling script.
#pragma once

#include <ruby.h>

#include <cstdint>

namespace kestrel {

// The argument of every protected body.
struct Evaluation {
    const char* source;   // the text to evaluate, or the path of the file that holds it
    const char* refusal;  // set by a body that came back without evaluating anything:
                          // the words that the console line puts before the quoted source
};

using ProtectedBody = VALUE (*)(VALUE evaluation);

// Runs `body` with `evaluation` under protection. Returns 1 when the body came
// back normally and 0 when it left by an exception or another non-local exit.
// Every failure is reported here, after the protected call has returned: the
// host's ReportError may unwind, and must never jump over the interpreter's frames.
std::int32_t ProtectedRun(ProtectedBody body, Evaluation* evaluation, const char* notice);

// What RunString and RunFile share: reads argument 1 of the script call as
// text, after asking the host to check that it is, and runs `body` on it with
// ProtectedRun. Without a text to read (the host gave no interface, or its
// check let a call without text go on) the failure is written and reported,
// and the count is 0.
std::int32_t RunSource(ProtectedBody body, const char* notice);

// Every member works through the interface kept from the last opening. Without
// one (the host gave none, or the state was closed since) a member must touch
// nothing of the host's: this writes why and returns true, and the member
// returns 0 with no notice, since there is nobody to hand it to.
bool RefusedWithoutInterface();

// Hands the failure notice to the calling script, if the host gave an interface.
void ReportToScript(const char* notice);

}  // namespace kestrel
