#include "interpreter/evaluation.h"

#include <ruby/encoding.h>

#include <cstring>

#include "interpreter/encoding_libraries.h"
#include "interpreter/protected_run.h"

namespace kestrel {
namespace {

// Kernel#eval bound to the top-level object, taken before any script ran.
VALUE g_eval = Qnil;
VALUE g_sourceName = Qnil;

VALUE PrepareBody(VALUE)
{
    rb_enc_set_default_external(rb_enc_from_encoding(rb_utf8_encoding()));
    RegisterEncodingLibraries();
    ruby_script("kestrel");
    VALUE main = rb_eval_string("self");
    g_eval = rb_obj_method(main, ID2SYM(rb_intern("eval")));
    g_sourceName = rb_obj_freeze(rb_str_new_cstr("eval"));
    return Qnil;
}

}  // namespace

bool PrepareEvaluation()
{
    rb_global_variable(&g_eval);
    rb_global_variable(&g_sourceName);
    return ProtectedTry(PrepareBody, Qnil);
}

VALUE EvaluateText(const char* text)
{
    VALUE arguments[] = {rb_utf8_str_new(text, static_cast<long>(std::strlen(text))), Qnil,
                         g_sourceName, INT2FIX(1)};
    return rb_method_call(4, arguments, g_eval);
}

}  // namespace kestrel
