#!/usr/bin/env bash
# Installs the Debian 12 packages that Kolvane needs to build, test and run; only what is missing.
#   scripts/install-deps.sh [extra packages...]
set -euo pipefail

packages=(build-essential cmake pkg-config qt6-base-dev qt6-svg-dev qt6-translations-l10n libgtest-dev libbenchmark-dev fonts-noto-cjk "$@")

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=()
[[ $(id -u) -ne 0 ]] && sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
