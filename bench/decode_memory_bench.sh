#!/usr/bin/env bash
# Peak memory of a whole scan over decompression bombs: files of a few kilobytes or megabytes
# that declare images of hundreds of megapixels. Each folder is scanned by the given scanners one
# after another, so they are compared in the same run; the figure is the process's peak resident
# set (GNU time's %M).
#   bench/decode_memory_bench.sh [BASELINE_SCANNER]
# BASELINE_SCANNER: another build's quorlix-scan to compare with (for example main's, built
# before a change); by default only this worktree's build is measured.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
scanner="$root/build/release/tools/quorlix-scan"
baseline="${1:-}"
[[ -x "$scanner" ]] || { echo "build quorlix-scan first" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Four progressive JPEGs, 14142 × 14142, 4:4:4, each with a different colour so that none is a
# copy of another (copies are decoded once).
mkdir -p "$work/jpeg1" "$work/jpeg4" "$work/gif" "$work/png"
for i in 1 2 3 4; do
    vips black "$work/black.v" 14142 14142 --bands 3
    vips linear "$work/black.v" "$work/tone.v" 1 $((i * 40))
    vips cast "$work/tone.v" "$work/jpeg4/bomb$i.jpg[interlace,subsample-mode=off,Q=90]" uchar
    rm -f "$work/black.v" "$work/tone.v"
done
cp "$work/jpeg4/bomb1.jpg" "$work/jpeg1/"
# A 10000 × 10000 GIF of one colour: its LZW stream is a few tens of kilobytes.
vips black "$work/g.v" 10000 10000 --bands 3
vips copy "$work/g.v" "$work/gif/bomb.gif"
rm -f "$work/g.v"
# A 16-bit RGBA PNG, 14000 × 14000.
vips black "$work/p.v" 14000 14000 --bands 4
vips cast "$work/p.v" "$work/p16.v" ushort
vips copy "$work/p16.v" "$work/png/bomb.png[compression=9]" --interpretation rgb16
rm -f "$work/p.v" "$work/p16.v"

measure() { # scanner folder -> "seconds peak_MB"
    /usr/bin/time -f '%e %M' -o "$work/t" "$1" --json "$2" >/dev/null 2>"$work/err" ||
        { cat "$work/err" >&2; }
    awk '{printf "%8.1f %8.0f", $1, $2 / 1024}' "$work/t"
}

printf '%-28s %10s %8s %8s' folder on_disk s MB
[[ -n "$baseline" ]] && printf ' %10s %10s' base_s base_MB
printf '\n'
for folder in jpeg1 jpeg4 gif png; do
    size=$(du -sh "$work/$folder" | cut -f1)
    label="$folder ($(ls "$work/$folder" | wc -l) files)"
    printf '%-28s %10s %s' "$label" "$size" "$(measure "$scanner" "$work/$folder")"
    [[ -n "$baseline" ]] && printf ' %s' "$(measure "$baseline" "$work/$folder")"
    printf '\n'
done
