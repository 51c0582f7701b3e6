#include "interpreter/process_settings.h"

#if defined(__linux__)
#include <sys/prctl.h>
#endif

#if !defined(_WIN32)
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

void SaveEnvironment()
{
    g_environment = environ;
}

void RestoreEnvironment()
{
    if (g_environment != nullptr)
        environ = g_environment;
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
