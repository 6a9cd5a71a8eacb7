#!/usr/bin/env bash
# Cross-builds kolvane-convert.exe with MinGW-w64 and makes the zip a Windows user unpacks anywhere:
# the program, locale.dat, the sample station and a short read-me. With --check LINUX-CONVERT it also
# converts the sample station and the golden case under Wine and compares the yearly, companion and
# findings files byte for byte with those of the Linux program given.
# Prints the zip's path on stdout; the build talks on stderr.
#   scripts/package-windows.sh [--check LINUX-CONVERT] [BUILD-FOLDER]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
check=""
if [[ ${1:-} == --check ]]; then check="$2"; shift 2; fi
build="${1:-$root/build-windows}"
source "$root/scripts/mingw.sh"
mingw_configure "$root" "$build" -DKOLVANE_BUILD_TESTS=OFF
timeout 3600 cmake --build "$build" -j"${KOLVANE_JOBS:-$(nproc)}" --target kolvane-convert >&2

stage="$build/zip/kolvane"
rm -rf "$build/zip" && mkdir -p "$stage"
cp "$build/kolvane-convert.exe" "$root/data/locale.dat" "$stage/"
cp -r "$root/data/Data" "$stage/Data"
cp "$root/packaging/windows/README-Windows.txt" "$stage/"
zipfile="$build/kolvane-windows-x86_64.zip"
rm -f "$zipfile"
(cd "$build/zip" && zip -qr "$zipfile" kolvane)

if [[ -n $check ]]; then
    work="$(mktemp -d)"
    # This prefix's own Wine server is stopped before its folder goes.
    trap '/usr/lib/wine/wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
    export WINEPREFIX="$work/wine" WINEDEBUG=-all LANG=C.UTF-8
    wine=/usr/lib/wine/wine64
    # A fresh prefix is made at the first start; the conversions then run in a settled one.
    timeout 600 "$wine" "$stage/kolvane-convert.exe" --version >/dev/null 2>&1
    /usr/lib/wine/wineserver -w
    # The sample station, and the golden case with its earlier yearly file merged.
    mkdir -p "$work/golden"
    cp "$root"/tests/data/golden/monthly/* "$work/golden/"
    for station in "$stage/Data 01 01" "$work/golden 03 12"; do
        read -r monthly group bucket <<<"$station"
        for side in linux windows; do
            out="$work/$side-$group$bucket"
            mkdir -p "$out"
            arguments=(--monthly "$monthly" --output "$out" --group "$group" --bucket "$bucket"
                       --lat 35:30:00 --all)
            if [[ $side == linux ]]; then
                "$check" "${arguments[@]}" >/dev/null 2>&1
            else
                timeout 600 "$wine" "$stage/kolvane-convert.exe" "${arguments[@]}" >/dev/null 2>"$out.err"
                # Under Wine a crash in a worker thread can end the program with status 0.
                ! grep -q "^wine: Unhandled\|^Unhandled exception" "$out.err" || { cat "$out.err" >&2; exit 1; }
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
fi
echo "$zipfile"
