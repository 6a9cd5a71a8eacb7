#!/usr/bin/env bash
# Cross-builds the Windows programs with MinGW-w64 and packs them with CPack. With a Qt for Windows
# cached on this machine (scripts/build-qt-windows.sh) the build holds the window, kolvane.exe, as well
# as kolvane-convert.exe, and CPack makes both the NSIS installer and the portable zip; without one,
# only the zip of kolvane-convert.exe. Each holds locale.dat, kolvane.hlp, the sample station Data\ and
# a Japanese read-me.
# With --check LINUX-CONVERT it also converts the sample station and the golden case with the unpacked
# zip's kolvane-convert.exe under Wine and compares the yearly, companion and findings files byte for
# byte with those of the Linux program given, starts the unpacked kolvane.exe once to see that it keeps
# its settings beside itself, then scripts/check-windows-installer.sh installs, runs and removes the
# installer.
# Prints the zip's path on stdout (then the installer's, when made); the build talks on stderr.
#   scripts/package-windows.sh [--check LINUX-CONVERT] [BUILD-FOLDER]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
check=""
if [[ ${1:-} == --check ]]; then check="$2"; shift 2; fi
build="${1:-$root/build-windows}"
source "$root/scripts/mingw.sh"
source "$root/scripts/wine.sh"
timeout 1800 "$root/scripts/install-deps.sh" unzip nsis >&2

# --- The window, when Qt for Windows is at hand ---
window=(-DKOLVANE_BUILD_UI=OFF)
targets=(kolvane-convert)
generators=ZIP
if qt=$("$root/scripts/build-qt-windows.sh" --check 2>/dev/null | tail -n 1); then
    window=(-DKOLVANE_BUILD_UI=ON -DCMAKE_PREFIX_PATH="$qt")
    targets+=(kolvane)
    generators="NSIS;ZIP"
else
    echo "package-windows.sh: no Qt for Windows built on this machine (scripts/build-qt-windows.sh):" \
         "the zip holds kolvane-convert.exe alone, and no installer is made" >&2
fi
# ---

mingw_configure "$root" "$build" -DKOLVANE_BUILD_TESTS=OFF "${window[@]}"
timeout 3600 cmake --build "$build" -j"${KOLVANE_JOBS:-$(nproc)}" --target "${targets[@]}" >&2
rm -f "$build"/Kolvane-*-windows-x64.{zip,exe}
(cd "$build" && timeout 900 cpack -G "$generators" >&2)
zipfile=$(ls "$build"/Kolvane-*-windows-x64.zip)
installer=$(ls "$build"/Kolvane-*-windows-x64.exe 2>/dev/null || true)

if [[ -n $check ]]; then
    work="$(mktemp -d)"
    # This prefix's own Wine server is stopped before its folder goes.
    trap '/usr/lib/wine/wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
    export WINEPREFIX="$work/wine" WINEDEBUG=-all LANG=C.UTF-8
    wine=/usr/lib/wine/wine64
    # The programs as a user unpacks them, into a folder with a space and a Japanese name.
    unpacked="$work/展開 先"
    mkdir -p "$unpacked"
    unzip -q "$zipfile" -d "$unpacked"
    convert=$(ls "$unpacked"/*/kolvane-convert.exe)
    data="$(dirname "$convert")/Data"
    # A fresh prefix is made at the first start; the conversions then run in a settled one.
    timeout 600 "$wine" "$convert" --version >/dev/null 2>&1
    /usr/lib/wine/wineserver -w
    # The sample station, and the golden case with its earlier yearly file merged.
    mkdir -p "$work/golden"
    cp "$root"/tests/data/golden/monthly/* "$work/golden/"
    for station in "$data|01|01" "$work/golden|03|12"; do
        IFS='|' read -r monthly group bucket <<<"$station"
        for side in linux windows; do
            out="$work/$side-$group$bucket"
            mkdir -p "$out"
            arguments=(--monthly "$monthly" --output "$out" --group "$group" --bucket "$bucket"
                       --lat 35:30:00 --all)
            if [[ $side == linux ]]; then
                "$check" "${arguments[@]}" >/dev/null 2>&1
            else
                timeout 600 "$wine" "$convert" "${arguments[@]}" >/dev/null 2>"$out.err"
                # Under Wine a crash in a worker thread can end the program with status 0.
                ! wine_crashed "$out.err" || { cat "$out.err" >&2; exit 1; }
            fi
        done
        compared=0
        for file in "$work/linux-$group$bucket"/[YQC]*.csv; do
            cmp "$file" "$work/windows-$group$bucket/$(basename "$file")" >&2
            compared=$((compared + 1))
        done
        [[ $compared -gt 0 ]] || { echo "package-windows.sh: nothing written for $group$bucket" >&2; exit 1; }
        echo "package-windows.sh: $group$bucket: $compared files identical under Wine" >&2
    done
    # --- The portable window: unpacked, it keeps its settings beside itself ---
    program=$(dirname "$convert")
    if [[ -e $program/kolvane.exe ]]; then
        timeout 300 "$wine" "$program/kolvane.exe" -platform offscreen --quit-after-start >"$work/window.log" 2>&1
        if ! grep -q '^\[Path\]' "$program/kolvane.ini" || wine_crashed "$work/window.log"
        then
            cat "$work/window.log" >&2
            echo "package-windows.sh: the unpacked kolvane.exe kept no settings beside itself" >&2
            exit 1
        fi
        echo "package-windows.sh: the unpacked kolvane.exe keeps its settings beside itself" >&2
    fi
    # --- The installer: installed, run and removed under Wine ---
    if [[ -n $installer ]]; then
        "$root/scripts/check-windows-installer.sh" "$installer" "$check" >&2
    fi
    # ---
fi
echo "$zipfile"
[[ -z $installer ]] || echo "$installer"
