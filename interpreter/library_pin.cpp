// How each platform keeps a library loaded whatever its host unloads: the one
// place where this differs.
#include "interpreter/library_pin.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace kestrel {
namespace {

#if defined(_WIN32)

// The pin flag keeps the library loaded until the process ends, whatever
// FreeLibrary calls follow; the handle it gives needs no release.
bool PinThisLibrary()
{
    HMODULE module = nullptr;
    return GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                              reinterpret_cast<LPCSTR>(&PinThisLibrary), &module) != 0;
}

#else

// Opening the already loaded library again by the name it was loaded under,
// with RTLD_NOLOAD so that nothing new is loaded, sets its "no delete" flag:
// dlclose never unmaps it, nor the libraries it needs. The handle is kept
// open on purpose.
bool PinThisLibrary()
{
    Dl_info self;
    if (dladdr(reinterpret_cast<void*>(&PinThisLibrary), &self) == 0 || self.dli_fname == nullptr)
        return false;
    return dlopen(self.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE) != nullptr;
}

#endif

bool g_pinned = false;

}  // namespace

bool PinLibrary()
{
    if (!g_pinned)
        g_pinned = PinThisLibrary();
    return g_pinned;
}

}  // namespace kestrel
