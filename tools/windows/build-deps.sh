#!/usr/bin/env bash
# Build the Windows dependencies of kestrel (CRuby 3.1 and Lua 5.1) with the
# mingw-w64 cross compilers, from Debian's source packages.
#
#   tools/windows/build-deps.sh i686|x86_64
#
# Everything goes into a cache folder outside the checkout:
#
#   ${KESTREL_WINDOWS_CACHE:-$HOME/.cache/kestrel/windows}/
#     src/                       unpacked + patched Debian sources (shared)
#     <triple>/ruby/             Ruby install prefix (bin, include, lib)
#     <triple>/lua/              Lua 5.1 (bin/lua51.dll, include, lib)
#     <triple>/build/            build trees and logs
#     <triple>/.complete         stamp, written last
#
# A complete cache (stamp present and matching this script's build recipe) is
# reused as is; anything else is rebuilt from scratch. Progress and a summary
# go to stderr. The CMake toolchains (cmake/toolchains/mingw-*.cmake) find
# everything by these paths.
#
# Environment:
#   KESTREL_WINDOWS_CACHE  cache root (default ~/.cache/kestrel/windows)
#   KESTREL_JOBS           parallel make jobs (default: nproc)
#   KESTREL_FORCE_REBUILD  set to 1 to ignore the stamp and rebuild
set -euo pipefail

# Bump when the recipe below changes so that existing caches get rebuilt.
RECIPE_REV=2

usage() {
    echo "usage: $0 i686|x86_64" >&2
    exit 2
}

[[ $# -eq 1 ]] || usage
case "$1" in
    x86_64) ARCH=x86_64; MINGW_PKG_ARCH=x86-64 ;;
    i686)   ARCH=i686;   MINGW_PKG_ARCH=i686 ;;
    *) usage ;;
esac

TRIPLE="${ARCH}-w64-mingw32"
CACHE_ROOT="${KESTREL_WINDOWS_CACHE:-$HOME/.cache/kestrel/windows}"
JOBS="${KESTREL_JOBS:-$(nproc 2>/dev/null || echo 2)}"
BASERUBY=/usr/bin/ruby3.1

# The posix-threads flavour of the mingw-w64 compilers (std::thread etc.).
CC="${TRIPLE}-gcc-posix"
CXX="${TRIPLE}-g++-posix"

log() { printf '[build-deps %s] %s\n' "$TRIPLE" "$*" >&2; }
die() { log "error: $*"; exit 1; }

# Run a long step with its output in a log file; show the tail when it fails.
# The command runs in a background subshell so that `set -e` still holds
# inside shell functions (it is switched off in `if` conditions).
run_logged() {
    local logfile=$1; shift
    ( "$@" ) >"$logfile" 2>&1 &
    if ! wait $!; then
        log "command failed: $*"
        log "last lines of $logfile:"
        tail -n 40 "$logfile" >&2
        return 1
    fi
}

# The cache must stay outside the git checkout this script lives in, so that
# builds never show up as working-tree changes.
SCRIPT_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
CHECKOUT="$(git -C "$SCRIPT_DIR" rev-parse --show-toplevel 2>/dev/null || true)"
mkdir -p "$CACHE_ROOT"
CACHE_ROOT="$(cd "$CACHE_ROOT" && pwd)"
if [[ -n "$CHECKOUT" && ( "$CACHE_ROOT" == "$CHECKOUT" || "$CACHE_ROOT" == "$CHECKOUT"/* ) ]]; then
    die "cache folder $CACHE_ROOT is inside the checkout $CHECKOUT; pick another KESTREL_WINDOWS_CACHE"
fi
DEST="${CACHE_ROOT}/${TRIPLE}"
SRC_ROOT="${CACHE_ROOT}/src"
BUILD_ROOT="${DEST}/build"
RUBY_PREFIX="${DEST}/ruby"
LUA_PREFIX="${DEST}/lua"
STAMP="${DEST}/.complete"

# ---------------------------------------------------------------------------
# Cache check
# ---------------------------------------------------------------------------
if [[ "$ARCH" == x86_64 ]]; then
    RUBY_DLL=x64-msvcrt-ruby310.dll
    RUBY_ARCHDIR=x64-mingw32
else
    RUBY_DLL=msvcrt-ruby310.dll
    RUBY_ARCHDIR=i386-mingw32
fi
RUBY_IMPLIB="lib${RUBY_DLL%.dll}.dll.a"

# The stamp holds the recipe; a different recipe means a stale cache.
stamp_text() {
    printf 'recipe=%s\ntriple=%s\nruby_src=%s\nlua_src=%s\n' \
        "$RECIPE_REV" "$TRIPLE" "${RUBY_SRC_NAME:-?}" "${LUA_SRC_NAME:-?}"
}

cache_complete() {
    [[ "${KESTREL_FORCE_REBUILD:-0}" != 1 ]] || return 1
    [[ -f "$STAMP" ]] || return 1
    grep -qx "recipe=${RECIPE_REV}" "$STAMP" || return 1
    grep -qx "triple=${TRIPLE}" "$STAMP" || return 1
    local f
    for f in \
        "$RUBY_PREFIX/bin/$RUBY_DLL" \
        "$RUBY_PREFIX/lib/$RUBY_IMPLIB" \
        "$RUBY_PREFIX/include/ruby-3.1.0/ruby.h" \
        "$RUBY_PREFIX/include/ruby-3.1.0/$RUBY_ARCHDIR/ruby/config.h" \
        "$RUBY_PREFIX/lib/ruby/3.1.0/$RUBY_ARCHDIR/rbconfig.rb" \
        "$LUA_PREFIX/bin/lua51.dll" \
        "$LUA_PREFIX/lib/liblua51.dll.a" \
        "$LUA_PREFIX/include/lua.h" \
        "$LUA_PREFIX/include/luaconf.h"; do
        [[ -e "$f" ]] || return 1
    done
}

report() {
    cat >&2 <<EOF
[build-deps $TRIPLE] ready:
  Ruby 3.1 prefix : $RUBY_PREFIX
    DLL           : $RUBY_PREFIX/bin/$RUBY_DLL
    import lib    : $RUBY_PREFIX/lib/$RUBY_IMPLIB
  Lua 5.1 prefix  : $LUA_PREFIX
    DLL           : $LUA_PREFIX/bin/lua51.dll
    import lib    : $LUA_PREFIX/lib/liblua51.dll.a
  Ruby source     : $RUBY_SRC
EOF
}

# Find the unpacked sources if they are there already (no network needed).
find_sources() {
    RUBY_SRC="$(find "$SRC_ROOT" -maxdepth 1 -type d -name 'ruby3.1-3.1*' 2>/dev/null | sort | tail -n 1 || true)"
    LUA_SRC="$(find "$SRC_ROOT" -maxdepth 1 -type d -name 'lua5.1-5.1*' 2>/dev/null | sort | tail -n 1 || true)"
    RUBY_SRC_NAME="$(basename "${RUBY_SRC:-none}")"
    LUA_SRC_NAME="$(basename "${LUA_SRC:-none}")"
}

find_sources
if cache_complete && [[ -f "$SRC_ROOT/.complete" ]]; then
    log "cache is complete ($STAMP), nothing to build"
    report
    exit 0
fi

# ---------------------------------------------------------------------------
# Host packages and sources (shared between targets; serialised with a lock
# so that i686 and x86_64 builds can be started at the same time)
# ---------------------------------------------------------------------------
exec 8>"$CACHE_ROOT/.prep.lock"
flock 8

if [[ $(id -u) -eq 0 ]]; then SUDO=(); else SUDO=(sudo); fi

APT_UPDATED=0
apt_update_once() {
    if [[ $APT_UPDATED -eq 0 ]]; then
        log "apt-get update"
        # An index the archive serves broken is a warning: the install says
        # whether a package it needs is really missing.
        run_logged "$CACHE_ROOT/apt-update.log" "${SUDO[@]}" apt-get -o DPkg::Lock::Timeout=600 update ||
            log "warning: apt-get update failed for some indexes; going on"
        APT_UPDATED=1
    fi
}

need_pkgs=(ruby3.1 make autoconf bison dpkg-dev "g++-mingw-w64-${MINGW_PKG_ARCH}-posix")
missing=()
for p in "${need_pkgs[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
if [[ ${#missing[@]} -gt 0 ]]; then
    apt_update_once
    log "installing: ${missing[*]}"
    run_logged "$CACHE_ROOT/apt-install.log" \
        env DEBIAN_FRONTEND=noninteractive "${SUDO[@]}" apt-get -o DPkg::Lock::Timeout=600 install -y --no-install-recommends "${missing[@]}"
fi
command -v "$CC" >/dev/null || die "$CC not found after installing g++-mingw-w64-${MINGW_PKG_ARCH}-posix"
[[ -x "$BASERUBY" ]] || die "$BASERUBY not found"

if [[ ! -f "$SRC_ROOT/.complete" ]]; then
    log "fetching Debian sources of ruby3.1 and lua5.1 into $SRC_ROOT"
    rm -rf "$SRC_ROOT"
    mkdir -p "$SRC_ROOT"
    "$SCRIPT_DIR/../private-apt.sh" source "$SRC_ROOT" ruby3.1 lua5.1
    find_sources
    [[ -n "$RUBY_SRC" && -f "$RUBY_SRC/configure.ac" ]] || die "ruby3.1 source not found under $SRC_ROOT"
    [[ -n "$LUA_SRC" && -f "$LUA_SRC/src/lua.h" ]] || die "lua5.1 source not found under $SRC_ROOT"

    # The Debian patches touch configure.ac, so configure is out of date;
    # regenerate it once here (the source tree is shared by both targets,
    # which build out of tree).
    log "autoconf in $RUBY_SRC"
    (cd "$RUBY_SRC" && run_logged "$SRC_ROOT/autoconf.log" autoconf)
    stamp_text >"$SRC_ROOT/.complete"
fi
find_sources

flock -u 8
exec 8>&-

# ---------------------------------------------------------------------------
# Per-target build (one at a time per target)
# ---------------------------------------------------------------------------
mkdir -p "$DEST"
exec 9>"$DEST/.lock"
flock 9

if cache_complete; then
    log "cache was completed by another run meanwhile"
    report
    exit 0
fi

rm -f "$STAMP"
rm -rf "$RUBY_PREFIX" "$LUA_PREFIX" "$BUILD_ROOT"
mkdir -p "$BUILD_ROOT"

START=$(date +%s)

# --- Lua 5.1 ---------------------------------------------------------------
# Built by hand rather than with the Debian Makefile (which is libtool/ELF
# oriented): all of src/*.c except the standalone lua/luac front ends, as a
# DLL with the usual Windows name lua51.dll, plus its import library.
build_lua() {
    local b="$BUILD_ROOT/lua"
    mkdir -p "$b" "$LUA_PREFIX/bin" "$LUA_PREFIX/lib" "$LUA_PREFIX/include"
    local objs=() f o
    for f in "$LUA_SRC"/src/*.c; do
        case "$(basename "$f")" in lua.c|luac.c|print.c) continue ;; esac
        o="$b/$(basename "${f%.c}").o"
        "$CC" -O2 -Wall -DLUA_BUILD_AS_DLL -I"$LUA_SRC/src" -c "$f" -o "$o"
        objs+=("$o")
    done
    # Static libgcc so the DLL does not pull in libgcc_s_*.dll.
    "$CC" -shared -static-libgcc -o "$LUA_PREFIX/bin/lua51.dll" "${objs[@]}" \
        -Wl,--out-implib,"$LUA_PREFIX/lib/liblua51.dll.a"
    # A stand-alone interpreter linked against the DLL, handy as a minimal
    # host for loading a module under wine.
    "$CC" -O2 -Wall -I"$LUA_SRC/src" -c "$LUA_SRC/src/lua.c" -o "$b/lua.o"
    "$CC" -static-libgcc -o "$LUA_PREFIX/bin/lua.exe" "$b/lua.o" "$LUA_PREFIX/lib/liblua51.dll.a"
    local h
    for h in lua.h lualib.h lauxlib.h luaconf.h; do
        install -m 644 "$LUA_SRC/src/$h" "$LUA_PREFIX/include/$h"
    done
    [[ -f "$LUA_SRC/etc/lua.hpp" ]] && install -m 644 "$LUA_SRC/etc/lua.hpp" "$LUA_PREFIX/include/lua.hpp"
    return 0
}
log "building Lua 5.1 ($LUA_SRC_NAME)"
run_logged "$BUILD_ROOT/lua.log" build_lua

# --- Ruby 3.1 --------------------------------------------------------------
# Cross build with the same-version system ruby as base ruby. No extensions
# (kestrel only needs the core), none of the JIT, docs or bundled gems.
b="$BUILD_ROOT/ruby"
mkdir -p "$b"
log "configuring Ruby ($RUBY_SRC_NAME) in $b"
(cd "$b" && run_logged "$b/configure.log" \
    "$RUBY_SRC/configure" \
        --build=x86_64-pc-linux-gnu \
        --host="$TRIPLE" \
        --target="$TRIPLE" \
        --prefix="$RUBY_PREFIX" \
        --with-baseruby="$BASERUBY" \
        --enable-shared \
        --disable-install-doc \
        --disable-jit-support \
        --without-gmp \
        --with-static-linked-ext \
        --with-out-ext='*' \
        CC="$CC" CXX="$CXX" \
        AR="${TRIPLE}-ar" RANLIB="${TRIPLE}-ranlib" NM="${TRIPLE}-nm" \
        STRIP="${TRIPLE}-strip" WINDRES="${TRIPLE}-windres" \
        DLLWRAP="${TRIPLE}-dllwrap" OBJDUMP="${TRIPLE}-objdump")
log "building Ruby (make -j$JOBS, a few minutes; log: $b/make.log)"
# With statically linked extensions, `make main` builds `exts` and `libencs`
# in parallel and both archive enc/libenc.a; under -j they can write it at the
# same time and leave a corrupt archive (seen on i686: undefined Init_* of the
# encodings when linking the DLL). Building the encoding libraries first, in
# their own make run, removes the race.
(cd "$b" && run_logged "$b/make-libencs.log" make -j"$JOBS" RUBYSPEC_CAPIEXT=none libencs)
(cd "$b" && run_logged "$b/make.log" make -j"$JOBS" RUBYSPEC_CAPIEXT=none)
log "installing Ruby into $RUBY_PREFIX"
(cd "$b" && run_logged "$b/install.log" make install RUBYSPEC_CAPIEXT=none \
    INSTRUBY_OPTS='--exclude=gem --exclude=man')

[[ -f "$RUBY_PREFIX/bin/$RUBY_DLL" ]] || die "expected $RUBY_PREFIX/bin/$RUBY_DLL after install"
[[ -f "$RUBY_PREFIX/lib/$RUBY_IMPLIB" ]] || die "expected $RUBY_PREFIX/lib/$RUBY_IMPLIB after install"

# The installed DLL carries Ruby's default -ggdb3 debug info (about 200 MB for
# x86_64); strip it from the prefix so copying it next to test programs stays
# cheap. The unstripped DLL stays in the build tree for gdb.
log "stripping debug info from $RUBY_PREFIX/bin (unstripped copies in $b)"
for f in "$RUBY_PREFIX"/bin/*.dll "$RUBY_PREFIX"/bin/*.exe; do
    "${TRIPLE}-strip" --strip-debug "$f"
done

stamp_text >"$STAMP"
log "built in $(( $(date +%s) - START ))s"
report
