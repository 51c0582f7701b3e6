#!/usr/bin/env bash
# Builds kestrel, the stand-ins and every test, with warnings as errors, and
# runs the suite in stages: on x86-64, as a soak, under valgrind's memcheck,
# under the sanitizers, on i386, against Ruby's own core tests (conformance),
# for both Windows builds under Wine (tools/windows/test.sh), and the release
# files (tools/package.sh). Each stage installs the Debian packages it is
# missing (64-bit ones only; see tools/deps.sh) and builds what it needs into
# the cache (~/.cache/kestrel) the first time.
#
# Usage: tools/test.sh            the quick stages: those that need nothing built into the cache
#        tools/test.sh all        every stage, in order
#        tools/test.sh STAGE...   only these
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

# Every stage, in the order `all` runs them; a stage is the function stage_NAME.
all_stages=(main soak memcheck sanitize i386 conformance windows release)
# What runs with no argument: the stages a developer runs all day.
quick_stages=(main soak memcheck sanitize)

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

# The compiler and C library from g++-multilib; Ruby, Lua and GoogleTest for
# i386 from a sysroot in the cache (tools/i386-sysroot.sh), which the toolchain
# file points the build and the test runs at.
stage_i386() {
  "$top/tools/deps.sh" g++ make cmake pkg-config g++-multilib qemu-user
  local sysroot
  sysroot=$("$top/tools/i386-sysroot.sh")
  build "$top/build-i386" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchains/i386-linux.cmake" \
    -DKESTREL_I386_SYSROOT="$sysroot"
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

case ${1:-} in
  '') stages=("${quick_stages[@]}") ;;
  all) stages=("${all_stages[@]}") ;;
  *) stages=("$@") ;;
esac
for stage in "${stages[@]}"; do
  if [[ " ${all_stages[*]} " != *" $stage "* ]]; then
    echo "unknown stage '$stage'; the stages are: ${all_stages[*]} (or 'all')" >&2
    exit 2
  fi
done

# A stage that fails ends the run (set -e); say which, and what passed before.
current= summary=
trap 'status=$?
      [[ -z $current ]] || echo "=== $current FAILED (status $status) after $((SECONDS - start)) s${summary:+; passed:$summary}" >&2' EXIT
for stage in "${stages[@]}"; do
  echo "=== $stage"
  current=$stage start=$SECONDS
  "stage_$stage"
  current=
  echo "=== $stage passed in $((SECONDS - start)) s"
  summary+=" $stage $((SECONDS - start)) s,"
done
echo "=== passed in $SECONDS s:${summary%,}"
