// The host's script objects and its console, as the module uses them.
//
// Each object is reached through a table of virtual operations, called by
// position: the positions are the host's binary interface. The classes below
// declare their virtual members in table order, so that the compiler places
// each named operation at its position and calls it with the platform's
// member-call convention. Positions the module does not use are held by
// placeholders, which must never be called. No class has a virtual destructor
// and no name is overloaded: either would move entries in the table.
#pragma once

#include <cstdint>

#include "contract/platform.h"

#define KESTREL_SLOT(n) virtual void Slot##n() = 0;

class ScriptObject;
class ScriptInterface;
class StateRegistry;

// A native function that scripts can call. The host passes arguments of its own,
// which the module does not read, and takes back the count of results.
using ScriptFunction = std::int32_t(KESTREL_CDECL*)(void* hostArguments);

// What the host hands to gmod_open.
class ScriptEntry {
public:
    KESTREL_SLOT(0) KESTREL_SLOT(1) KESTREL_SLOT(2) KESTREL_SLOT(3)
    virtual void* StateHandle() = 0;  // 4: opaque handle of the state being opened
    KESTREL_SLOT(5) KESTREL_SLOT(6) KESTREL_SLOT(7) KESTREL_SLOT(8) KESTREL_SLOT(9) KESTREL_SLOT(10) KESTREL_SLOT(11) KESTREL_SLOT(12)
    KESTREL_SLOT(13) KESTREL_SLOT(14) KESTREL_SLOT(15) KESTREL_SLOT(16) KESTREL_SLOT(17) KESTREL_SLOT(18) KESTREL_SLOT(19) KESTREL_SLOT(20)
    KESTREL_SLOT(21) KESTREL_SLOT(22) KESTREL_SLOT(23) KESTREL_SLOT(24) KESTREL_SLOT(25) KESTREL_SLOT(26) KESTREL_SLOT(27) KESTREL_SLOT(28)
    KESTREL_SLOT(29) KESTREL_SLOT(30) KESTREL_SLOT(31) KESTREL_SLOT(32) KESTREL_SLOT(33) KESTREL_SLOT(34) KESTREL_SLOT(35) KESTREL_SLOT(36)
    KESTREL_SLOT(37) KESTREL_SLOT(38) KESTREL_SLOT(39) KESTREL_SLOT(40) KESTREL_SLOT(41) KESTREL_SLOT(42) KESTREL_SLOT(43) KESTREL_SLOT(44)
    KESTREL_SLOT(45) KESTREL_SLOT(46) KESTREL_SLOT(47) KESTREL_SLOT(48) KESTREL_SLOT(49) KESTREL_SLOT(50) KESTREL_SLOT(51) KESTREL_SLOT(52)
    KESTREL_SLOT(53) KESTREL_SLOT(54) KESTREL_SLOT(55) KESTREL_SLOT(56) KESTREL_SLOT(57) KESTREL_SLOT(58)
    virtual StateRegistry* Registry() = 0;  // 59
};

class StateRegistry {
public:
    virtual ScriptInterface* InterfaceFor(void* stateHandle) = 0;  // 0: null when there is none
};

class ScriptInterface {
public:
    KESTREL_SLOT(0) KESTREL_SLOT(1) KESTREL_SLOT(2) KESTREL_SLOT(3) KESTREL_SLOT(4) KESTREL_SLOT(5)
    virtual ScriptObject* FetchGlobal(const char* name) = 0;  // 6
    KESTREL_SLOT(7) KESTREL_SLOT(8)
    virtual const char* ArgText(std::int32_t position) = 0;  // 9: first argument is 1
    KESTREL_SLOT(10) KESTREL_SLOT(11) KESTREL_SLOT(12) KESTREL_SLOT(13) KESTREL_SLOT(14) KESTREL_SLOT(15) KESTREL_SLOT(16) KESTREL_SLOT(17)
    KESTREL_SLOT(18) KESTREL_SLOT(19) KESTREL_SLOT(20) KESTREL_SLOT(21) KESTREL_SLOT(22) KESTREL_SLOT(23) KESTREL_SLOT(24) KESTREL_SLOT(25)
    KESTREL_SLOT(26) KESTREL_SLOT(27) KESTREL_SLOT(28) KESTREL_SLOT(29) KESTREL_SLOT(30) KESTREL_SLOT(31) KESTREL_SLOT(32) KESTREL_SLOT(33)
    KESTREL_SLOT(34) KESTREL_SLOT(35) KESTREL_SLOT(36) KESTREL_SLOT(37) KESTREL_SLOT(38) KESTREL_SLOT(39) KESTREL_SLOT(40) KESTREL_SLOT(41)
    KESTREL_SLOT(42) KESTREL_SLOT(43) KESTREL_SLOT(44) KESTREL_SLOT(45)
    virtual void MakeGlobalTable(const char* name) = 0;  // 46
    KESTREL_SLOT(47) KESTREL_SLOT(48) KESTREL_SLOT(49) KESTREL_SLOT(50) KESTREL_SLOT(51)
    virtual void RequireArgType(std::int32_t position, std::int32_t typeCode) = 0;  // 52
    KESTREL_SLOT(53) KESTREL_SLOT(54) KESTREL_SLOT(55) KESTREL_SLOT(56) KESTREL_SLOT(57) KESTREL_SLOT(58) KESTREL_SLOT(59) KESTREL_SLOT(60)
    KESTREL_SLOT(61) KESTREL_SLOT(62) KESTREL_SLOT(63) KESTREL_SLOT(64) KESTREL_SLOT(65) KESTREL_SLOT(66) KESTREL_SLOT(67) KESTREL_SLOT(68)
    KESTREL_SLOT(69)
    virtual void ReportError(const char* message) = 0;  // 70: may unwind instead of returning
};

class ScriptObject {
public:
    KESTREL_SLOT(0) KESTREL_SLOT(1) KESTREL_SLOT(2) KESTREL_SLOT(3) KESTREL_SLOT(4) KESTREL_SLOT(5) KESTREL_SLOT(6) KESTREL_SLOT(7)
    KESTREL_SLOT(8) KESTREL_SLOT(9) KESTREL_SLOT(10) KESTREL_SLOT(11) KESTREL_SLOT(12) KESTREL_SLOT(13) KESTREL_SLOT(14)
    virtual void SetFunction(const char* name, ScriptFunction function) = 0;  // 15
};

#undef KESTREL_SLOT

// The type code with which RequireArgType admits a text argument.
constexpr std::int32_t kTextArgument = 1;

// The engine console's printf-style output, exported by the tier0 library. It
// writes exactly the formatted text; every message carries its own line break.
extern "C" KESTREL_IMPORT void KESTREL_CDECL Msg(const char* format, ...);
