// What differs between platforms for the stand-in game host, in one place.
#pragma once

#include <string>

#if defined(_WIN32)
#define HOST_CDECL __cdecl
#if defined(__i386__) || defined(_M_IX86)
// 32-bit Windows calls member functions with `this` in ECX; the host's tables
// hold plain functions, so they must take `self` the same way. GCC applies
// thiscall to a plain function as an extension, which -Wpedantic points out.
#define HOST_MEMBER_CALL __thiscall
#if defined(__GNUC__)
#pragma GCC diagnostic ignored "-Wattributes"
#endif
#else
#define HOST_MEMBER_CALL
#endif
#else
#define HOST_CDECL
#define HOST_MEMBER_CALL
#endif

namespace standin {

// The module's file name beside the running host binary.
std::string DefaultModulePath();

// Loads a module and finds its entries by name. On failure, LoadModule returns
// null and sets `error`.
void* LoadModule(const std::string& path, std::string& error);
void* FindEntry(void* module, const char* name);
// Gives back the hold that LoadModule took; the system unmaps the module once
// nothing holds it.
void UnloadModule(void* module);

bool StandardInputIsTerminal();

// Sets a variable of the process's environment, as the game's launcher might.
void SetEnvironment(const char* name, const char* value);

}  // namespace standin
