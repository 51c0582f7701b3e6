#include "console.h"

#include <cstdarg>
#include <cstdio>

namespace {

void StandardOutputSink(const char* text, std::size_t length, void*)
{
    std::fwrite(text, 1, length, stdout);
    std::fflush(stdout);
}

ConsoleSink g_sink = StandardOutputSink;
void* g_context = nullptr;

}  // namespace

extern "C" TIER0_API void TIER0_CDECL Msg(const char* format, ...)
{
    char buffer[kConsoleBufferSize];
    va_list arguments;
    va_start(arguments, format);
    int wanted = std::vsnprintf(buffer, sizeof buffer, format, arguments);
    va_end(arguments);
    if (wanted <= 0)
        return;
    std::size_t length = static_cast<std::size_t>(wanted);
    if (length >= sizeof buffer)
        length = sizeof buffer - 1;  // cut, as the engine's console does
    g_sink(buffer, length, g_context);
}

extern "C" TIER0_API void TIER0_CDECL ConsoleSetSink(ConsoleSink sink, void* context)
{
    g_sink = sink != nullptr ? sink : StandardOutputSink;
    g_context = sink != nullptr ? context : nullptr;
}
