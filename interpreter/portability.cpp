#include "interpreter/portability.h"

#include <ruby.h>

namespace kestrel {
namespace {

#if defined(_WIN32)

// Ruby's Windows runtime sets up its own C library state here; without it,
// the first file operation of the interpreter hangs.
void PrepareRuntime()
{
    int argc = 0;
    char** argv = nullptr;
    ruby_sysinit(&argc, &argv);
}

#else

void PrepareRuntime() {}

#endif

VALUE ClearLoadPath(VALUE)
{
    return rb_ary_clear(rb_gv_get("$LOAD_PATH"));
}

}  // namespace

// ruby_init alone leaves out the part of the core that this release writes in
// Ruby (Time.now, Array#pack, GC.start and more): that part is loaded while the
// interpreter takes its options. It is given an empty program, which is never
// run, and --disable=all, so that neither rubygems nor RUBYOPT comes in. The
// load path the options set up (RUBYLIB included) is emptied again.
bool StartRubyRuntime()
{
    PrepareRuntime();
    if (ruby_setup() != 0)
        return false;
    static char name[] = "kestrel";
    static char disableAll[] = "--disable=all";
    static char program[] = "-e";
    static char empty[] = "";
    static char* arguments[] = {name, disableAll, program, empty, nullptr};
    int status = 0;
    if (!ruby_executable_node(ruby_options(4, arguments), &status))
        return false;
    int state = 0;
    rb_protect(ClearLoadPath, Qnil, &state);
    return state == 0;
}

}  // namespace kestrel
