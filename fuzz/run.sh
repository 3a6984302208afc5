#!/usr/bin/env bash
# Builds the fuzz targets in the ci-asan tree, then runs each for SECONDS on its corpus.
#   fuzz/run.sh [-j JOBS] SECONDS [TARGET...]   (TARGET: decoder exif content_keys config; default all)
# JOBS targets run at once (default 1). QUORLIX_FUZZ_BUILD names another build tree configured
# with QUORLIX_FUZZ=ON (then nothing is configured). The corpus of a target grows in
# BUILD/corpus/TARGET from the generated seeds; a crash, sanitizer report, leak, time-out or memory
# blow-up leaves its input in BUILD/findings/TARGET and makes the script fail.
# Logs: BUILD/logs/TARGET.log.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=1
if [[ "${1:-}" == "-j" ]]; then
    jobs="${2:?-j needs a number}"
    shift 2
fi
seconds="${1:?usage: fuzz/run.sh [-j JOBS] SECONDS [TARGET...]}"
shift
targets=("$@")
((${#targets[@]})) || targets=(decoder exif content_keys config)

build="${QUORLIX_FUZZ_BUILD:-build/ci-asan}"
if [[ -z "${QUORLIX_FUZZ_BUILD:-}" && ! -f "$build/build.ninja" ]]; then
    cmake --preset ci-asan >/dev/null
fi
cmake --build "$build" --target quorlix_fuzz_seeds "${targets[@]/#/quorlix_fuzz_}" |
    { grep -vE '^\[[0-9]+/[0-9]+\] |^ninja: no work to do' || true; }

seeds="$build/seeds"
rm -rf "$seeds"
ASAN_OPTIONS=detect_leaks=0 "$build/fuzz/quorlix_fuzz_seeds" "$seeds"

# The targets write their inputs as files: keep them in memory when possible and remove them
# afterwards, since a timed run ends without the targets' own clean-up.
scratch="$(mktemp -d "$( [[ -w /dev/shm ]] && echo /dev/shm || echo "${TMPDIR:-/tmp}")/quorlix-fuzz.XXXXXX")"
trap 'rm -rf "$scratch"' EXIT

fuzz() {
    local target="$1"
    local binary="$build/fuzz/quorlix_fuzz_$target"
    local corpus="$build/corpus/$target"
    local findings="$build/findings/$target"
    local log="$build/logs/$target.log"
    mkdir -p "$corpus" "$findings" "$(dirname "$log")" "$scratch/$target"
    local options=(-max_total_time="$seconds" -timeout=60 -rss_limit_mb=2048 -print_final_stats=1
                   -artifact_prefix="$findings/")
    [[ -f fuzz/$target.dict ]] && options+=(-dict="fuzz/$target.dict")
    if TMPDIR="$scratch/$target" "$binary" "${options[@]}" "$corpus" "$seeds/$target" >"$log" 2>&1; then
        echo "== $target: ${seconds}s, $(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -n 1 || true)"
        grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "$log" || true
    else
        echo "== $target: FINDING (input in $findings/), log $log:"
        tail -n 40 "$log"
        return 1
    fi
}

status=0
pids=()
for target in "${targets[@]}"; do
    fuzz "$target" &
    pids+=($!)
    if ((${#pids[@]} >= jobs)); then
        wait "${pids[0]}" || status=1
        pids=("${pids[@]:1}")
    fi
done
for pid in "${pids[@]}"; do wait "$pid" || status=1; done
exit "$status"
