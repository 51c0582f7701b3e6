// The module's two exported entries.
#include <cstdint>

#include "contract/host_interface.h"
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
    kestrel::StartInterpreter();
    return 0;
}

extern "C" KESTREL_EXPORT std::int32_t KESTREL_CDECL gmod_close()
{
    return 0;
}
