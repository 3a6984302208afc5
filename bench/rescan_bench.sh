#!/usr/bin/env bash
# Rescans with the analysis cache: a first scan into an empty cache, a second scan of the
# unchanged folder, and a second scan after 1 % of the photos were edited (bytes appended
# after the image), each against the first scan in the same run;
# then a scan without the cache on all processors for reference. Wall time (process start
# included), peak memory, cache size per photo, and whether every --json matches the first scan's
# apart from the elapsed time.
#   [COUNT=2000] bench/rescan_bench.sh [CORPUS_DIR]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bin="$root/build/release"
count="${COUNT:-2000}"
corpus="${1:-/tmp/quorlix-scan-corpus}"
source "$root/bench/scan_corpus.sh"
ensure_scan_corpus "$root" "$corpus"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The compact landmark model too stays in this run's folder.
export XDG_CACHE_HOME="$work/xdg"
folder="$work/photos"
mkdir -p "$folder"
# Copies, not links: the edits below must not reach the corpus.
# The first COUNT in name order; no `head` in the pipe, whose early exit would fail it.
(cd "$corpus" && find . -name '*.jpg' | sort | awk -v n="$count" 'NR <= n' |
    xargs -d '\n' cp -p --parents -t "$folder")
n=$(find "$folder" -name '*.jpg' | wc -l)
cache="$work/cache/analyses.sqlite3"

scan() { # LABEL ARGS...
    local label=$1
    shift
    /usr/bin/time -f '%e %M' -o "$work/t" "$bin/tools/quorlix-scan" --json "$@" "$folder" |
        grep -v '"elapsed"' >"$work/$label.json"
    read -r s kb <"$work/t"
    echo "$label $s $kb"
}

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-10s %8s %8s %8s %s\n' scan seconds speedup peak_MB same_result
first=$(scan first --cache "$cache")
read -r _ first_s first_kb <<<"$first"
report() {
    read -r label s kb <<<"$1"
    local same=no
    cmp -s "$work/$label.json" "$work/${2:-first}.json" && same=yes
    awk -v l="$label" -v s="$s" -v f="$first_s" -v m="$kb" -v same="$same" \
        'BEGIN{printf "%-10s %8.2f %7.1fx %8.1f %s\n", l, s, f/s, m/1024, same}'
}
report "$first"
report "$(scan unchanged --cache "$cache")"
# 1 %: every hundredth photo gets bytes after its end of image, which changes its bytes, size and
# identity and leaves its look alone.
find "$folder" -name '*.jpg' | sort | awk 'NR % 100 == 1' | while read -r f; do
    printf 'edited' >>"$f"
done
cold=$(scan edited-cold --no-cache)
edited=$(scan edited --cache "$cache")
report "$edited" edited-cold
report "$cold" edited-cold
size=$( (stat -c %s "$cache" "$cache-wal" 2>/dev/null || true) | awk '{s += $1} END {print s}')
awk -v b="$size" -v n="$n" 'BEGIN{printf "photos %d, cache %.1f MB, %.0f bytes per photo\n", n, b/1048576, b/n}'
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "speedup = first scan time / this scan's; same_result: --json equal to the cold scan of the same files, apart from elapsed"
