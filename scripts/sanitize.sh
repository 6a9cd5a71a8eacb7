#!/usr/bin/env bash
# Builds the whole project, window tests included, with AddressSanitizer and UndefinedBehaviorSanitizer
# and runs every test in it. Any sanitizer report fails the test that caused it.
#
#   scripts/sanitize.sh [BUILD_FOLDER]        (default: build-asan beside the sources)
#
# Installs what is missing first (scripts/install-deps.sh). Leak detection stays on: the window tests
# run clean under it too.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build-asan}"
jobs="${KOLVANE_JOBS:-$(nproc)}"

"$root/scripts/install-deps.sh"

# -O1 keeps the stacks readable and the suite fast enough.
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
    -DKOLVANE_SANITIZE=ON -DKOLVANE_BUILD_BENCH=OFF
cmake --build "$build" -j"$jobs"

export ASAN_OPTIONS="${ASAN_OPTIONS:-abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
export QT_QPA_PLATFORM=offscreen
cd "$build"
ctest --output-on-failure -j"$jobs"
