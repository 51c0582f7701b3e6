// A host that records every operation the module calls on its objects: which
// object, at which position, with which arguments. Its tables are built from
// the host side's positions, like the stand-in game's, and every other position
// aborts the test.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "host_positions.h"
#include "operation_table.h"

struct RecordedObject {
    standin::ObjectHeader header;
    class RecordingHost* host;
};

class RecordingHost {
public:
    explicit RecordingHost(bool giveInterface = true);
    ~RecordingHost();
    RecordingHost(const RecordingHost&) = delete;
    RecordingHost& operator=(const RecordingHost&) = delete;

    // Opens the module with this host's entry; returns what gmod_open returned.
    std::int32_t Open();
    std::int32_t Close();

    // Calls a member the module stored with SetFunction, as a script would.
    std::int32_t Call(const std::string& member);

    // Each operation as "Object@position Operation(arguments)", and each console
    // write as "Msg(text)", in the order they happened.
    std::vector<std::string> calls;
    std::vector<std::string> members;  // in the order SetFunction stored them
    std::vector<std::string> notices;  // handed to ReportError
    std::string console;               // everything written to the console
    std::size_t longestConsoleWrite = 0;
    int consoleWritesFromOtherThreads = 0;  // made elsewhere than on the thread that made this host
    std::thread::id ownThread = std::this_thread::get_id();
    bool interpreterRanAtFirstWrite = false;

    // What ArgText gives for argument 1; null leaves the argument out.
    const char* argument = nullptr;

    bool giveInterface;
    RecordedObject entry;
    RecordedObject registry;
    RecordedObject scriptInterface;
    RecordedObject object;
    std::map<std::string, standin::ModuleFunction> functions;
    int stateMarker = 0;  // its address is the state handle
};

// The module's entries, loaded once per test process.
standin::OpenEntry ModuleOpen();
standin::CloseEntry ModuleClose();

// A test that starts with the module opened through a recording host, the
// record of the opening cleared.
class OpenedModule : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(0, host.Open());
        host.calls.clear();
        host.console.clear();
    }

    RecordingHost host;
};
