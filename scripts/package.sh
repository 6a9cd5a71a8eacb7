#!/usr/bin/env bash
# Installs what is missing and builds the Debian package into build-package/ (or BUILD-FOLDER).
# Prints the package's path on stdout; the build talks on stderr.
#   scripts/package.sh [BUILD-FOLDER]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build-package}"
timeout 1800 "$root/scripts/install-deps.sh" dpkg-dev file >&2
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# Debian's hardening for what it installs: fortified functions, stack protector, relocations made
# read-only and bound at start.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
ldflags="$(dpkg-buildflags --get LDFLAGS)"
timeout 600 cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" \
    -DKOLVANE_BUILD_TESTS=OFF -DKOLVANE_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
timeout 3600 cmake --build "$build" -j"${KOLVANE_JOBS:-$(nproc)}" --target kolvane kolvane-convert kolvane-packaging-files >&2
rm -f "$build"/kolvane_*.deb
(cd "$build" && timeout 900 cpack -G DEB >/dev/null)
debs=("$build"/kolvane_*.deb)
if [[ ${#debs[@]} -ne 1 || ! -f ${debs[0]} ]]; then
    echo "package.sh: cpack made no single kolvane_*.deb in $build" >&2
    exit 1
fi
echo "${debs[0]}"
