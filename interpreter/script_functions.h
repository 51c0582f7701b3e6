// The members of the script table `rb`, as the host calls them.
#pragma once

#include <cstdint>

#include "interpreter/portability.h"

namespace kestrel {

std::int32_t KESTREL_CDECL Initialize(void* hostArguments);
std::int32_t KESTREL_CDECL Terminate(void* hostArguments);
std::int32_t KESTREL_CDECL RunString(void* hostArguments);
std::int32_t KESTREL_CDECL RunFile(void* hostArguments);

// Starts the interpreter the first time it is called in the process and does
// nothing after that, also once the interpreter has been terminated.
void StartInterpreter();

}  // namespace kestrel
