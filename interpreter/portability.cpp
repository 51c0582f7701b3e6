#include "interpreter/portability.h"

#include <ruby.h>
#include <ruby/io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#if defined(_WIN32)
#include <process.h>
#else
#include <dlfcn.h>
#include <pthread.h>
#include <unistd.h>
#endif

#if defined(_WIN32)
#include "interpreter/windows_start.h"
#endif

namespace kestrel {
namespace {

#if defined(_WIN32)

// The interpreter's DLL is loaded from the module's folder first
// (windows_loader.cpp). Then Ruby's Windows runtime sets up its own C library
// state; see windows_start.cpp for what that does to the game's process.
bool PrepareRuntime()
{
    if (!LoadInterpreterLibrary())
        return false;
    PrepareWindowsRuntime();
    return true;
}

#else

// Debian's libruby3.1 is found by the system's loader.
bool PrepareRuntime()
{
    return true;
}

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
    if (!PrepareRuntime())
        return false;
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

bool NothingToFlush(VALUE stream)
{
    if (!RB_TYPE_P(stream, T_FILE))
        return false;
    const rb_io_t* io = RFILE(stream)->fptr;
    return io != nullptr && io->wbuf.len == 0 && (io->mode & FMODE_READABLE) == 0 && !RTEST(io->tied_io_for_writing);
}

#if defined(_WIN32)

// Windows has no fork: nothing to prepare or count.
void WatchForks() {}

unsigned long ForkCount()
{
    return 0;
}

void EndProcessNow(int status)
{
    _exit(status);
}

bool RunExtensionLibrary(const char* path, const char* initName)
{
    HMODULE library = LoadLibraryA(path);
    if (library == nullptr)
        return false;
    FARPROC init = GetProcAddress(library, initName);
    if (init == nullptr)
        return false;
    reinterpret_cast<void (*)()>(init)();
    return true;
}

// The Windows interpreter has its encodings linked in.
char* EncodingFolderBesideInterpreter()
{
    return nullptr;
}

#else

namespace {

volatile unsigned long g_forkCount = 0;

void FlushAllOutput()
{
    std::fflush(nullptr);
}

void CountFork()
{
    g_forkCount = g_forkCount + 1;
}

}  // namespace

void WatchForks()
{
    pthread_atfork(FlushAllOutput, nullptr, CountFork);
}

unsigned long ForkCount()
{
    return g_forkCount;
}

void EndProcessNow(int status)
{
    _exit(status);
}

// As the interpreter loads its extensions, but local: nothing else in the game
// should find the interpreter's symbols through these libraries.
bool RunExtensionLibrary(const char* path, const char* initName)
{
    void* library = dlopen(path, RTLD_LAZY | RTLD_LOCAL);
    if (library == nullptr)
        return false;
    void* init = dlsym(library, initName);
    if (init == nullptr)
        return false;
    reinterpret_cast<void (*)()>(init)();
    return true;
}

char* EncodingFolderBesideInterpreter()
{
    Dl_info library;
    if (dladdr(reinterpret_cast<void*>(&ruby_setup), &library) == 0 || library.dli_fname == nullptr)
        return nullptr;
    const char* slash = std::strrchr(library.dli_fname, '/');
    if (slash == nullptr)
        return nullptr;
    static const char kBeside[] = "/ruby/3.1.0/enc/";
    std::size_t folderLength = static_cast<std::size_t>(slash - library.dli_fname);
    char* folder = static_cast<char*>(std::malloc(folderLength + sizeof kBeside));
    if (folder == nullptr)
        return nullptr;
    std::memcpy(folder, library.dli_fname, folderLength);
    std::memcpy(folder + folderLength, kBeside, sizeof kBeside);
    return folder;
}

#endif

}  // namespace kestrel
