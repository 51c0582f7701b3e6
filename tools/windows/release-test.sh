#!/usr/bin/env bash
# Tests a Windows release zip as a game server's admin would use it: under a
# fresh Wine prefix, the stand-in game's executable in one folder
# (C:\game\bin, with the game's own tier0.dll and Lua), the zip's modules/ only
# in the modules folder (C:\game\modules), the working folder the game's own
# (C:\game), and nothing of the build or its cache on any search path. The
# module is loaded by its full path and a few scripts run; then the same
# without the interpreter's DLL, which must say so on the console.
#
# Usage: tools/windows/release-test.sh i686|x86_64 ZIP BUILD-FOLDER
#   BUILD-FOLDER holds the stand-in game: kestrel-host.exe, tier0.dll, lua51.dll
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
wine=$top/tools/windows/wine.sh
(($# == 3)) || { echo "usage: $0 i686|x86_64 ZIP BUILD-FOLDER" >&2; exit 2; }
arch=$1 zip=$2 build=$3
[[ $arch == i686 ]] && ruby_dll=msvcrt-ruby310.dll || ruby_dll=x64-msvcrt-ruby310.dll

export KESTREL_WINE_PREFIX=${KESTREL_CACHE:-$HOME/.cache/kestrel}/wine/release-$arch
unpacked=$(mktemp -d)
finish() {
  "$wine" stop "$arch" || true
  rm -rf "$KESTREL_WINE_PREFIX" "$unpacked"
}
trap finish EXIT
rm -rf "$KESTREL_WINE_PREFIX"
"$wine" setup "$arch"

game=$KESTREL_WINE_PREFIX/drive_c/game
mkdir -p "$game/bin" "$game/modules" "$game/scripts"
cp "$build/kestrel-host.exe" "$build/tier0.dll" "$build/lua51.dll" "$game/bin/"
unzip -q "$zip" -d "$unpacked"
cp "$unpacked"/*/modules/* "$game/modules/"
[[ ! -e $game/bin/$ruby_dll ]] || { echo "release-test: $ruby_dll beside the executable" >&2; exit 1; }
printf 'puts "hello from %s\\n"\n' "a file" >"$game/scripts/hello.rb"

failed=0
check() {  # NAME EXPECTED-CONSOLE LUA
  local name=$1 expected=$2 lua=$3 status=0
  rm -f "$game/console.txt"
  (cd "$game" && "$wine" run "$arch" 'C:\game\bin\kestrel-host.exe' --module 'C:\game\modules\kestrel.dll' \
    --console 'C:\game\console.txt' --errors return -e "$lua" >"$unpacked/stdout.txt" 2>"$unpacked/stderr.txt") ||
    status=$?
  local got
  got=$(cat "$game/console.txt" 2>/dev/null || echo "<no console>")
  if [[ $status != 0 || $got != "$expected" ]]; then
    echo "release-test $arch: $name FAILED (exit $status)" >&2
    printf -- '--- expected ---\n%s\n--- got ---\n%s\n---\n' "$expected" "$got" >&2
    grep -v -e FreeType -e 'use TrueType' -e 'or equal to' -e freetype.org "$unpacked/stderr.txt" >&2 || true
    failed=1
  else
    echo "release-test $arch: $name passed"
  fi
}

check "banner, RunString, puts, RunFile and an error" "kestrel locked & loaded!
ok
hello from a file
kestrel error: boom
kestrel error: unable to load file 'scripts/missing.rb'" '
rb.Initialize()
rb.RunString([[puts "ok\n"]])
rb.RunFile("scripts/hello.rb")
local count, notice = rb.RunString("raise %q(boom)")
assert(count == 0 and notice == "RunString failed, check console for details.\n")
rb.RunFile("scripts/missing.rb")
rb.Terminate()'

rm "$game/modules/$ruby_dll"
check "without the interpreter's DLL" "kestrel locked & loaded!
kestrel error: cannot load the interpreter's library 'C:\\game\\modules\\$ruby_dll' (Windows error 126)
kestrel error: the interpreter could not be started
kestrel error: the interpreter could not be started" '
local count = rb.Initialize()
assert(count == 0)'

exit "$failed"
