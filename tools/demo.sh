#!/usr/bin/env bash
# Builds kestrel and the stand-in game, then runs the example Lua script in it.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

"$top/tools/deps.sh" g++ make cmake pkg-config ruby3.1-dev liblua5.1-0-dev
cmake -S "$top" -B "$top/build" -DKESTREL_TESTS=OFF
cmake --build "$top/build" -j"$(nproc)"
cd "$top/examples"
exec "$top/build/kestrel-host" demo.lua
