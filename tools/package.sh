#!/usr/bin/env bash
# Makes the release files in dist/ and tests them as an admin would use them:
#
#   kestrel-VERSION-windows-x86.zip    the game's 32-bit Windows
#   kestrel-VERSION-windows-x64.zip
#   kestrel-VERSION-linux-x86_64.tar.gz
#   kestrel-VERSION-linux-i386.tar.gz  when the i386 packages are installed
#                                      (tools/test.sh i386 installs them)
#   SHA256SUMS
#
# VERSION is project()'s in CMakeLists.txt. Each target is built in Release
# in build-release-TARGET/. A Windows zip holds modules/ (kestrel.dll, the
# interpreter's DLL and every DLL those import that is not part of Windows,
# found by walking the imports), LICENSES/ and INSTALL.txt; it is tested by
# tools/windows/release-test.sh under a fresh Wine prefix. A Linux tarball
# holds kestrel.so and an INSTALL.txt naming the Debian packages it needs,
# found from the libraries it is linked with; it is tested in a folder of its
# own here and, with --fresh-machine, on a brand-new Debian 12 system with
# only those packages.
#
# Usage: tools/package.sh [--no-test] [--fresh-machine] [TARGET...]
#   targets: windows-x86 windows-x64 linux-x86_64 linux-i386 (default: all)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dist=$top/dist
jobs=$(nproc)

test_them=1 fresh=0 targets=()
for argument in "$@"; do
  case $argument in
    --no-test) test_them=0 ;;
    --fresh-machine) fresh=1 ;;
    windows-x86 | windows-x64 | linux-x86_64 | linux-i386) targets+=("$argument") ;;
    *) sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//' >&2; exit 2 ;;
  esac
done
explicit=${#targets[@]}
((explicit)) || targets=(windows-x86 windows-x64 linux-x86_64 linux-i386)

version=$(sed -n 's/^project(kestrel VERSION \([0-9][0-9.]*\) .*/\1/p' "$top/CMakeLists.txt")
[[ -n $version ]] || { echo "package: no version in CMakeLists.txt's project()" >&2; exit 1; }
say() { echo "package: $*"; }
die() { echo "package: $*" >&2; exit 1; }

"$top/tools/deps.sh" cmake make g++ pkg-config zip unzip ruby3.1-dev liblua5.1-0-dev \
  wine64 libz-mingw-w64 libc6-i386

build() {  # DIR CMAKE-ARGUMENTS...
  local dir=$1
  shift
  cmake -S "$top" -B "$dir" -DCMAKE_BUILD_TYPE=Release -DKESTREL_TESTS=OFF "$@" >/dev/null
  cmake --build "$dir" -j"$jobs" >/dev/null
}

mkdir -p "$dist"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# --- Windows ---------------------------------------------------------------

# Where a Windows DLL comes from: shipped when it is found beside the
# interpreter's DLL or in the cross compiler's runtime folders, part of
# Windows when Wine has a DLL of that name; anything else stops the release.
find_ci() {  # FOLDER NAME: the file in FOLDER whose name matches NAME in any case
  find "$1" -maxdepth 1 -iname "$2" -print -quit 2>/dev/null
}

windows_dlls() {  # TRIPLE WINE-DLL-FOLDER SEARCH-FOLDER... < names on stdin; ships into $modules
  local triple=$1 windows=$2
  shift 2
  local queue=() seen=" " name found folder imports
  mapfile -t queue
  while ((${#queue[@]})); do
    name=${queue[0]}
    queue=("${queue[@]:1}")
    [[ $seen == *" ${name,,} "* ]] && continue
    seen+="${name,,} "
    [[ ${name,,} == tier0.dll ]] && continue  # the game's own console library
    found=
    for folder in "$@"; do
      found=$(find_ci "$folder" "$name")
      [[ -n $found ]] && break
    done
    if [[ -n $found ]]; then
      [[ -e $modules/$(basename "$found") ]] || cp "$found" "$modules/"
      "$triple-strip" --strip-unneeded "$modules/$(basename "$found")"
      mapfile -t imports < <("$triple-objdump" -p "$found" | sed -n 's/^\s*DLL Name: //p')
      queue+=("${imports[@]}")
    elif [[ -z $(find_ci "$windows" "$name") ]]; then
      die "cannot tell where $name comes from: not beside the interpreter, not in the compiler's runtime, not a Windows DLL"
    fi
  done
}

package_windows() {  # x86|x64
  local label=$1 arch triple ruby_so build wine_dlls
  if [[ $label == x86 ]]; then
    arch=i686 ruby_so=msvcrt-ruby310 build=$top/build-release-win32
    wine_dlls=${KESTREL_CACHE:-$HOME/.cache/kestrel}/wine/i386/usr/lib/i386-linux-gnu/wine/i386-windows
  else
    arch=x86_64 ruby_so=x64-msvcrt-ruby310 build=$top/build-release-win64
    wine_dlls=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows
  fi
  triple=$arch-w64-mingw32
  "$top/tools/windows/build-deps.sh" "$arch"
  "$top/tools/windows/wine.sh" setup "$arch"
  build "$build" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchains/mingw-$arch.cmake"
  local deps=${KESTREL_WINDOWS_CACHE:-$HOME/.cache/kestrel/windows}/$triple
  local name=kestrel-$version-windows-$label
  local stage=$work/$name
  modules=$stage/modules
  mkdir -p "$modules" "$stage/LICENSES"
  cp "$build/kestrel.dll" "$modules/"
  # kestrel.dll loads the interpreter's DLL itself; the walk starts from both.
  printf '%s\n' kestrel.dll "$ruby_so.dll" |
    windows_dlls "$triple" "$wine_dlls" "$build" "$deps/ruby/bin" "/usr/$triple/lib" /usr/lib/gcc/"$triple"/*-posix

  local ruby_src
  ruby_src=$(find "${KESTREL_WINDOWS_CACHE:-$HOME/.cache/kestrel/windows}/src" -maxdepth 1 -type d -name 'ruby3.1-*' | sort | tail -n 1)
  mkdir -p "$stage/LICENSES/ruby" "$stage/LICENSES/gcc-runtime" "$stage/LICENSES/mingw-w64"
  cp "$ruby_src"/{COPYING,BSDL,LEGAL} "$stage/LICENSES/ruby/"
  cp "$ruby_src/debian/copyright" "$stage/LICENSES/ruby/debian-copyright"
  cp /usr/share/doc/gcc-mingw-w64-base/copyright "$stage/LICENSES/gcc-runtime/copyright"
  cp /usr/share/doc/mingw-w64-"${arch/_/-}"-dev/copyright "$stage/LICENSES/mingw-w64/copyright"

  local shipped
  shipped=$(cd "$modules" && ls | sort | sed 's/^/    /')
  local bits=64
  [[ $label == x86 ]] && bits=32
  sed 's/$/\r/' >"$stage/INSTALL.txt" <<EOF
kestrel $version for $bits-bit Windows

kestrel adds the table rb to the game's Lua scripts: rb.Initialize,
rb.Terminate, rb.RunString and rb.RunFile drive an embedded Ruby 3.1.

Installing
1. Copy every file of the folder modules/ into the folder the game loads its
   binary modules from:
$shipped
   They must stay together in that one folder: kestrel.dll loads the
   interpreter's DLL from its own folder. Nothing goes beside the game's
   executable, and nothing needs to be on PATH. The game provides tier0.dll.
2. Start the game. When it loads the module, its console shows:
     kestrel locked & loaded!
3. From a Lua script:
     rb.Initialize()
     rb.RunString('puts "ok\\n"')
   writes "ok" to the console.

If the console shows instead
     kestrel error: cannot load the interpreter's library '...\\$ruby_so.dll' (Windows error 126)
     kestrel error: the interpreter could not be started
the interpreter's DLL is not beside kestrel.dll.

Licences of everything shipped are in LICENSES/: Ruby's (ruby/, with the
libraries built into the interpreter's DLL in LEGAL), and those of the
compiler runtimes linked into the DLLs (gcc-runtime/, mingw-w64/).
EOF
  rm -f "$dist/$name.zip"
  (cd "$work" && zip -qrX "$dist/$name.zip" "$name")
  say "$dist/$name.zip: $(cd "$modules" && ls | tr '\n' ' ')"
  if ((test_them)); then
    "$top/tools/windows/release-test.sh" "$arch" "$dist/$name.zip" "$build"
  fi
}

# --- Linux -----------------------------------------------------------------

# The shared fresh-machine tool, beside the checkout (or beside a worktree's
# parent); KESTREL_FRESH_MACHINE names it elsewhere.
fresh_machine() {
  local tool
  for tool in "${KESTREL_FRESH_MACHINE:-}" "$top/../shared/tools/fresh-machine" "$top/../../shared/tools/fresh-machine"; do
    [[ -n $tool && -x $tool ]] && { echo "$tool"; return; }
  done
  die "no fresh-machine tool in ../shared/tools; set KESTREL_FRESH_MACHINE"
}

package_linux() {  # x86_64|i386
  local label=$1 build toolchain=() multiarch suffix=
  if [[ $label == i386 ]]; then
    build=$top/build-release-i386 toolchain=(-DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchains/i386-linux.cmake")
    multiarch=i386-linux-gnu suffix=:i386
    if ! dpkg-query -W -f='${Status}' libruby3.1:i386 2>/dev/null | grep -q 'install ok installed'; then
      say "linux-i386 skipped: the i386 Ruby and Lua packages are not installed (tools/test.sh i386 installs them)"
      ((explicit)) && exit 1
      return 0
    fi
  else
    build=$top/build-release multiarch=x86_64-linux-gnu
  fi
  build "$build" "${toolchain[@]}"
  local name=kestrel-$version-linux-$label
  local stage=$work/$name
  mkdir -p "$stage"
  cp "$build/kestrel.so" "$stage/"
  strip --strip-unneeded "$stage/kestrel.so"

  # The packages of the libraries it is linked with, but the game's own
  # console library.
  local needed library path packages=()
  mapfile -t needed < <(objdump -p "$stage/kestrel.so" | sed -n 's/^\s*NEEDED\s*//p')
  for library in "${needed[@]}"; do
    [[ $library == libtier0.so ]] && continue
    path=
    for folder in /lib/$multiarch /usr/lib/$multiarch /lib32 /usr/lib32; do
      [[ -e $folder/$library ]] && { path=$folder/$library; break; }
    done
    [[ -n $path ]] || die "cannot find $library, which kestrel.so needs"
    packages+=("$(dpkg -S "$(readlink -f "$path")" 2>/dev/null | head -n 1 | cut -d: -f1 || true)")
    [[ -n ${packages[-1]} ]] || packages[-1]=$(dpkg -S "$path" | head -n 1 | cut -d: -f1)
  done
  local list
  list=$(printf '%s\n' "${packages[@]}" | sort -u | sed "s/\$/$suffix/" | tr '\n' ' ')
  cat >"$stage/INSTALL.txt" <<EOF
kestrel $version for Linux ($label)

kestrel adds the table rb to the game's Lua scripts: rb.Initialize,
rb.Terminate, rb.RunString and rb.RunFile drive an embedded Ruby 3.1.

Installing on Debian 12
1. Install the packages it needs:
     apt-get install ${list% }
   It uses Debian's Ruby library, found by the system's loader; nothing is
   bundled.
2. Copy kestrel.so into the folder the game loads its binary modules from.
   The game provides libtier0.so.
3. Start the game. When it loads the module, its console shows:
     kestrel locked & loaded!
   From a Lua script:
     rb.Initialize()
     rb.RunString('puts "ok\\n"')
   writes "ok" to the console.
EOF
  echo "${list% }" >"$work/$name.packages"
  rm -f "$dist/$name.tar.gz"
  tar -C "$work" --owner=0 --group=0 --numeric-owner -czf "$dist/$name.tar.gz" "$name"
  say "$dist/$name.tar.gz: needs ${list% }"
  if ((test_them)); then
    "$top/tools/release-test-linux.sh" "$dist/$name.tar.gz" "$build"
    if ((fresh)); then
      # The fresh system sees this machine's /dev/shm; the project's clone
      # there is the committed one.
      local shared
      shared=$(mktemp -d /dev/shm/kestrel-release.XXXXXX)
      cp "$dist/$name.tar.gz" "$build/kestrel-host" "$build/libtier0.so" "$shared/"
      (cd "$top" && "$(fresh_machine)" -- tools/release-test-linux.sh --install \
        "$shared/$name.tar.gz" "$shared") || { rm -rf "$shared"; die "the fresh-machine test of $name failed"; }
      rm -rf "$shared"
    fi
  fi
}

for target in "${targets[@]}"; do
  case $target in
    windows-x86) package_windows x86 ;;
    windows-x64) package_windows x64 ;;
    linux-x86_64) package_linux x86_64 ;;
    linux-i386) package_linux i386 ;;
  esac
done

(cd "$dist" && sha256sum -- kestrel-"$version"-* >SHA256SUMS.part && mv SHA256SUMS.part SHA256SUMS)
say "release files in $dist:"
(cd "$dist" && ls -l kestrel-"$version"-* SHA256SUMS | awk '{print "  " $5 "\t" $9}')
