#!/usr/bin/env bash
# Runs the Windows builds' programs under Wine, one Wine and one prefix per
# architecture, both in the project's cache:
#   x86_64  Debian's wine64 (the 64-bit package, installed with tools/deps.sh)
#   i686    Debian's 32-bit Wine, whose i386 packages (wine32, libwine,
#           wine32-preloader) are unpacked into the cache and never installed,
#           so the machine's package setup stays as it is. It needs a kernel
#           that runs 32-bit programs and the i386 C library (libc6-i386).
#
# Usage:
#   tools/windows/wine.sh setup ARCH               gets the Wine and makes the prefix
#   tools/windows/wine.sh run ARCH PROGRAM [ARG...] runs one program (CTest's emulator)
#   tools/windows/wine.sh stop ARCH                ends the prefix's server and its programs
#   tools/windows/wine.sh env ARCH                 prints the variables it runs Wine with
#
# KESTREL_WINE_PREFIX names another prefix (the release test makes a fresh one).
#
# Every Wine command runs under `timeout -s KILL`: a program gets
# KESTREL_WINE_TIMEOUT seconds (default 100, below the script tests' own
# bound, so that Wine is never left behind by a runner that gave up).
# Never add libraries to LD_LIBRARY_PATH for Wine: an i386 FreeType added that
# way (to quieten its "cannot find the FreeType font library") made Wine's
# desktop crash and restart in a loop of thousands of processes.
set -euo pipefail

cache=${KESTREL_CACHE:-$HOME/.cache/kestrel}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

die() { echo "wine.sh: $*" >&2; exit 1; }

usage() { sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//' >&2; exit 2; }

(($# >= 2)) || usage
command=$1 arch=$2
shift 2

private32=$cache/wine/i386
case $arch in
  x86_64)
    loader=/usr/lib/wine/wine64
    server=/usr/lib/wine/wineserver64
    ;;
  i686)
    loader=$private32/usr/lib/wine/wine
    server=$private32/usr/lib/wine/wineserver
    ;;
  *) usage ;;
esac
prefix=${KESTREL_WINE_PREFIX:-$cache/wine/prefix-$arch}

export WINEPREFIX=$prefix WINESERVER=$server WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installers when the prefix is made; no window system.
export WINEDLLOVERRIDES='mscoree,mshtml='
unset DISPLAY WAYLAND_DISPLAY

# The i386 packages unpacked, with the two things their installation would
# otherwise have done: `wineserver` (a script that looks for the servers in
# /usr/lib/wine) is pointed at the 32-bit server beside it, and zlib1.dll,
# which Debian's Wine takes from libz-mingw-w64, is put into its DLL folder
# marked as a Wine built-in DLL, as libwine's postinst does (Wine loads
# nothing else from that folder).
get_private32() {
  local stamp=$private32/.complete
  [[ -f $stamp && -x $loader ]] && return 0
  local zlib=/usr/i686-w64-mingw32/lib/zlib1.dll
  [[ -f $zlib ]] || die "$zlib is missing: install libz-mingw-w64"
  [[ -e /lib/ld-linux.so.2 ]] || die "the i386 C library is missing: install libc6-i386"
  echo "wine.sh: unpacking Debian's 32-bit Wine into $private32" >&2
  rm -rf "$private32"
  "$here/../private-apt.sh" unpack i386 "$private32" wine32 libwine wine32-preloader
  ln -sfn wineserver32 "$private32/usr/lib/wine/wineserver"
  local builtin=$private32/usr/lib/i386-linux-gnu/wine/i386-windows/zlib1.dll
  { head -c 64 "$zlib"; printf 'Wine builtin DLL'; head -c 16 /dev/zero; tail -c +97 "$zlib"; } >"$builtin"
  [[ -x $loader ]] || die "no Wine loader at $loader after unpacking"
  date -u +'wine32 libwine wine32-preloader unpacked %F %T' >"$stamp"
}

case $command in
  setup)
    if [[ $arch == i686 ]]; then
      get_private32
    else
      [[ -x $loader ]] || die "$loader is missing: install wine64"
    fi
    if [[ ! -f $prefix/system.reg ]]; then
      echo "wine.sh: making the $arch Wine prefix $prefix (once, about 600 MB)" >&2
      mkdir -p "$(dirname "$prefix")"
      # Its status says little (the first start runs wineboot itself); the
      # prefix's registry says whether it was made.
      timeout -s KILL 300 "$loader" wineboot.exe --init >/dev/null 2>&1 || true
      timeout -s KILL 60 "$server" -w || true
      [[ -f $prefix/system.reg ]] || die "Wine did not make the prefix $prefix"
    fi
    ;;
  run)
    (($#)) || usage
    [[ -x $loader ]] || die "no Wine for $arch at $loader: run tools/windows/wine.sh setup $arch"
    exec timeout -s KILL "${KESTREL_WINE_TIMEOUT:-100}" "$loader" "$@"
    ;;
  stop)
    [[ -x $server ]] || exit 0
    timeout -s KILL 60 "$server" -k 2>/dev/null || true
    timeout -s KILL 60 "$server" -w 2>/dev/null || true
    ;;
  env)
    printf '%s\n' "WINEPREFIX=$WINEPREFIX" "WINESERVER=$WINESERVER" "WINELOADER=$loader" \
      "WINEDEBUG=$WINEDEBUG" "WINEDLLOVERRIDES=$WINEDLLOVERRIDES"
    ;;
  *) usage ;;
esac
