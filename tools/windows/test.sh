#!/usr/bin/env bash
# Builds kestrel for one Windows architecture with warnings as errors, checks
# the module's exports and imports, and runs the script and contract tests
# under Wine (tools/windows/wine.sh): x86_64 under wine64, i686 (the module's
# home) under Debian's 32-bit Wine unpacked into the project's cache.
#
# Usage: tools/windows/test.sh x86_64|i686 [CTEST-ARGUMENT...]
#
# Every Wine command is bounded in time; the stage's processes are capped
# (a pids cgroup, where the machine lets us make one) and the prefix's Wine
# server is ended when the stage ends, however it ends.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
wine=$top/tools/windows/wine.sh

case ${1:-} in
  x86_64) arch=x86_64 build=$top/build-win64 ruby_dll=x64-msvcrt-ruby310.dll packages=(wine64) ;;
  i686) arch=i686 build=$top/build-win32 ruby_dll=msvcrt-ruby310.dll packages=(libc6-i386) ;;
  *) echo "usage: $0 x86_64|i686 [CTEST-ARGUMENT...]" >&2; exit 2 ;;
esac
shift
triple=$arch-w64-mingw32
jobs=$(nproc)

"$top/tools/deps.sh" cmake make libgtest-dev libz-mingw-w64 "${packages[@]}"
"$top/tools/windows/build-deps.sh" "$arch"
"$wine" setup "$arch"

cmake -S "$top" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchains/mingw-$arch.cmake" \
  -DKESTREL_TESTS=ON -DKESTREL_WERROR=ON
cmake --build "$build" -j"$jobs"

# The module exports its two entries and imports nothing but the console
# library and Windows' own DLLs when it is loaded; the interpreter's DLL it
# loads itself, from its own folder.
dump=$("$triple-objdump" -p "$build/kestrel.dll")
grep -qE '\] gmod_open$' <<<"$dump" && grep -qE '\] gmod_close$' <<<"$dump" ||
  { echo "$build/kestrel.dll does not export gmod_open and gmod_close" >&2; exit 1; }
imports=$(sed -n 's/^\s*DLL Name: //p' <<<"$dump" | sort | tr '\n' ' ')
expected=$(printf '%s\n' KERNEL32.dll msvcrt.dll tier0.dll | sort | tr '\n' ' ')
[[ $imports == "$expected" ]] || { echo "$build/kestrel.dll imports: $imports" >&2; exit 1; }
grep -qaF "$ruby_dll" "$build/kestrel.dll" || { echo "$build/kestrel.dll does not name $ruby_dll" >&2; exit 1; }
echo "$build/kestrel.dll: exports gmod_open, gmod_close; imports $imports; loads $ruby_dll itself"

# A pids cgroup of the stage's own caps what Wine may start (`ulimit -u` does
# nothing for root). Version 1's pids hierarchy, or version 2's where the
# controller is on; without either the stage runs uncapped.
cgroup=
home_cgroup=
enter_cgroup() {
  local base relative
  if [[ -d /sys/fs/cgroup/pids ]]; then
    base=/sys/fs/cgroup/pids
    relative=$(sed -n 's/^[0-9]*:pids:\(.*\)$/\1/p' /proc/self/cgroup)
  else
    base=/sys/fs/cgroup
    relative=$(sed -n 's/^0::\(.*\)$/\1/p' /proc/self/cgroup)
    grep -qw pids "$base$relative/cgroup.subtree_control" 2>/dev/null || relative=
  fi
  [[ -n $relative ]] || return 1
  home_cgroup=${base}${relative%/}
  cgroup=$home_cgroup/kestrel-wine-$$
  mkdir "$cgroup" 2>/dev/null && echo 2048 >"$cgroup/pids.max" && echo $$ >"$cgroup/cgroup.procs" ||
    { rmdir "$cgroup" 2>/dev/null; cgroup=; return 1; }
}

# Ends the prefix's server and everything it runs, then whatever of the
# stage's processes is still in its cgroup, one by one.
finish() {
  local status=$? pid left=0
  "$wine" stop "$arch" || true
  if [[ -n $cgroup ]]; then
    echo $$ >"$home_cgroup/cgroup.procs" || true
    for pid in $(cat "$cgroup/cgroup.procs" 2>/dev/null); do
      echo "kestrel: Wine process $pid ($(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null)) outlived the stage" >&2
      kill -KILL "$pid" 2>/dev/null || true
      left=1
    done
    ((left)) && sleep 1
    rmdir "$cgroup" 2>/dev/null || true
  fi
  exit "$status"
}
trap finish EXIT
if enter_cgroup; then
  echo "kestrel: the stage's processes are capped at $(cat "$cgroup/pids.max") ($cgroup)"
else
  echo "kestrel: no pids cgroup to cap the Wine processes; going on uncapped" >&2
fi

# The first program of a stage starts the prefix's services; not from
# parallel tests. It must run and exit cleanly.
"$wine" run "$arch" "$build/kestrel-host.exe" --console NUL -e '' 2>/dev/null
ctest --test-dir "$build" --output-on-failure -j"$jobs" "$@"
