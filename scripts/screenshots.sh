#!/usr/bin/env bash
# Takes PNG screenshots of what a user sees, in a real X server with the Japanese fonts: the main
# window on the bundled sample data with a prefecture and locality chosen and their coordinates set,
# the folder dialog, a range message of the coordinate boxes, the help window, and a run with the
# year view it leads to (also as the whole screen, to see that the view fits it).
#
#   scripts/screenshots.sh [OUTPUT_FOLDER]
#
# KOLVANE_SCREEN sets the screen (default 1024x768); QT_SCALE_FACTOR, when set, is passed on.
#
# Builds `kolvane-screenshots` (tools/screenshots.cpp: the program's windows, driven from outside
# the program) in KOLVANE_BUILD_DIR (default: build) when needed. Needs xvfb and fonts-noto-cjk.
# It reads kolvane.ini beside the program as the program does on any start but never writes it; like
# a second instance of the program it ends at once, without pictures, while the program is running.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${KOLVANE_BUILD_DIR:-$root/build}"
out="${1:-$build/screenshots}"

for tool in xvfb-run cmake; do
    command -v "$tool" >/dev/null || { echo "screenshots.sh: $tool is missing (apt-get install xvfb cmake)" >&2; exit 1; }
done
# Not `fc-list | grep -q`: grep's early exit fails fc-list with SIGPIPE, which pipefail reports.
[[ -n "$(fc-list "Noto Sans CJK JP")" ]] || echo "screenshots.sh: fonts-noto-cjk is not installed; captions may show boxes" >&2

if [[ ! -f "$build/CMakeCache.txt" ]]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$build" --target kolvane-screenshots -j"$(nproc)"

mkdir -p "$out"
main="$out/main-window.png"
dialog="$out/folder-dialog.png"
message="$out/range-message.png"
help="$out/help-window.png"
rm -f "$main" "$dialog" "$message" "$help" "$out"/run-*.png
# The program lists the Data/ folder beside it, as on a first start. Prefecture 13 is Tokyo.
(cd "$build" && xvfb-run -a -s "-screen 0 ${KOLVANE_SCREEN:-1024x768}x24 -dpi 96" env QT_QPA_PLATFORM=xcb \
    ./kolvane-screenshots --screenshot-prefecture 13 --screenshot "$main" --screenshot-folder-dialog "$dialog" \
                          --screenshot-range-message "$message" --screenshot-help "$help" \
                          --screenshot-run "$out/run")
ls -l "$main" "$dialog" "$message" "$help" "$out"/run-*.png
