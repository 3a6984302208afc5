#!/usr/bin/env bash
# Builds the fuzz preset, then runs each fuzz target for SECONDS on its corpus, one at a time.
#   fuzz/run.sh SECONDS [TARGET...]      (TARGET: decoder exif content_keys config; default all)
# The corpus of a target grows in build/fuzz/corpus/TARGET from the generated seeds; a crash,
# sanitizer report, leak, time-out or memory blow-up leaves its input in build/fuzz/findings and
# makes the script fail. Logs: build/fuzz/logs/TARGET.log.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:?usage: fuzz/run.sh SECONDS [TARGET...]}"
shift
targets=("$@")
((${#targets[@]})) || targets=(decoder exif content_keys config)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

build=build/fuzz
seeds="$build/seeds"
rm -rf "$seeds"
ASAN_OPTIONS=detect_leaks=0 "$build/fuzz/quorlix_fuzz_seeds" "$seeds"

# The targets write their inputs as files: keep them in memory when possible and remove them
# afterwards, since a timed run ends without the targets' own clean-up.
scratch="$(mktemp -d "$( [[ -w /dev/shm ]] && echo /dev/shm || echo "${TMPDIR:-/tmp}")/quorlix-fuzz.XXXXXX")"
trap 'rm -rf "$scratch"' EXIT

status=0
for target in "${targets[@]}"; do
    binary="$build/fuzz/quorlix_fuzz_$target"
    corpus="$build/corpus/$target"
    findings="$build/findings/$target"
    log="$build/logs/$target.log"
    mkdir -p "$corpus" "$findings" "$(dirname "$log")"
    options=(-max_total_time="$seconds" -timeout=60 -rss_limit_mb=2048 -print_final_stats=1
             -artifact_prefix="$findings/")
    [[ -f fuzz/$target.dict ]] && options+=(-dict="fuzz/$target.dict")
    echo "== $target: ${seconds}s"
    if TMPDIR="$scratch" "$binary" "${options[@]}" "$corpus" "$seeds/$target" >"$log" 2>&1; then
        grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -n 1 || true
        grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "$log" || true
    else
        status=1
        echo "$target: FINDING (input in $findings/), log $log:"
        tail -n 40 "$log"
    fi
done
exit "$status"
