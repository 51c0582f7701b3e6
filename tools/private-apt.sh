#!/usr/bin/env bash
# Fetches Debian packages that the machine's own apt setup does not offer
# (another architecture's binaries, source packages) through an apt state of
# the project's own under the cache, so that the machine's package setup
# (dpkg architectures, /etc/apt) is never changed.
#
# Usage:
#   tools/private-apt.sh download ARCH DIR PACKAGE...   .deb files into DIR
#   tools/private-apt.sh unpack ARCH DIR PACKAGE...     their contents into DIR (dpkg-deb -x)
#   tools/private-apt.sh source DIR PACKAGE...          unpacked source packages into DIR
#
# PACKAGE may carry a version (name=version). Nothing is installed and no
# dependency is followed: callers name every package they need. The indexes
# are refreshed at most once a day; an index the archive serves broken is a
# warning, and a package is missing only when no working index names it.
#
# State: ${KESTREL_CACHE:-~/.cache/kestrel}/apt/<ARCH or source>/
set -euo pipefail

cache=${KESTREL_CACHE:-$HOME/.cache/kestrel}

die() { echo "private-apt: $*" >&2; exit 1; }

# The machine's archive (deb822 or one-line form), as plain source lines.
archive_lines() {  # TYPE (deb or deb-src)
  local sources=/etc/apt/sources.list.d/debian.sources
  if [[ -f $sources ]]; then
    awk -v type="$1" '
      /^URIs:/ { uri = $2 } /^Suites:/ { $1 = ""; suites = $0 }
      /^Components:/ { $1 = ""; comps = $0 } /^Signed-By:/ { key = $2 }
      /^$/ { emit() } END { emit() }
      function emit(  n, s, i) {
        if (uri == "") return
        n = split(suites, s, " ")
        for (i = 1; i <= n; i++) printf "%s [signed-by=%s] %s %s%s\n", type, key, uri, s[i], comps
        uri = ""
      }' "$sources"
  else
    sed -n "s/^deb /$1 /p" /etc/apt/sources.list
  fi
}

# apt-get (or apt-cache) bound to the private state for one architecture (or "source").
apt_private() {  # NAME apt-get|apt-cache APT-ARGUMENTS...
  local name=$1 root=$cache/apt/$1 tool=$2
  shift 2
  local arch=$name
  [[ $name == source ]] && arch=$(dpkg --print-architecture)
  "$tool" -q -o Dir::State="$root/state" -o Dir::Cache="$root/cache" \
    -o Dir::Etc::SourceList="$root/sources.list" -o Dir::Etc::SourceParts=/dev/null \
    -o Dir::Etc::Preferences=/dev/null -o Dir::Etc::PreferencesParts=/dev/null \
    -o APT::Architecture="$arch" -o APT::Architectures="$arch" \
    -o APT::Sandbox::User=root -o Debug::NoLocking=1 "$@"
}

prepare() {  # NAME
  local name=$1 root=$cache/apt/$1
  mkdir -p "$root/state/lists/partial" "$root/cache/archives/partial"
  local type=deb
  [[ $name == source ]] && type=deb-src
  archive_lines "$type" >"$root/sources.list"
  local stamp=$root/state/updated
  if [[ -z $(find "$stamp" -mmin -1440 2>/dev/null) ]]; then
    if apt_private "$name" apt-get update >"$root/update.log" 2>&1; then
      touch "$stamp"
    else
      echo "private-apt: warning: some $name indexes could not be read; going on with the others:" >&2
      grep -E '^(E|W):' "$root/update.log" | head -5 >&2 || true
    fi
  fi
}

download() {  # ARCH DIR PACKAGE...
  local arch=$1 dir=$2
  shift 2
  prepare "$arch"
  mkdir -p "$dir"
  local package
  for package in "$@"; do
    (cd "$dir" && apt_private "$arch" apt-get download "$package" >"$cache/apt/$arch/download.log" 2>&1) ||
      die "cannot get $package for $arch: $(grep -m1 -E '^E:' "$cache/apt/$arch/download.log" || tail -1 "$cache/apt/$arch/download.log")"
  done
}

# The newest source version is not always downloadable (the security archive
# has been seen to list source packages whose files it then 404s), so older
# versions from the other suites are tried after it, newest first.
fetch_source() {  # DIR PACKAGE
  local dir=$1 package=$2 log=$cache/apt/source/source.log version
  [[ $package == *=* ]] && { apt_fetch_source "$dir" "$package" && return 0; die "cannot get the source of $package: $(grep -m1 -E '^E:' "$log")"; }
  local versions
  versions=$(apt_private source apt-cache showsrc "$package" 2>/dev/null | sed -n 's/^Version: //p' |
    sort -u | sort_versions)
  [[ -n $versions ]] || die "no source package $package in the archive's indexes"
  for version in $versions; do
    apt_fetch_source "$dir" "$package=$version" && return 0
    echo "private-apt: could not fetch $package=$version, trying an older one" >&2
    find "$dir" -maxdepth 1 -mindepth 1 -name "${package}[_-]*" -exec rm -rf {} +
  done
  die "cannot get the source of $package: $(grep -m1 -E '^E:' "$log" || tail -1 "$log")"
}

apt_fetch_source() {  # DIR PACKAGE=VERSION
  (cd "$1" && apt_private source apt-get source "$2" >"$cache/apt/source/source.log" 2>&1)
}

# Newest first, in dpkg's order.
sort_versions() {
  local sorted=() v i placed
  while read -r v; do
    placed=0
    for i in "${!sorted[@]}"; do
      if dpkg --compare-versions "$v" gt "${sorted[$i]}"; then
        sorted=("${sorted[@]:0:$i}" "$v" "${sorted[@]:$i}"); placed=1; break
      fi
    done
    ((placed)) || sorted+=("$v")
  done
  printf '%s\n' "${sorted[@]}"
}

case ${1:-} in
  download)
    (($# >= 4)) || die "usage: download ARCH DIR PACKAGE..."
    download "$2" "$3" "${@:4}"
    ;;
  unpack)
    (($# >= 4)) || die "usage: unpack ARCH DIR PACKAGE..."
    debs=$(mktemp -d)
    trap 'rm -rf "$debs"' EXIT
    download "$2" "$debs" "${@:4}"
    mkdir -p "$3"
    for deb in "$debs"/*.deb; do dpkg-deb -x "$deb" "$3"; done
    ;;
  source)
    (($# >= 3)) || die "usage: source DIR PACKAGE..."
    prepare source
    mkdir -p "$2"
    for package in "${@:3}"; do
      fetch_source "$2" "$package"
    done
    ;;
  *)
    sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//' >&2
    exit 2
    ;;
esac
