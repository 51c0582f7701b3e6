// The module's two exported entries.
#include <cstdint>

#include "contract/host_interface.h"
#include "interpreter/console_output.h"
#include "interpreter/library_pin.h"
#include "interpreter/lifecycle.h"
#include "module/module_state.h"
#include "module/script_table.h"

extern "C" KESTREL_EXPORT std::int32_t KESTREL_CDECL gmod_open(ScriptEntry* entry)
{
    g_moduleState.registry = entry->Registry();
    void* state = entry->StateHandle();
    g_moduleState.script = g_moduleState.registry->InterfaceFor(state);
    if (g_moduleState.script != nullptr)
        kestrel::RegisterScriptTable(g_moduleState.script);
    Msg("kestrel locked & loaded!\n");
    if (!kestrel::PinLibrary())
        kestrel::WriteErrorLine("the module could not be kept loaded; unloading it would break the interpreter");
    kestrel::StartInterpreter();
    return 0;
}

// The state being closed goes away with its interface: a member called later
// (by a finalizer while the state closes, or from a state opened before the
// last) must find none rather than call into freed host objects. The module
// itself, pinned at opening, and the interpreter stay as they are.
extern "C" KESTREL_EXPORT std::int32_t KESTREL_CDECL gmod_close()
{
    g_moduleState.registry = nullptr;
    g_moduleState.script = nullptr;
    return 0;
}
