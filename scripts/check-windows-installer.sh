#!/usr/bin/env bash
# Checks the Windows installer as a user meets it, under Wine: it installs silently into Program Files
# with a Start menu entry; the installed kolvane.exe opens its window on its own sample station and
# converts it (kolvane --run-into) into files byte for byte those of the Linux program given, keeping
# its settings under %APPDATA%\Kolvane\ and nothing in its own folder; a second start ends at once,
# leaving the first one running; the uninstaller removes the program and its menu entry again.
#   scripts/check-windows-installer.sh INSTALLER LINUX-CONVERT
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
[[ $# -eq 2 ]] || { echo "usage: $0 INSTALLER LINUX-CONVERT" >&2; exit 2; }
installer=$(realpath "$1")
linux_convert=$(realpath "$2")
source "$root/scripts/wine.sh"
wine_start
work=$(mktemp -d)
trap 'wine_stop; rm -rf "$work"' EXIT
fail() { echo "check-windows-installer.sh: $*" >&2; exit 1; }
drive_c=$WINEPREFIX/drive_c

target='C:\Program Files\Kolvane'
folder="$drive_c/Program Files/Kolvane"
timeout 300 "$KOLVANE_WINE" "$installer" /S "/D=$target"
/usr/lib/wine/wineserver -w
for file in kolvane.exe kolvane-convert.exe Uninstall.exe locale.dat kolvane.hlp Data platforms/qwindows.dll; do
    [[ -e $folder/$file ]] || fail "the installer put no $file into $target"
done
entry=$(find "$drive_c" -name '年次ファイル生成プログラム.lnk' | head -n 1)
[[ -n $entry ]] || fail "no Start menu entry 年次ファイル生成プログラム"

# The coordinates a user would have typed at an earlier start; the installed program keeps its
# settings in the user's application data.
appdata=$(find "$drive_c/users" -maxdepth 3 -type d -path '*/AppData/Roaming' | head -n 1)
[[ -n $appdata ]] || fail "no %APPDATA% in the Wine prefix"
mkdir -p "$appdata/Kolvane"
printf '[Data]\r\nLatitudeDegrees=35\r\nLatitudeMinutes=30\r\nLatitudeSeconds=0\r\nLongitudeDegrees=139\r\nLongitudeMinutes=45\r\nLongitudeSeconds=0\r\n' \
    >"$appdata/Kolvane/kolvane.ini"

# Offscreen, Qt on Windows draws with the fonts of one folder; Japanese needs Noto CJK.
fonts=QT_QPA_FONTDIR=$(wine_path /usr/share/fonts/opentype/noto)
mkdir -p "$work/window" "$work/linux"
status=0
wine_run "$fonts" -- "$target\kolvane.exe" -platform offscreen --run-into "$(wine_path "$work/window")" \
    >"$work/window.log" 2>&1 || status=$?
cat "$work/window.log" >&2
# Under Wine a crash in a thread other than the main one can end the program with status 0.
[[ $status -eq 0 ]] && ! wine_crashed "$work/window.log" \
    || fail "the installed kolvane.exe did not convert its sample station (status $status)"
/usr/lib/wine/wineserver -w
"$linux_convert" --monthly "$root/data/Data" --output "$work/linux" --group 01 --bucket 01 --lat 35:30:00 \
    --all >/dev/null
compared=0
for file in "$work/linux"/[YQC]*.csv; do
    cmp "$file" "$work/window/$(basename "$file")" >&2 || fail "the window's $(basename "$file") differs"
    compared=$((compared + 1))
done
[[ $compared -gt 0 ]] || fail "the Linux program wrote nothing"
grep -q '^Save=' "$appdata/Kolvane/kolvane.ini" || fail "the installed program kept no settings in %APPDATA%\\Kolvane"
[[ ! -e $folder/kolvane.ini ]] || fail "the installed program wrote kolvane.ini into its own folder"
echo "check-windows-installer.sh: the installed window wrote $compared files identical to Linux's" >&2

# A second start while the first runs: it ends at once (status 0) and the first keeps running.
wine_run "$fonts" -- "$target\kolvane.exe" -platform offscreen &
first=$!
sleep 10
KOLVANE_WINE_TIMEOUT=60 wine_run "$fonts" -- "$target\kolvane.exe" -platform offscreen \
    || fail "a second start did not end by itself with status 0"
kill -0 "$first" 2>/dev/null || fail "the first window ended when a second start asked for it"
/usr/lib/wine/wineserver -k
wait "$first" 2>/dev/null || true
echo "check-windows-installer.sh: a second start ended at once and left the first window" >&2

# The uninstaller copies itself away and returns at once: the Wine server waits for it.
timeout 300 "$KOLVANE_WINE" "$folder/Uninstall.exe" /S
/usr/lib/wine/wineserver -w
[[ ! -e $folder/kolvane.exe && ! -e $folder/Data ]] || fail "the uninstaller left the program in $target"
[[ -z $(find "$drive_c" -name '年次ファイル生成プログラム.lnk') ]] || fail "the uninstaller left the Start menu entry"
echo "check-windows-installer.sh: installed silently, converted, and removed again" >&2
