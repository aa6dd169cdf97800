#!/usr/bin/env bash
# Installs what building and testing Selvarex needs, from Debian's packages.
# Runs apt through sudo when not root.
#   --windows  also the 32- and 64-bit MinGW-w64 cross compilers and wine
#              (32- and 64-bit), for scripts/test-windows.sh
set -euo pipefail

windows=false
for arg in "$@"; do
  case "$arg" in
    --windows) windows=true ;;
    *) echo "usage: $0 [--windows]" >&2; exit 2 ;;
  esac
done

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

packages=(build-essential cmake ninja-build pkg-config
          qt6-base-dev qt6-base-dev-tools libgl-dev
          libgtest-dev libgmock-dev
          libcli11-dev nlohmann-json3-dev
          clang-format)
if "$windows"; then
  # wine32 runs the 32-bit test programs; it comes from the i386 architecture.
  if [ "$(dpkg --print-architecture)" = amd64 ] &&
     ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386
  fi
  packages+=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 googletest wine wine32:i386 wine64)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# A mirror in the middle of a sync serves indices that do not match their
# release file for a while: try again, then go on with what apt has, so that
# only packages that really cannot be had fail the install.
update_indices() {
  local attempt
  for attempt in 1 2 3; do
    as_root apt-get update -qq && return 0
    [ "$attempt" -lt 3 ] && { echo "apt-get update failed; trying again in 30 s" >&2; sleep 30; }
  done
  echo "apt-get update failed three times; installing from the package lists apt has" >&2
}
if [ "${#missing[@]}" -gt 0 ]; then
  update_indices
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
