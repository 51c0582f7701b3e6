#!/usr/bin/env bash
# Makes the i386 libraries the 32-bit Linux build needs beside the 64-bit
# machine's own compiler: Ruby 3.1, Lua 5.1 and GoogleTest, with the libraries
# libruby needs at run time (zlib, GMP, libcrypt), unpacked from Debian's i386
# packages into a folder of the project's cache. Nothing is installed: dpkg and
# /etc/apt never hear of i386. The compiler and the C library come from
# g++-multilib (64-bit packages, installed by tools/test.sh).
#
# Usage: tools/i386-sysroot.sh    prints the sysroot's path
#
# The sysroot keeps the packages' own layout (usr/lib/i386-linux-gnu/...,
# usr/include/..., lib/i386-linux-gnu/...), so the interpreter's own folder is
# usr/lib/i386-linux-gnu/ruby/3.1.0 beside its library, as on an installed
# system. cmake/toolchains/i386-linux.cmake is what knows how to build and run
# against it.
#
# State: ${KESTREL_CACHE:-~/.cache/kestrel}/i386/sysroot, made once and then
# reused; a changed package list below makes it again.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cache=${KESTREL_CACHE:-$HOME/.cache/kestrel}
home=$cache/i386
sysroot=$home/sysroot
packages=(libruby3.1 ruby3.1-dev liblua5.1-0 liblua5.1-0-dev libgtest-dev
          zlib1g libgmp10 libcrypt1)
stamp_text="packages=${packages[*]}"

complete() { [[ -d $sysroot && -f $home/.complete && $(<"$home/.complete") == "$stamp_text" ]]; }

mkdir -p "$home"
exec 9>"$home/.lock"
flock 9
if ! complete; then
  echo "i386-sysroot: unpacking ${packages[*]} (i386) into $sysroot" >&2
  rm -rf "$sysroot" "$sysroot.new" "$home/.complete"
  "$top/tools/private-apt.sh" unpack i386 "$sysroot.new" "${packages[@]}"
  for file in usr/lib/i386-linux-gnu/libruby-3.1.so usr/lib/i386-linux-gnu/pkgconfig/ruby-3.1.pc \
              usr/lib/i386-linux-gnu/pkgconfig/lua5.1.pc usr/lib/i386-linux-gnu/libgtest.a \
              usr/lib/i386-linux-gnu/ruby/3.1.0/enc/encdb.so; do
    [[ -e $sysroot.new/$file ]] || { echo "i386-sysroot: $file is missing after unpacking" >&2; exit 1; }
  done
  mv "$sysroot.new" "$sysroot"
  echo "$stamp_text" >"$home/.complete"
fi
echo "$sysroot"
