#!/usr/bin/env bash
# Builds kestrel, the stand-ins and every test, with warnings as errors, and
# runs the suite: on x86-64, as a soak, under valgrind's memcheck, on i386,
# under the sanitizers, and for Windows under Wine (tools/windows/test.sh).
# Installs the Debian packages each stage is missing.
#
# Usage: tools/test.sh [STAGE...]
#   stages: main soak memcheck i386 sanitize conformance windows release (default: all, in this order)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
all_stages=(main soak memcheck i386 sanitize conformance windows release)
common=(g++ make cmake pkg-config ruby3.1-dev liblua5.1-0-dev libgtest-dev)

build() {  # DIR CMAKE-ARGUMENTS...
  local dir=$1
  shift
  cmake -S "$top" -B "$dir" -DKESTREL_TESTS=ON -DKESTREL_WERROR=ON "$@"
  cmake --build "$dir" -j"$jobs"
}

run() {  # DIR CTEST-ARGUMENTS...
  local dir=$1
  shift
  ctest --test-dir "$dir" --output-on-failure -j"$jobs" "$@"
}

build_main() {
  "$top/tools/deps.sh" "${common[@]}" valgrind libreadline-dev
  build "$top/build" -DKESTREL_MEMCHECK=ON
}

stage_main() {
  build_main
  run "$top/build" -LE 'memcheck|soak'
}

stage_soak() {
  build_main
  run "$top/build" -L soak --verbose
}

stage_memcheck() {
  build_main
  run "$top/build" -L memcheck
}

stage_conformance() { build_main; "$top/tools/deps.sh" ruby3.1 dpkg-dev; "$top/tools/conformance.sh"; }

stage_i386() {
  "$top/tools/deps.sh" --i386 "${common[@]}" g++-multilib qemu-user \
    libruby3.1:i386 ruby3.1-dev:i386 liblua5.1-0-dev:i386 libgtest-dev:i386
  build "$top/build-i386" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchains/i386-linux.cmake"
  run "$top/build-i386" -LE 'memcheck|soak'
}

stage_sanitize() {
  "$top/tools/deps.sh" "${common[@]}"
  build "$top/build-sanitize" -DKESTREL_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
  run "$top/build-sanitize" -LE 'memcheck|soak'
}

stage_windows() {
  "$top/tools/windows/test.sh" x86_64
  "$top/tools/windows/test.sh" i686
}

stage_release() { "$top/tools/package.sh"; }

stages=("$@")
((${#stages[@]})) || stages=("${all_stages[@]}")
for stage in "${stages[@]}"; do
  if [[ " ${all_stages[*]} " != *" $stage "* ]]; then
    echo "unknown stage '$stage'; the stages are: ${all_stages[*]}" >&2
    exit 2
  fi
done
for stage in "${stages[@]}"; do
  echo "=== $stage"
  start=$SECONDS
  "stage_$stage"
  echo "=== $stage passed in $((SECONDS - start)) s"
done
