#!/usr/bin/env bash
# Whole-scan parallel efficiency: the same photos scanned without the cache on one processor and
# on two (taskset), with vipsthumbnail on the same processors as the baseline of each run.
# Efficiency = time on one / (2 x time on two); ratio = vipsthumbnail time / scan time. The scan
# sizes its pools from the processors the system has, so on one its threads take turns.
#   [COUNT=400] [ROUNDS=2] bench/core_scaling.sh [CORPUS_DIR]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bin="$root/build/release"
count="${COUNT:-400}"
rounds="${ROUNDS:-2}"
corpus="${1:-/tmp/quorlix-scan-corpus}"
source "$root/bench/scan_corpus.sh"
ensure_scan_corpus "$root" "$corpus"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CACHE_HOME="$work/xdg" VIPS_WARNING=0
mkdir -p "$work/photos" "$work/tn"
# Spread over the whole corpus: its copies, bursts and singles in their usual shares.
mapfile -t all < <(find "$corpus" -name '*.jpg' | sort)
step=$(( ${#all[@]} / count > 0 ? ${#all[@]} / count : 1 ))
for ((i = 0; i < ${#all[@]} && i / step < count; i += step)); do
    f=${all[$i]}
    ln "$f" "$work/photos/$(basename "$(dirname "$f")")-$(basename "$f")"
done
find "$work/photos" -type f -print0 | xargs -0 cat >/dev/null

seconds() { # COMMAND... -> wall seconds
    local start
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    echo "$(date +%s.%N) - $start" | bc
}
scan() { taskset -c "$1" "$bin/tools/quorlix-scan" --no-cache --json "$work/photos"; }
thumbs() {
    find "$work/photos" -name '*.jpg' -print0 |
        taskset -c "$1" xargs -0 -P "$2" -n 25 vipsthumbnail -s 1024 -o "$work/tn/%s.jpg[Q=75]"
}

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
best() { sort -g | head -1; }
for cpus in 0 0,1; do
    p=$(( $(tr -cd , <<<"$cpus" | wc -c) + 1 ))
    s=$(for ((r = 0; r < rounds; r++)); do seconds scan "$cpus"; done | best)
    v=$(for ((r = 0; r < rounds; r++)); do seconds thumbs "$cpus" "$p"; done | best)
    echo "$p $s $v" >>"$work/rows"
done
read -r _ s1 v1 < <(sed -n 1p "$work/rows")
read -r _ s2 v2 < <(sed -n 2p "$work/rows")
printf '%-10s %8s %8s %8s %10s\n' processors scan_s vips_s ratio photos/s
awk -v n="$count" '{printf "%-10d %8.2f %8.2f %8.2f %10.1f\n", $1, $2, $3, $3/$2, n/$2}' "$work/rows"
awk -v s1="$s1" -v s2="$s2" -v v1="$v1" -v v2="$v2" 'BEGIN{
    printf "parallel efficiency 1 -> 2 processors: scan %.0f %%, vipsthumbnail %.0f %%\n",
           100 * s1 / (2 * s2), 100 * v1 / (2 * v2)}'
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "best of $rounds rounds; $count photos of $(basename "$corpus"), without the analysis cache"
