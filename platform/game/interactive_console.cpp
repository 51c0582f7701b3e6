#include "interactive_console.h"

#include <cstring>
#include <string>

#include "line_input.h"

namespace standin {
namespace {

const char kChunkName[] = "=stdin";

// As `lua` tells it: the parser stopped because the text ended, so the next
// line may complete the chunk. The error is popped when that is so.
bool Incomplete(lua_State* L, int status)
{
    if (status != LUA_ERRSYNTAX)
        return false;
    static const char kAtEnd[] = "'<eof>'";
    constexpr std::size_t kAtEndLength = sizeof kAtEnd - 1;
    std::size_t length = 0;
    const char* message = lua_tolstring(L, -1, &length);
    if (message == nullptr || length < kAtEndLength ||
        std::strcmp(message + length - kAtEndLength, kAtEnd) != 0)
        return false;
    lua_pop(L, 1);
    return true;
}

int Load(lua_State* L, const std::string& chunk)
{
    return luaL_loadbuffer(L, chunk.data(), chunk.size(), kChunkName);
}

}  // namespace

bool RunConsole(lua_State* L, ChunkRunner run)
{
    bool allRan = true;
    std::string chunk;
    std::string line;
    while (ReadLine(chunk.empty() ? "> " : ">> ", line)) {
        if (!chunk.empty())
            chunk += '\n';
        chunk += line;
        int status = Load(L, chunk);
        if (Incomplete(L, status))
            continue;
        Remember(chunk);
        allRan = run(L, status) && allRan;
        chunk.clear();
    }
    // Input that ended inside a chunk: the parser's error tells what was missing.
    if (!chunk.empty())
        allRan = run(L, Load(L, chunk)) && allRan;
    return allRan;
}

}  // namespace standin
