#include "module/script_table.h"

#include <cstdio>

#include "interpreter/console_output.h"
#include "module/members.h"
#include "module/module_state.h"

namespace kestrel {
namespace {

struct Entry {
    const char* name;
    ScriptFunction function;
};

// In the order of Member, which is the order in which they are stored; scripts
// see them as rb.Initialize and so on.
const Entry kScriptTable[] = {
    {"Initialize", Initialize},
    {"Terminate", Terminate},
    {"RunString", RunString},
    {"RunFile", RunFile},
};

}  // namespace

void RegisterScriptTable(ScriptInterface* script)
{
    script->MakeGlobalTable("rb");
    ScriptObject* table = script->FetchGlobal("rb");  // the host keeps ownership
    for (const Entry& entry : kScriptTable)
        table->SetFunction(entry.name, entry.function);
}

std::int32_t Fail(Member member, const FailureReason& reason, std::int32_t count)
{
    WriteErrorLine(reason.lead, reason.detail, reason.detailLength, reason.trail);
    if (ScriptInterface* script = g_moduleState.script) {
        char notice[64];
        std::snprintf(notice, sizeof notice, "%s failed, check console for details.\n",
                      kScriptTable[static_cast<int>(member)].name);
        script->ReportError(notice);
    }
    return count;
}

}  // namespace kestrel
