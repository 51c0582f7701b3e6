#!/usr/bin/env bash
# Builds kestrel and the stand-in game, then runs the example Lua script in it.
# The build has a folder of its own, build-demo/, so that it and the test
# command's build/ (tests on, warnings as errors) never undo each other's
# configuration and rebuild everything.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

"$top/tools/deps.sh" g++ make cmake pkg-config ruby3.1-dev liblua5.1-0-dev
cmake -S "$top" -B "$top/build-demo" -DKESTREL_TESTS=OFF
cmake --build "$top/build-demo" -j"$(nproc)"
cd "$top/examples"
exec "$top/build-demo/kestrel-host" demo.lua
