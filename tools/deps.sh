#!/usr/bin/env bash
# Installs the Debian packages that are missing for building kestrel.
# Usage: tools/deps.sh [--i386] PACKAGE...
#   --i386  first lets dpkg install i386 packages beside the 64-bit ones
set -euo pipefail

as_root=()
if [[ $(id -u) -ne 0 ]]; then
  as_root=(sudo)
fi

updated=
if [[ ${1:-} == --i386 ]]; then
  shift
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${as_root[@]}" dpkg --add-architecture i386
    "${as_root[@]}" apt-get update -qq
    updated=1
  fi
fi

missing=()
for package in "$@"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
((${#missing[@]})) || exit 0

echo "Installing: ${missing[*]}"
[[ -n $updated ]] || "${as_root[@]}" apt-get update -qq
# --no-remove: i386 packages must never take the place of 64-bit ones.
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends --no-remove "${missing[@]}"
