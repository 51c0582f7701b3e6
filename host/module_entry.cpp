// The module's two exported entries and the script table they register.
#include <cstdint>

#include "host/host_interface.h"
#include "host/module_state.h"
#include "interpreter/console_output.h"
#include "interpreter/library_pin.h"
#include "interpreter/script_functions.h"

namespace {

struct Member {
    const char* name;
    ScriptFunction function;
};

// Stored in this order; scripts see them as rb.Initialize and so on.
const Member kScriptTable[] = {
    {"Initialize", kestrel::Initialize},
    {"Terminate", kestrel::Terminate},
    {"RunString", kestrel::RunString},
    {"RunFile", kestrel::RunFile},
};

void RegisterScriptTable(ScriptInterface* script)
{
    script->MakeGlobalTable("rb");
    ScriptObject* table = script->FetchGlobal("rb");  // the host keeps ownership
    for (const Member& member : kScriptTable)
        table->SetFunction(member.name, member.function);
}

}  // namespace

extern "C" KESTREL_EXPORT std::int32_t KESTREL_CDECL gmod_open(ScriptEntry* entry)
{
    g_moduleState.registry = entry->Registry();
    void* state = entry->StateHandle();
    g_moduleState.script = g_moduleState.registry->InterfaceFor(state);
    if (g_moduleState.script != nullptr)
        RegisterScriptTable(g_moduleState.script);
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
