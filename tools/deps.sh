#!/usr/bin/env bash
# Installs the ordinary (64-bit) Debian packages that are missing for building
# kestrel, with `sudo` when not run as root. Nothing else about the machine's
# package setup is touched: no architectures are added, no sources written.
# Another architecture's packages and source packages go through
# tools/private-apt.sh instead.
#
# Usage: tools/deps.sh PACKAGE...
#
# `apt-get update` runs first (at most once an hour, unless an install fails);
# an index the archive serves broken is a warning, shown, not the end: the
# install says whether a package that is needed really cannot be had, and
# then this names the package and apt's reason, and fails.
set -euo pipefail

cache=${KESTREL_CACHE:-$HOME/.cache/kestrel}
missing=()
for package in "$@"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
((${#missing[@]})) || exit 0

as_root=()
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "deps: installing ${missing[*]} needs root, and there is no sudo" >&2; exit 1; }
  as_root=(sudo)
fi
apt=("${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600)

mkdir -p "$cache"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
stamp=$cache/apt-updated

updated=
update() {
  [[ -z $updated ]] || return 0
  updated=1
  echo "deps: apt-get update"
  if ! "${apt[@]}" update >"$log" 2>&1; then
    echo "deps: warning: apt-get update could not read every index; going on with the others:" >&2
    grep -E '^(E|W):' "$log" | grep -v 'unsandboxed' | head -5 >&2 || true
  fi
  touch "$stamp"
}

# --no-remove: installing for kestrel never takes a package away.
install() {
  "${apt[@]}" install -y -q --no-install-recommends --no-remove "${missing[@]}" >"$log" 2>&1
}

echo "deps: installing ${missing[*]}"
[[ -n $(find "$stamp" -mmin -60 2>/dev/null) ]] || update
if ! install; then
  update
  if ! install; then
    echo "deps: installing ${missing[*]} failed:" >&2
    grep -E '^E:|^ [^ ].* : ' "$log" | head -10 | sed 's/^/  /' >&2 || tail -5 "$log" | sed 's/^/  /' >&2
    # Which of them cannot be had, each tried alone, with apt's reason.
    for package in "${missing[@]}"; do
      if ! "${apt[@]}" install -s --no-install-recommends --no-remove "$package" >"$log" 2>&1; then
        echo "deps: cannot install $package: $(grep -E '^E:|^ [^ ].* : ' "$log" | head -3 | tr -s ' \n' ' ' | sed 's/ $//')" >&2
      fi
    done
    exit 1
  fi
fi
