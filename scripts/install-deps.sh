#!/usr/bin/env bash
# Installs what building and testing Selvarex needs, from Debian's packages.
# Runs apt through sudo when not root.
set -euo pipefail

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

packages=(build-essential cmake ninja-build pkg-config
          qt6-base-dev qt6-base-dev-tools libgl-dev
          libgtest-dev libgmock-dev)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
