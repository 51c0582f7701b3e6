#include "recording_host.h"

#include <gtest/gtest.h>
#include <ruby.h>

#include "console.h"
#include "host_platform.h"

namespace {

using standin::AsOperation;

RecordingHost* Host(RecordedObject* self)
{
    return self->host;
}

void Record(RecordedObject* self, const std::string& call)
{
    Host(self)->calls.push_back(std::string(self->header.kind) + call);
}

void* HOST_MEMBER_CALL StateHandle(RecordedObject* self)
{
    Record(self, "@4 StateHandle()");
    return &Host(self)->stateMarker;
}

RecordedObject* HOST_MEMBER_CALL Registry(RecordedObject* self)
{
    Record(self, "@59 Registry()");
    return &Host(self)->registry;
}

RecordedObject* HOST_MEMBER_CALL InterfaceFor(RecordedObject* self, void* handle)
{
    bool known = handle == &Host(self)->stateMarker;
    Record(self, std::string("@0 InterfaceFor(") + (known ? "state" : "unknown handle") + ")");
    return known && Host(self)->giveInterface ? &Host(self)->scriptInterface : nullptr;
}

RecordedObject* HOST_MEMBER_CALL FetchGlobal(RecordedObject* self, const char* name)
{
    Record(self, std::string("@6 FetchGlobal(") + name + ")");
    return &Host(self)->object;
}

const char* HOST_MEMBER_CALL ArgText(RecordedObject* self, std::int32_t position)
{
    Record(self, "@9 ArgText(" + std::to_string(position) + ")");
    return position == 1 ? Host(self)->argument : nullptr;
}

void HOST_MEMBER_CALL MakeGlobalTable(RecordedObject* self, const char* name)
{
    Record(self, std::string("@46 MakeGlobalTable(") + name + ")");
}

void HOST_MEMBER_CALL RequireArgType(RecordedObject* self, std::int32_t position, std::int32_t type)
{
    Record(self, "@52 RequireArgType(" + std::to_string(position) + ", " + std::to_string(type) + ")");
}

void HOST_MEMBER_CALL ReportError(RecordedObject* self, const char* message)
{
    Record(self, std::string("@70 ReportError(") + message + ")");
    Host(self)->notices.push_back(message);
}

void HOST_MEMBER_CALL SetFunction(RecordedObject* self, const char* name, standin::ModuleFunction function)
{
    Record(self, std::string("@15 SetFunction(") + name + ")");
    Host(self)->members.push_back(name);
    Host(self)->functions[name] = function;
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
const standin::OperationTable<standin::object::kSize> kObject = {
    {standin::object::kSetFunction, AsOperation(SetFunction)},
};

void RecordConsole(const char* text, std::size_t length, void* context)
{
    auto* host = static_cast<RecordingHost*>(context);
    if (std::this_thread::get_id() != host->ownThread)
        ++host->consoleWritesFromOtherThreads;
    if (host->console.empty())
        host->interpreterRanAtFirstWrite = ruby_native_thread_p() != 0;
    host->calls.push_back("Msg(" + std::string(text, length) + ")");
    host->console.append(text, length);
    if (length > host->longestConsoleWrite)
        host->longestConsoleWrite = length;
}

void* Module()
{
    static void* module = [] {
        std::string error;
        void* loaded = standin::LoadModule(KESTREL_MODULE_PATH, error);
        if (loaded == nullptr)
            ADD_FAILURE() << "cannot load " << KESTREL_MODULE_PATH << ": " << error;
        return loaded;
    }();
    return module;
}

}  // namespace

RecordingHost::RecordingHost(bool withInterface)
    : giveInterface(withInterface),
      entry{{kEntry.data(), "ScriptEntry"}, this},
      registry{{kRegistry.data(), "StateRegistry"}, this},
      scriptInterface{{kInterface.data(), "ScriptInterface"}, this},
      object{{kObject.data(), "ScriptObject"}, this}
{
    ConsoleSetSink(RecordConsole, this);
}

RecordingHost::~RecordingHost()
{
    ConsoleSetSink(nullptr, nullptr);
}

std::int32_t RecordingHost::Open()
{
    ConsoleSetSink(RecordConsole, this);
    return ModuleOpen()(&entry);
}

std::int32_t RecordingHost::Close()
{
    return ModuleClose()(&entry);
}

std::int32_t RecordingHost::Call(const std::string& member)
{
    ConsoleSetSink(RecordConsole, this);
    auto function = functions.find(member);
    if (function == functions.end()) {
        ADD_FAILURE() << "the module stored no member " << member;
        return -1;
    }
    return function->second(&stateMarker);
}

standin::OpenEntry ModuleOpen()
{
    return reinterpret_cast<standin::OpenEntry>(standin::FindEntry(Module(), "gmod_open"));
}

standin::CloseEntry ModuleClose()
{
    return reinterpret_cast<standin::CloseEntry>(standin::FindEntry(Module(), "gmod_close"));
}
