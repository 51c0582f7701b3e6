#include "host_objects.h"

#include <cstring>

#include "host_positions.h"

namespace standin {
namespace {

// A Lua error raised from a host operation unwinds through the module with
// longjmp, as a C-compiled Lua does: nothing with a destructor may be alive on
// the frames of the functions that raise it.

void* HOST_MEMBER_CALL StateHandle(HostObject* self)
{
    return self->host->state();
}

HostObject* HOST_MEMBER_CALL Registry(HostObject* self)
{
    return self->host->Registry();
}

HostObject* HOST_MEMBER_CALL InterfaceFor(HostObject* self, void* handle)
{
    return self->host->InterfaceFor(handle);
}

HostObject* HOST_MEMBER_CALL FetchGlobal(HostObject* self, const char* name)
{
    lua_State* L = self->host->state();
    lua_getglobal(L, name);
    return self->host->Fetch(luaL_ref(L, LUA_REGISTRYINDEX));
}

const char* HOST_MEMBER_CALL ArgText(HostObject* self, std::int32_t position)
{
    return lua_tostring(self->host->caller(), position);
}

void HOST_MEMBER_CALL MakeGlobalTable(HostObject* self, const char* name)
{
    lua_State* L = self->host->state();
    lua_newtable(L);
    lua_setglobal(L, name);
}

// As luaL_checktype does: a wrong argument ends the call at once.
void HOST_MEMBER_CALL RequireArgType(HostObject* self, std::int32_t position, std::int32_t type)
{
    lua_State* L = self->host->caller();
    if (type != kTextType)
        luaL_error(L, "kestrel-host: no argument type has the code %d", static_cast<int>(type));
    if (lua_type(L, position) != LUA_TSTRING) {
        lua_pushfstring(L, "bad argument #%d to '%s' (string expected, got %s)", static_cast<int>(position),
                        self->host->member(), luaL_typename(L, position));
        lua_error(L);
    }
}

void HOST_MEMBER_CALL ReportError(HostObject* self, const char* message)
{
    if (self->host->mode() == ErrorMode::Unwind) {
        lua_pushstring(self->host->caller(), message);
        lua_error(self->host->caller());
    }
    self->host->RecordNotice(message);
}

// Scripts call the module's functions through this: it calls the function as
// the game does and hands the script the returned count.
int CallMember(lua_State* L)
{
    ModuleFunction function;
    std::memcpy(&function, lua_touserdata(L, lua_upvalueindex(1)), sizeof function);
    GameHost* host = static_cast<GameHost*>(lua_touserdata(L, lua_upvalueindex(3)));
    host->BeginCall(L, lua_tostring(L, lua_upvalueindex(2)));
    std::int32_t count = function(L);
    return host->EndCall(count);
}

void HOST_MEMBER_CALL SetFunction(HostObject* self, const char* name, ModuleFunction function)
{
    lua_State* L = self->host->state();
    lua_rawgeti(L, LUA_REGISTRYINDEX, self->reference);
    std::memcpy(lua_newuserdata(L, sizeof function), &function, sizeof function);
    lua_pushstring(L, name);
    lua_pushlightuserdata(L, self->host);
    lua_pushcclosure(L, CallMember, 3);
    lua_setfield(L, -2, name);
    lua_pop(L, 1);
}

const OperationTable<entry::kSize> kEntryOperations = {
    {entry::kStateHandle, AsOperation(StateHandle)},
    {entry::kRegistry, AsOperation(Registry)},
};
const OperationTable<registry::kSize> kRegistryOperations = {
    {registry::kInterfaceFor, AsOperation(InterfaceFor)},
};
const OperationTable<script_interface::kSize> kInterfaceOperations = {
    {script_interface::kFetchGlobal, AsOperation(FetchGlobal)},
    {script_interface::kArgText, AsOperation(ArgText)},
    {script_interface::kMakeGlobalTable, AsOperation(MakeGlobalTable)},
    {script_interface::kRequireArgType, AsOperation(RequireArgType)},
    {script_interface::kReportError, AsOperation(ReportError)},
};
const OperationTable<object::kSize> kObjectOperations = {
    {object::kSetFunction, AsOperation(SetFunction)},
};

}  // namespace

GameHost::GameHost(lua_State* state, ErrorMode mode, bool giveInterface)
    : state_(state),
      mode_(mode),
      giveInterface_(giveInterface),
      entry_{{kEntryOperations.data(), "ScriptEntry"}, this, LUA_NOREF},
      registry_{{kRegistryOperations.data(), "StateRegistry"}, this, LUA_NOREF},
      interface_{{kInterfaceOperations.data(), "ScriptInterface"}, this, LUA_NOREF}
{
}

HostObject* GameHost::InterfaceFor(void* handle)
{
    return giveInterface_ && handle == state_ ? &interface_ : nullptr;
}

HostObject* GameHost::Fetch(int reference)
{
    fetched_.push_back(std::make_unique<HostObject>(HostObject{{kObjectOperations.data(), "ScriptObject"}, this, reference}));
    return fetched_.back().get();
}

void GameHost::BeginCall(lua_State* caller, const char* member)
{
    caller_ = caller;
    member_ = member;
    hasNotice_ = false;
}

int GameHost::EndCall(std::int32_t count)
{
    lua_State* L = caller_;
    if (mode_ == ErrorMode::Raise && hasNotice_) {
        lua_pushlstring(L, notice_.data(), notice_.size());
        lua_error(L);
    }
    lua_pushinteger(L, count);
    if (mode_ != ErrorMode::Return)
        return 1;
    if (hasNotice_)
        lua_pushlstring(L, notice_.data(), notice_.size());
    else
        lua_pushnil(L);
    return 2;
}

void GameHost::RecordNotice(const char* notice)
{
    notice_ = notice;
    hasNotice_ = true;
}

}  // namespace standin
