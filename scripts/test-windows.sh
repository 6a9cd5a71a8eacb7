#!/usr/bin/env bash
# The core's and the command line's tests on Windows: cross-built with MinGW-w64 and run under Wine,
# each test binary as a whole (ctest cannot start a Windows program). The tests that need fork, exec,
# resource limits or named pipes stay out of the Windows build (tests/CMakeLists.txt).
#   scripts/test-windows.sh [BUILD-FOLDER]
# The build folder is package-windows.sh's by default, so the core is compiled once for both.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build-windows}"
source "$root/scripts/mingw.sh"
# GoogleTest is compiled from its source for Windows.
timeout 1800 "$root/scripts/install-deps.sh" googletest >&2
mingw_configure "$root" "$build" -DKOLVANE_BUILD_TESTS=ON
tests=(kolvane_core_tests kolvane_settings_tests kolvane_cli_tests)
timeout 3600 cmake --build "$build" -j"${KOLVANE_JOBS:-$(nproc)}" --target "${tests[@]}" >&2

source "$root/scripts/wine.sh"
wine_start
failed=()
# From the build folder, on Wine's drive Z:, where the tests' Linux paths to their data resolve.
cd "$build"
for test in "${tests[@]}"; do
    log="$WINEPREFIX/$test.log"
    status=0
    timeout 900 "$KOLVANE_WINE" "$test.exe" --gtest_brief=1 >"$log" 2>&1 || status=$?
    cat "$log" >&2
    # Under Wine a crash in a thread other than the main one can end the program with status 0; a run
    # that got to its end prints its summary.
    if [[ $status -eq 0 ]] && ! wine_crashed "$log" &&
        grep -q '^\[  PASSED  \]' "$log"; then
        echo "test-windows.sh: $test passed under Wine" >&2
    else
        failed+=("$test")
    fi
done
[[ ${#failed[@]} -eq 0 ]] || { echo "test-windows.sh: failed under Wine: ${failed[*]}" >&2; exit 1; }
