#!/usr/bin/env bash
# Builds kestrel and its benchmarks (Release, in build-bench/), runs the suite
# and prints the table of figures against their baselines; the table is also
# left in build-bench/bench-table.md.
#
# Usage: tools/bench.sh [--smoke] [BENCHMARK OPTIONS...]
#   --smoke   runs each benchmark once at its smallest size, to check that they
#             all still work (what CI runs); its figures mean nothing.
# Other options go to Google Benchmark, e.g. --benchmark_filter=console.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build-bench"

# `ruby` gives the ruby command that the start figure runs as its baseline.
"$top/tools/deps.sh" g++ make cmake pkg-config ruby ruby3.1-dev liblua5.1-0-dev libbenchmark-dev
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DKESTREL_TESTS=OFF -DKESTREL_BENCHMARKS=ON >/dev/null
cmake --build "$build" -j"$(nproc)"

options=()
if [[ ${1:-} == --smoke ]]; then
  shift
  options=(--smoke)
else
  # Many short repetitions interleaved at random, so that a noisy spell of the
  # machine spreads over every figure instead of spoiling one; the table takes
  # the medians.
  options=(--benchmark_repetitions=15 --benchmark_min_time=0.1 --benchmark_enable_random_interleaving=true
           --benchmark_display_aggregates_only=true)
fi

# One core for the whole run, so the process is not moved between cores midway.
pin=()
if command -v taskset >/dev/null && (($(nproc) > 1)); then
  pin=(taskset -c "$(($(nproc) - 1))")
fi
"${pin[@]}" "$build/kestrel_bench" "${options[@]}" --table="$build/bench-table.md" "$@"
