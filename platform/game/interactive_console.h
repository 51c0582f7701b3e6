// The stand-in game's interactive console, which reads Lua from standard input
// as `lua` does: a chunk that is not complete yet (`x =`, an unclosed
// `function`) goes on over the next lines, with the prompt ">> " on a terminal.
#pragma once

#include <lua.hpp>

namespace standin {

// Runs the chunk that luaL_loadbuffer left on the stack with its status, or
// reports the status's error; returns whether the chunk ran.
using ChunkRunner = bool (*)(lua_State* L, int loadStatus);

// Reads standard input to its end and runs each complete chunk with `run`.
// Returns whether every chunk ran; input that ends inside a chunk counts as a
// chunk that did not compile.
bool RunConsole(lua_State* L, ChunkRunner run);

}  // namespace standin
