// How the platform exports, imports and calls functions across the module's
// boundary. The one place that tests the platform for it.
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
