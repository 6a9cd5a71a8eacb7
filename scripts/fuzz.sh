#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer and UndefinedBehaviorSanitizer, core only, no
# window) and runs each on a copy of its seed corpus. Fails when any target finds a crash, a sanitizer
# report or a broken invariant; the input that did it is kept in BUILD/fuzz-findings/.
#
#   scripts/fuzz.sh [--seconds N | --runs N [--seed S]] [--build DIR] [TARGET...]
#
#   --seconds N   explore for N seconds per target with a random seed (default 30)
#   --runs N      instead, exactly N executions per target from seed S (default 1): the same tree gives
#                 the same verdict on any machine, however busy, which is what CI needs
#   --build DIR   the build folder (default: build-fuzz beside the sources)
#   TARGET        monthly_file, yearly_file, companion_file, findings_file, date_number, ini_file, locality_table
#                 (default: all)
#
# The committed corpus under fuzz/corpus/ is never changed; a finding becomes a seed file there by hand.
# Installs clang-14 and its runtime libraries with apt-get when they are missing.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-fuzz"
seconds=30
runs=""
seed=1
targets=()
while (($#)); do
    case "$1" in
    --seconds) seconds="$2"; shift 2 ;;
    --runs) runs="$2"; shift 2 ;;
    --seed) seed="$2"; shift 2 ;;
    --build) build="$2"; shift 2 ;;
    -h | --help) sed -n '2,17p' "$0"; exit 0 ;;
    -*) echo "fuzz.sh: unknown option $1" >&2; exit 2 ;;
    *) targets+=("$1"); shift ;;
    esac
done
((${#targets[@]})) || targets=(monthly_file yearly_file companion_file findings_file date_number ini_file locality_table)

packages=(clang-14 libclang-rt-14-dev cmake make libstdc++-12-dev)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    sudo=()
    [[ $(id -u) -ne 0 ]] && sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
    -DKOLVANE_FUZZ=ON -DKOLVANE_BUILD_UI=OFF -DKOLVANE_BUILD_TESTS=OFF -DKOLVANE_BUILD_BENCH=OFF
cmake --build "$build" --target fuzzers -j"$(nproc)"

# A fixed seed alone does not make a run repeatable: comparisons of heap addresses feed the mutations,
# so CI's runs also switch address randomisation off.
launcher=()
[[ -n "$runs" ]] && setarch "$(uname -m)" -R true 2>/dev/null && launcher=(setarch "$(uname -m)" -R)

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
findings="$build/fuzz-findings"
mkdir -p "$findings"
failed=()
for target in "${targets[@]}"; do
    fuzzer="$build/fuzz/${target}_fuzzer"
    [[ -x "$fuzzer" ]] || { echo "fuzz.sh: no fuzz target $target" >&2; exit 2; }
    corpus="$work/$target"
    mkdir -p "$corpus"
    cp "$root/fuzz/corpus/$target/"* "$corpus/"
    options=(-timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/$target-")
    if [[ -n "$runs" ]]; then
        options+=(-runs="$runs" -seed="$seed" -reload=0)
    else
        options+=(-max_total_time="$seconds")
    fi
    [[ -f "$root/fuzz/dict/$target.dict" ]] && options+=(-dict="$root/fuzz/dict/$target.dict")
    case "$target" in
    ini_file | locality_table) options+=(-max_len=512) ;;
    *) options+=(-max_len=2048) ;;
    esac
    log="$work/$target.log"
    if [[ -n "$runs" ]]; then echo "== $target: $runs runs, seed $seed"; else echo "== $target: ${seconds}s"; fi
    if (cd "$work" && "${launcher[@]}" "$fuzzer" "${options[@]}" "$corpus" >"$log" 2>&1); then
        grep -E "^stat::(number_of_executed_units|average_exec_per_sec)" "$log" || true
        grep -E "DONE" "$log" | tail -1 || true
    else
        echo "fuzz.sh: $target FAILED; the input is in $findings/" >&2
        grep -E "invariant failed|ERROR:|runtime error|SUMMARY" "$log" | head -20 >&2 || tail -40 "$log" >&2
        failed+=("$target")
    fi
done
if ((${#failed[@]})); then
    echo "fuzz.sh: findings in: ${failed[*]}" >&2
    exit 1
fi
echo "fuzz.sh: no findings"
