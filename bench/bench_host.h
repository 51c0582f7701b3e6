// A lean host for the benchmarks: it lays out the objects the module calls by
// table position, as the stand-in game does, but each operation does the least
// a host can do, so that what is measured is the module and the interpreter.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include "host_positions.h"
#include "operation_table.h"

// What the console sink has been handed.
struct ConsoleCount {
    std::size_t bytes = 0;
    std::size_t writes = 0;
};

struct LeanObject {
    standin::ObjectHeader header;
    class BenchHost* host;
};

class BenchHost {
public:
    BenchHost();
    BenchHost(const BenchHost&) = delete;
    BenchHost& operator=(const BenchHost&) = delete;

    // Loads the module and opens it with this host's entry. Returns false, with
    // the reason in `error`, when it cannot be loaded or gives no rb members.
    bool Open(const char* modulePath, std::string& error);

    // Calls an rb member with `text` as argument 1, as a script would.
    std::int32_t Call(standin::ModuleFunction member, const char* text)
    {
        argument = text;
        return member(&stateMarker);
    }

    standin::ModuleFunction Member(const std::string& name) const;

    // What the module's operations read and write.
    const char* argument = nullptr;
    std::size_t notices = 0;
    ConsoleCount console;  // counted by CountConsole once it is the sink
    std::map<std::string, standin::ModuleFunction> members;
    int stateMarker = 0;  // its address is the state handle

    LeanObject entry;
    LeanObject registry;
    LeanObject scriptInterface;
    LeanObject table;
};

// The console sink of every benchmark: it drops the text and counts it, so a
// benchmark can check that what it sent reached the console, and in which pieces.
void CountConsole(const char* text, std::size_t length, void* count);
