// The host's binary interface: the position of each operation in its object's
// table, and how many entries each table has.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host_platform.h"

namespace standin {

namespace entry {
constexpr std::size_t kStateHandle = 4;
constexpr std::size_t kRegistry = 59;
constexpr std::size_t kSize = 64;
}  // namespace entry

namespace registry {
constexpr std::size_t kInterfaceFor = 0;
constexpr std::size_t kSize = 4;
}  // namespace registry

namespace script_interface {
constexpr std::size_t kFetchGlobal = 6;
constexpr std::size_t kArgText = 9;
constexpr std::size_t kMakeGlobalTable = 46;
constexpr std::size_t kRequireArgType = 52;
constexpr std::size_t kReportError = 70;
constexpr std::size_t kSize = 96;
}  // namespace script_interface

namespace object {
constexpr std::size_t kSetFunction = 15;
constexpr std::size_t kSize = 32;
}  // namespace object

// The type code with which RequireArgType admits text, and nothing else.
constexpr std::int32_t kTextType = 1;

// A native function of the module, as the host calls it.
using ModuleFunction = std::int32_t(HOST_CDECL*)(void* hostArguments);
using OpenEntry = std::int32_t(HOST_CDECL*)(void* entry);
using CloseEntry = std::int32_t(HOST_CDECL*)(void* entry);

}  // namespace standin
