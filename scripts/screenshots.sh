#!/usr/bin/env bash
# Takes PNG screenshots of the main window (on the bundled sample data) and of the folder dialog,
# in a real X server with the Japanese fonts, to look at what a user sees.
#
#   scripts/screenshots.sh [OUTPUT_FOLDER]
#
# Builds `kolvane` in KOLVANE_BUILD_DIR (default: build) when needed. Needs xvfb and fonts-noto-cjk.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${KOLVANE_BUILD_DIR:-$root/build}"
out="${1:-$build/screenshots}"

for tool in xvfb-run cmake; do
    command -v "$tool" >/dev/null || { echo "screenshots.sh: $tool is missing (apt-get install xvfb cmake)" >&2; exit 1; }
done
fc-list | grep -q "Noto Sans CJK JP" || echo "screenshots.sh: fonts-noto-cjk is not installed; captions may show boxes" >&2

if [[ ! -f "$build/CMakeCache.txt" ]]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$build" --target kolvane -j"$(nproc)"

mkdir -p "$out"
main="$out/main-window.png"
dialog="$out/folder-dialog.png"
rm -f "$main" "$dialog"
# The program lists the Data/ folder beside it, as on a first start.
(cd "$build" && xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" env QT_QPA_PLATFORM=xcb \
    ./kolvane --screenshot "$main" --screenshot-folder-dialog "$dialog")
ls -l "$main" "$dialog"
