// kestrel-host: a stand-in for the game. It opens a Lua 5.1 state, loads the
// module and opens it with its script objects, runs the Lua it is given, and
// closes the state and unloads the module, as a game does at each map change:
// once, or as many times as it is told.
#include <lua.hpp>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "console.h"
#include "host_objects.h"
#include "host_platform.h"
#include "host_positions.h"
#include "interactive_console.h"

namespace {

constexpr int kSucceeded = 0;
constexpr int kLuaErrorEscaped = 1;
constexpr int kBadUsage = 2;

const char kUsage[] =
    "usage: kestrel-host [--module PATH] [--console PATH] [--errors raise|unwind|return]\n"
    "                    [--no-interface] [--cycles N] [-e LUA]... [SCRIPT.lua]\n";

struct Options {
    std::string module = standin::DefaultModulePath();
    std::string console;
    standin::ErrorMode errors = standin::ErrorMode::Raise;
    bool giveInterface = true;
    long cycles = 1;
    std::vector<std::string> chunks;
    std::string script;
};

bool ParseErrorMode(const std::string& word, standin::ErrorMode& mode)
{
    if (word == "raise")
        mode = standin::ErrorMode::Raise;
    else if (word == "unwind")
        mode = standin::ErrorMode::Unwind;
    else if (word == "return")
        mode = standin::ErrorMode::Return;
    else
        return false;
    return true;
}

// A whole number from 1 to a million, and nothing else.
bool ParseCycles(const char* word, long& cycles)
{
    char* end = nullptr;
    errno = 0;
    long value = std::strtol(word, &end, 10);
    if (errno != 0 || end == word || *end != '\0' || value < 1 || value > 1000000)
        return false;
    cycles = value;
    return true;
}

bool ParseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        bool hasValue = i + 1 < argc;
        if (argument == "--module" && hasValue)
            options.module = argv[++i];
        else if (argument == "--console" && hasValue)
            options.console = argv[++i];
        else if (argument == "--errors" && hasValue) {
            if (!ParseErrorMode(argv[++i], options.errors))
                return false;
        } else if (argument == "--cycles" && hasValue) {
            if (!ParseCycles(argv[++i], options.cycles))
                return false;
        } else if (argument == "--no-interface")
            options.giveInterface = false;
        else if (argument == "-e" && hasValue)
            options.chunks.push_back(argv[++i]);
        else if (argument.empty() || argument[0] == '-' || !options.script.empty() || i + 1 != argc)
            return false;
        else
            options.script = argument;
    }
    return true;
}

void FileSink(const char* text, std::size_t length, void* file)
{
    std::FILE* stream = static_cast<std::FILE*>(file);
    std::fwrite(text, 1, length, stream);
    std::fflush(stream);
}

int AddTraceback(lua_State* L)
{
    if (!lua_isstring(L, 1))
        return 1;  // keep a non-text error value as it is
    lua_getglobal(L, "debug");
    lua_getfield(L, -1, "traceback");
    lua_pushvalue(L, 1);
    lua_pushinteger(L, 2);
    lua_call(L, 2, 1);
    return 1;
}

// Runs the chunk on top of the stack; reports an error that escapes it.
bool Run(lua_State* L, int loadStatus)
{
    if (loadStatus == 0) {
        int base = lua_gettop(L);
        lua_pushcfunction(L, AddTraceback);
        lua_insert(L, base);
        loadStatus = lua_pcall(L, 0, 0, base);
        lua_remove(L, base);
    }
    if (loadStatus == 0)
        return true;
    const char* message = lua_tostring(L, -1);
    std::fprintf(stderr, "kestrel-host: %s\n", message != nullptr ? message : "(error object is not a string)");
    lua_pop(L, 1);
    return false;
}

bool RunAll(lua_State* L, const Options& options)
{
    for (const std::string& chunk : options.chunks) {
        if (!Run(L, luaL_loadbuffer(L, chunk.data(), chunk.size(), "=(command line)")))
            return false;
    }
    if (!options.script.empty())
        return Run(L, luaL_loadfile(L, options.script.c_str()));
    if (options.chunks.empty())
        return standin::RunConsole(L, Run);
    return true;
}

// One cycle of the module's life in a game, as at each map change: a new
// state, the module loaded and opened for it, the Lua run, then the module
// closed, the state closed and the module unloaded. The state is closed while
// the host's objects still stand: its finalizers may call the module's
// functions through them. Scripts see the cycle's number as HOST_CYCLE.
int RunCycle(const Options& options, long cycle)
{
    std::string error;
    void* module = standin::LoadModule(options.module, error);
    if (module == nullptr) {
        std::fprintf(stderr, "kestrel-host: cannot load the module '%s': %s\n", options.module.c_str(), error.c_str());
        return kBadUsage;
    }
    auto open = reinterpret_cast<standin::OpenEntry>(standin::FindEntry(module, "gmod_open"));
    auto close = reinterpret_cast<standin::CloseEntry>(standin::FindEntry(module, "gmod_close"));
    if (open == nullptr || close == nullptr) {
        std::fprintf(stderr, "kestrel-host: '%s' does not export gmod_open and gmod_close\n", options.module.c_str());
        standin::UnloadModule(module);
        return kBadUsage;
    }

    lua_State* L = luaL_newstate();
    luaL_openlibs(L);
    lua_pushinteger(L, static_cast<lua_Integer>(cycle));
    lua_setglobal(L, "HOST_CYCLE");
    bool allRan = false;
    {
        standin::GameHost host(L, options.errors, options.giveInterface);
        open(host.Entry());
        allRan = RunAll(L, options);
        close(host.Entry());
        lua_close(L);
    }
    standin::UnloadModule(module);
    return allRan ? kSucceeded : kLuaErrorEscaped;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return kBadUsage;
    }

    std::FILE* console = nullptr;
    if (!options.console.empty()) {
        console = std::fopen(options.console.c_str(), "wb");
        if (console == nullptr) {
            std::fprintf(stderr, "kestrel-host: cannot write the console to '%s'\n", options.console.c_str());
            return kBadUsage;
        }
        ConsoleSetSink(FileSink, console);
    }

    // Every cycle runs; the first that fails gives the exit status. A module
    // that cannot be loaded will not be loaded by a later cycle either.
    int status = kSucceeded;
    for (long cycle = 1; cycle <= options.cycles; ++cycle) {
        int ended = RunCycle(options, cycle);
        if (status == kSucceeded)
            status = ended;
        if (ended == kBadUsage)
            break;
    }
    ConsoleSetSink(nullptr, nullptr);
    if (console != nullptr)
        std::fclose(console);
    return status;
}
