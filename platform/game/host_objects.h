// The stand-in game's script objects for one Lua state: the entry handed to
// gmod_open, its registry, the state's script interface, and the objects that
// FetchGlobal gives out.
#pragma once

#include <lua.hpp>

#include <memory>
#include <string>
#include <vector>

#include "operation_table.h"

namespace standin {

// What ReportError does with a failure notice.
enum class ErrorMode {
    Raise,   // raises it as a Lua error once the member has returned
    Unwind,  // raises it at once, unwinding through the module
    Return,  // hands it to the script as a second result
};

class GameHost;

struct HostObject {
    ObjectHeader header;
    GameHost* host;
    int reference;  // the Lua registry reference of a fetched global
};

// The closures it stores in the state use it until the state is closed, the
// finalizers that run then included: close the state before it goes. The
// references of fetched globals go with the state.
class GameHost {
public:
    GameHost(lua_State* state, ErrorMode mode, bool giveInterface);
    GameHost(const GameHost&) = delete;
    GameHost& operator=(const GameHost&) = delete;

    void* Entry() { return &entry_; }
    HostObject* Registry() { return &registry_; }

    // Used by the operations and by the trampoline through which scripts call
    // the module's functions.
    lua_State* state() const { return state_; }
    lua_State* caller() const { return caller_; }
    const char* member() const { return member_; }
    ErrorMode mode() const { return mode_; }
    HostObject* InterfaceFor(void* handle);
    HostObject* Fetch(int reference);
    void BeginCall(lua_State* caller, const char* member);
    int EndCall(std::int32_t count);
    void RecordNotice(const char* notice);

private:
    lua_State* state_;
    ErrorMode mode_;
    bool giveInterface_;
    HostObject entry_;
    HostObject registry_;
    HostObject interface_;
    std::vector<std::unique_ptr<HostObject>> fetched_;
    lua_State* caller_ = nullptr;
    const char* member_ = "";
    bool hasNotice_ = false;
    std::string notice_;
};

}  // namespace standin
