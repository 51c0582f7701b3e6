// The stand-in for the engine's console library.
//
// Msg formats its arguments into a buffer of kConsoleBufferSize bytes, cuts
// whatever does not fit (as engine consoles do), adds nothing, and hands the
// text to the console sink. The sink is the process's standard output unless a
// host sets another.
#pragma once

#include <cstddef>

#if defined(_WIN32)
#if defined(TIER0_BUILDING)
#define TIER0_API __declspec(dllexport)
#else
#define TIER0_API __declspec(dllimport)
#endif
#define TIER0_CDECL __cdecl
#else
#define TIER0_API __attribute__((visibility("default")))
#define TIER0_CDECL
#endif

constexpr std::size_t kConsoleBufferSize = 4096;

extern "C" {

TIER0_API void TIER0_CDECL Msg(const char* format, ...);

using ConsoleSink = void (*)(const char* text, std::size_t length, void* context);

// Sends the console to `sink` from now on; a null sink puts back standard output.
TIER0_API void TIER0_CDECL ConsoleSetSink(ConsoleSink sink, void* context);

}
