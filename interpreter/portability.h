// Everything that differs between platforms or interpreter releases, in one place.
// The module's logic calls these names and never tests the platform itself.
#pragma once

#if defined(_WIN32)
#define KESTREL_EXPORT __declspec(dllexport)
#define KESTREL_IMPORT __declspec(dllimport)
#define KESTREL_CDECL __cdecl
#else
#define KESTREL_EXPORT __attribute__((visibility("default")))
#define KESTREL_IMPORT
#define KESTREL_CDECL
#endif

namespace kestrel {

// Starts the interpreter with its whole core loaded and nothing else: no script
// runs, the load path is empty, options from the environment are ignored.
// Returns false when the interpreter could not be started.
bool StartRubyRuntime();

}  // namespace kestrel
