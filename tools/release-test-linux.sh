#!/usr/bin/env bash
# Tests a Linux release tarball as a game server's admin would use it: the
# stand-in game (kestrel-host with its libtier0.so) in one folder, kestrel.so
# from the tarball alone in a modules folder, the game's own working folder;
# the module is loaded by its full path and a few scripts run.
#
# Usage: tools/release-test-linux.sh [--install] TARBALL GAME-FOLDER
#   GAME-FOLDER holds kestrel-host and libtier0.so.
#   --install first installs, with apt-get, only the packages the tarball's
#   INSTALL.txt names, and the stand-in game's own Lua library (on a fresh
#   machine: ../shared/tools/fresh-machine, see tools/package.sh).
set -euo pipefail
install=0
[[ ${1:-} == --install ]] && { install=1; shift; }
(($# == 2)) || { echo "usage: $0 [--install] TARBALL GAME-FOLDER" >&2; exit 2; }
tarball=$1 from=$2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tar -C "$work" -xzf "$tarball"
release=$(echo "$work"/kestrel-*)
label=${release##*-}

if ((install)); then
  packages=$(sed -n 's/^ *apt-get install //p' "$release/INSTALL.txt")
  lua=liblua5.1-0
  [[ $label == i386 ]] && lua=liblua5.1-0:i386
  echo "release-test: installing $packages (and the stand-in game's $lua)"
  apt-get update -qq
  # shellcheck disable=SC2086
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $packages $lua >/dev/null
fi

game=$work/game
mkdir -p "$game/bin" "$game/modules" "$game/scripts"
cp "$from/kestrel-host" "$from/libtier0.so" "$game/bin/"
cp "$release/kestrel.so" "$game/modules/"
printf 'puts "hello from %s\\n"\n' "a file" >"$game/scripts/hello.rb"

expected="kestrel locked & loaded!
ok
hello from a file
kestrel error: boom
kestrel error: unable to load file 'scripts/missing.rb'"
status=0
# The game's launcher puts its own folder on the library path for its
# libtier0.so, as game servers' start scripts do.
(cd "$game" && LD_LIBRARY_PATH=$game/bin timeout -s KILL 60 "$game/bin/kestrel-host" \
  --module "$game/modules/kestrel.so" --console "$game/console.txt" --errors return -e '
rb.Initialize()
rb.RunString([[puts "ok\n"]])
rb.RunFile("scripts/hello.rb")
local count, notice = rb.RunString("raise %q(boom)")
assert(count == 0 and notice == "RunString failed, check console for details.\n")
rb.RunFile("scripts/missing.rb")
rb.Terminate()') || status=$?
got=$(cat "$game/console.txt" 2>/dev/null || echo "<no console>")
if [[ $status != 0 || $got != "$expected" ]]; then
  echo "release-test $label: FAILED (exit $status)" >&2
  printf -- '--- expected ---\n%s\n--- got ---\n%s\n---\n' "$expected" "$got" >&2
  exit 1
fi
echo "release-test linux-$label: banner, RunString, puts, RunFile and an error passed"
