// Default options of the sanitizers, built into every executable of the
// sanitizer build. The runtime looks them up by name, so they are exported.

#define EXPORTED __attribute__((visibility("default")))

extern "C" {

// The interpreter finds its live objects by scanning the machine stack; with
// fake stacks it would miss those held by instrumented frames. The quarantine
// of freed memory is kept small, or it would look like growth to the tests
// that bound the process's memory.
EXPORTED const char* __asan_default_options()
{
    return "detect_stack_use_after_return=0:detect_leaks=1:abort_on_error=1:quarantine_size_mb=8";
}

// The interpreter is not finalized when a game exits without rb.Terminate, and
// even ruby_finalize keeps much of what it allocated: what its own library
// holds at exit is not a leak of ours. Only allocations made inside it are
// suppressed, by module name.
//
// The check does not read threads' thread-local storage (use_tls=0): once the
// module has pinned its library, a Ruby thread still alive at exit made the
// check's thread tracer crash ("Tracer caught signal 11") on a bogus range it
// had recorded for that thread's dynamic TLS, while valgrind finds nothing
// wrong. Not reading it can only add reports: the one it adds is the dynamic
// loader's own scope list (add_to_global_resize), suppressed by name.
EXPORTED const char* __lsan_default_suppressions()
{
    return "leak:libruby-3.1.so\nleak:add_to_global_resize\n";
}

// What was suppressed is not reported either: the report would end up on the
// game's standard error, which tests compare.
EXPORTED const char* __lsan_default_options()
{
    return "use_tls=0:print_suppressions=0";
}

EXPORTED const char* __ubsan_default_options()
{
    return "print_stacktrace=1:halt_on_error=1";
}

}
