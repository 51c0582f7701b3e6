#!/usr/bin/env bash
# Builds kestrel and its benchmarks (Release, in build-bench/), runs them and
# prints the table of figures against their baselines, which is also left in
# build-bench/bench-table.md.
#
# Usage: tools/bench.sh [--smoke] [BENCHMARK OPTIONS...]
#   --smoke   runs each benchmark once at its smallest size, to check that they
#             all still work (what CI runs); its figures mean nothing.
# Other options go to Google Benchmark, e.g. --benchmark_filter=puts.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build-bench"

# `ruby` gives the ruby command that the start figure runs as its baseline.
"$top/tools/deps.sh" g++ make cmake pkg-config ruby ruby3.1-dev liblua5.1-0-dev libbenchmark-dev
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DKESTREL_TESTS=OFF -DKESTREL_BENCHMARKS=ON >/dev/null
cmake --build "$build" -j"$(nproc)"

repetitions=1
if [[ ${1:-} == --smoke ]]; then
  options=(--smoke)
  shift
else
  # Many short repetitions interleaved at random, so that a noisy spell of the
  # machine spreads over every figure instead of spoiling one; the table takes
  # the medians.
  repetitions=15
  options=(--benchmark_repetitions=$repetitions --benchmark_min_time=0.1 --benchmark_enable_random_interleaving=true
           --benchmark_display_aggregates_only=true)
fi

# One core for the whole run, so the process is not moved between cores midway.
pin=()
if command -v taskset >/dev/null && (($(nproc) > 1)); then
  pin=(taskset -c "$(($(nproc) - 1))")
fi
status=0
"${pin[@]}" "$build/kestrel_bench" "${options[@]}" --table="$build/figures.md" "$@" || status=$?

cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)
{
  echo "Measured on $(date +%F): $cpu, $(nproc) cores, $(uname -sr); $(ruby -v)."
  echo "Each figure is the median of $repetitions repetition(s); a peak, of one run."
  echo
  cat "$build/figures.md"
} >"$build/bench-table.md"
echo
cat "$build/bench-table.md"
exit "$status"
