#!/usr/bin/env bash
# The window's tests on Windows: cross-builds kolvane.exe, the window tests and the plot tests against
# the Qt for Windows of scripts/build-qt-windows.sh and runs them under Wine, offscreen, then starts
# kolvane.exe once as a user would and checks that a portable copy keeps its settings beside itself.
#   scripts/test-windows-window.sh [--minutes-left N]
# Without a Qt for Windows cached on this machine, one is built when N minutes leave room for it
# (KOLVANE_QT_BUILD_MINUTES, 40 by default); otherwise the script says so and ends with status 0.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
minutes_left=
while [[ $# -gt 0 ]]; do
    case $1 in
        --minutes-left) minutes_left=$2; shift ;;
        *) echo "usage: $0 [--minutes-left N]" >&2; exit 2 ;;
    esac
    shift
done
started=$(date +%s)

if ! qt=$(scripts/build-qt-windows.sh --check 2>/dev/null | tail -n 1); then
    # Qt's build, then about 10 minutes for the window's own build and its tests.
    needed=$(( ${KOLVANE_QT_BUILD_MINUTES:-40} + 10 ))
    if [[ -n $minutes_left && $minutes_left -lt $needed ]]; then
        echo "Qt for Windows is not built on this machine, and its build with the window's tests (up to $needed" \
             "minutes) does not fit in the $minutes_left minutes left: the window's tests under Wine are not run." \
             "scripts/build-qt-windows.sh builds it once." >&2
        exit 0
    fi
    qt=$(scripts/build-qt-windows.sh | tail -n 1)
fi
scripts/install-deps.sh g++-mingw-w64-x86-64-posix wine64 ninja-build fonts-noto-cjk

build=build-windows-window
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DCMAKE_PREFIX_PATH="$qt" -DKOLVANE_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build "$build" -j2 --target kolvane kolvane_ui_tests kolvane_plot_tests

source scripts/wine.sh
wine_start "$qt/bin"
# Offscreen, Qt on Windows draws with the fonts of one folder; Japanese needs Noto CJK.
fonts=QT_QPA_FONTDIR=$(wine_path /usr/share/fonts/opentype/noto)
for test in kolvane_ui_tests kolvane_plot_tests; do
    log="$WINEPREFIX/$test.log"
    status=0
    wine_run "$fonts" -- "$build/$test.exe" -platform offscreen >"$log" 2>&1 || status=$?
    cat "$log" >&2
    # Under Wine a crash in a thread other than the main one can end the program with status 0.
    [[ $status -eq 0 ]] && grep -q '^\[  PASSED  \]' "$log" && ! wine_crashed "$log" \
        || { echo "test-windows-window.sh: $test failed under Wine (status $status)" >&2; exit 1; }
done

# A portable copy: the build folder holds locale.dat and Data\ beside kolvane.exe, so the first exit
# writes kolvane.ini there.
rm -f "$build/kolvane.ini"
wine_run "$fonts" -- "$build/kolvane.exe" -platform offscreen --quit-after-start
grep -q '^\[Path\]' "$build/kolvane.ini" || { echo "kolvane.exe kept no settings beside itself" >&2; exit 1; }
echo "The window's tests under Wine passed in $(( ($(date +%s) - started + 59) / 60 )) min." >&2
