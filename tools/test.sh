#!/usr/bin/env bash
# Builds kestrel, the stand-ins and every test, with warnings as errors, and
# runs the whole suite.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

"$top/tools/deps.sh" g++ make cmake pkg-config ruby3.1-dev liblua5.1-0-dev libgtest-dev
cmake -S "$top" -B "$top/build" -DKESTREL_TESTS=ON -DKESTREL_WERROR=ON
cmake --build "$top/build" -j"$(nproc)"
ctest --test-dir "$top/build" --output-on-failure -j"$(nproc)"
