#!/usr/bin/env bash
# Whole scan against vipsthumbnail over the same photos, both with the two cores busy, at 500,
# 1,000 and 2,000 photos: photos per second (process start included) and peak memory.
#   [SIZES="500 1000 2000"] bench/scan_bench.sh [CORPUS_DIR]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bin="$root/build/release"
corpus="${1:-/tmp/quorlix-scan-corpus}"
# The peer tools and photo packages, and the build, when anything is missing.
"$root/scripts/setup.sh" --bench release
source "$root/bench/scan_corpus.sh"
ensure_scan_corpus "$root" "$corpus"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mapfile -t all < <(find "$corpus" -name '*.jpg' | sort)
cores=$(nproc)

printf '%6s %10s %10s %8s %10s %8s\n' photos scan_s scan_MB vips_s ratio photos/s
for n in ${SIZES:-500 1000 2000}; do
    ((n <= ${#all[@]})) || continue
    subset="$work/set$n"
    mkdir -p "$subset"
    # Hard links: the same files, so the page cache serves every run alike.
    for ((i = 0; i < n; i++)); do
        d="$subset/$(dirname "${all[$i]#"$corpus"/}")"
        mkdir -p "$d"
        ln "${all[$i]}" "$d/"
    done
    find "$subset" -type f -print0 | xargs -0 cat >/dev/null
    /usr/bin/time -f '%e %M' -o "$work/t" "$bin/tools/quorlix-scan" --json "$subset" >"$work/scan$n.json"
    read -r scan_s scan_kb <"$work/t"
    mkdir -p "$work/tn"
    start=$(date +%s.%N)
    find "$subset" -name '*.jpg' -print0 |
        xargs -0 -P "$cores" -n 25 vipsthumbnail -s 1024 -o "$work/tn/%s.jpg[Q=75]"
    vips_s=$(echo "$(date +%s.%N) - $start" | bc)
    awk -v n="$n" -v s="$scan_s" -v m="$scan_kb" -v v="$vips_s" \
        'BEGIN{printf "%6d %10.2f %10.1f %8.2f %10.2f %8.1f\n", n, s, m/1024, v, v/s, n/s}'
done
echo "ratio = vipsthumbnail time / scan time (>= 0.7 means the scan runs at >= 0.7x its rate)"
