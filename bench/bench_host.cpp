#include "bench_host.h"

#include "host_platform.h"

namespace {

using standin::AsOperation;

void* HOST_MEMBER_CALL StateHandle(LeanObject* self)
{
    return &self->host->stateMarker;
}

LeanObject* HOST_MEMBER_CALL Registry(LeanObject* self)
{
    return &self->host->registry;
}

LeanObject* HOST_MEMBER_CALL InterfaceFor(LeanObject* self, void*)
{
    return &self->host->scriptInterface;
}

LeanObject* HOST_MEMBER_CALL FetchGlobal(LeanObject* self, const char*)
{
    return &self->host->table;
}

const char* HOST_MEMBER_CALL ArgText(LeanObject* self, std::int32_t)
{
    return self->host->argument;
}

void HOST_MEMBER_CALL MakeGlobalTable(LeanObject*, const char*) {}

// Every argument the benchmarks give is text: the check has nothing to refuse.
void HOST_MEMBER_CALL RequireArgType(LeanObject*, std::int32_t, std::int32_t) {}

void HOST_MEMBER_CALL ReportError(LeanObject* self, const char*)
{
    ++self->host->notices;
}

void HOST_MEMBER_CALL SetFunction(LeanObject* self, const char* name, standin::ModuleFunction function)
{
    self->host->members[name] = function;
}

const standin::OperationTable<standin::entry::kSize> kEntry = {
    {standin::entry::kStateHandle, AsOperation(StateHandle)},
    {standin::entry::kRegistry, AsOperation(Registry)},
};
const standin::OperationTable<standin::registry::kSize> kRegistry = {
    {standin::registry::kInterfaceFor, AsOperation(InterfaceFor)},
};
const standin::OperationTable<standin::script_interface::kSize> kInterface = {
    {standin::script_interface::kFetchGlobal, AsOperation(FetchGlobal)},
    {standin::script_interface::kArgText, AsOperation(ArgText)},
    {standin::script_interface::kMakeGlobalTable, AsOperation(MakeGlobalTable)},
    {standin::script_interface::kRequireArgType, AsOperation(RequireArgType)},
    {standin::script_interface::kReportError, AsOperation(ReportError)},
};
const standin::OperationTable<standin::object::kSize> kTable = {
    {standin::object::kSetFunction, AsOperation(SetFunction)},
};

}  // namespace

BenchHost::BenchHost()
    : entry{{kEntry.data(), "ScriptEntry"}, this},
      registry{{kRegistry.data(), "StateRegistry"}, this},
      scriptInterface{{kInterface.data(), "ScriptInterface"}, this},
      table{{kTable.data(), "ScriptObject"}, this}
{
}

bool BenchHost::Open(const char* modulePath, std::string& error)
{
    void* module = standin::LoadModule(modulePath, error);
    if (module == nullptr)
        return false;
    auto open = reinterpret_cast<standin::OpenEntry>(standin::FindEntry(module, "gmod_open"));
    if (open == nullptr) {
        error = "no gmod_open in " + std::string(modulePath);
        return false;
    }
    open(&entry);
    for (const char* name : {"Initialize", "Terminate", "RunString", "RunFile"}) {
        if (members.count(name) == 0) {
            error = "the module stored no member " + std::string(name);
            return false;
        }
    }
    return true;
}

standin::ModuleFunction BenchHost::Member(const std::string& name) const
{
    return members.at(name);
}

void CountConsole(const char*, std::size_t length, void* count)
{
    ConsoleCount* console = static_cast<ConsoleCount*>(count);
    console->bytes += length;
    ++console->writes;
}
