// The members of the script table rb, as the host calls them.
#pragma once

#include <cstdint>

#include "contract/platform.h"

namespace kestrel {

std::int32_t KESTREL_CDECL Initialize(void* hostArguments);
std::int32_t KESTREL_CDECL Terminate(void* hostArguments);
std::int32_t KESTREL_CDECL RunString(void* hostArguments);
std::int32_t KESTREL_CDECL RunFile(void* hostArguments);

}  // namespace kestrel
