#include "interpreter/process_settings.h"

#if defined(__linux__)
#include <sys/prctl.h>
#endif

#if !defined(_WIN32)
#include <cstdlib>
#include <cstring>

extern char** environ;
#endif

namespace kestrel {
namespace {

#if defined(__linux__) && defined(PR_GET_THP_DISABLE)
int g_hugePagesDisabled = -1;  // as prctl gave it, or -1 when it could not

void SaveHugePages()
{
    g_hugePagesDisabled = prctl(PR_GET_THP_DISABLE, 0, 0, 0, 0);
}

void RestoreHugePages()
{
    if (g_hugePagesDisabled >= 0)
        prctl(PR_SET_THP_DISABLE, g_hugePagesDisabled, 0, 0, 0);
}
#else
void SaveHugePages() {}
void RestoreHugePages() {}
#endif

#if !defined(_WIN32)
char** g_environment = nullptr;
char** g_startEnvironment = nullptr;

// The interpreter's start reads RUBYOPT, RUBYLIB and the RUBY_ tuning
// variables (heap slots, stack sizes...), some of which end the process at
// the start (RUBY_GC_HEAP_INIT_SLOTS=1000 is a [BUG] and an abort in 3.1, a
// huge RUBY_THREAD_VM_STACK_SIZE a crash). The start sees the environment
// without them; the same strings otherwise.
bool ReadByTheStart(const char* variable)
{
    return std::strncmp(variable, "RUBY", 4) == 0;
}

void SaveEnvironment()
{
    g_environment = environ;
    std::size_t count = 0;
    while (environ != nullptr && environ[count] != nullptr)
        ++count;
    g_startEnvironment = static_cast<char**>(std::calloc(count + 1, sizeof(char*)));
    if (g_startEnvironment == nullptr)
        return;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (!ReadByTheStart(environ[i]))
            g_startEnvironment[kept++] = environ[i];
    }
    environ = g_startEnvironment;
}

void RestoreEnvironment()
{
    if (g_environment != nullptr)
        environ = g_environment;
    std::free(g_startEnvironment);
    g_startEnvironment = nullptr;
}
#else
void SaveEnvironment() {}
void RestoreEnvironment() {}
#endif

}  // namespace

void SaveProcessSettings()
{
    SaveHugePages();
    SaveEnvironment();
}

void RestoreProcessSettings()
{
    RestoreHugePages();
    RestoreEnvironment();
}

}  // namespace kestrel
