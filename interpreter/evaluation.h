// How source text is evaluated, and what the evaluated code sees of its
// surroundings: UTF-8 text, every encoding, and the program name "kestrel".
#pragma once

#include <ruby.h>

namespace kestrel {

// Sets the interpreter up for evaluating text, once, before any is evaluated:
// Encoding.default_external is UTF-8 whatever the locale (the game's text is
// UTF-8; the process's locale is the game's and is left alone), every encoding
// and converter can be loaded, and $0 is "kestrel". Returns false when the
// interpreter failed doing so.
bool PrepareEvaluation();

// Evaluates `text` up to its first NUL byte as UTF-8 source (unless a magic
// comment says otherwise) at the top level, named "eval" and starting at line
// 1, and returns its value. It goes through the interpreter's own Kernel#eval
// as it was when the interpreter started, so code that redefines or removes
// eval changes nothing here. Leaves by a non-local exit on any failure: call
// it under protection.
VALUE EvaluateText(const char* text);

}  // namespace kestrel
