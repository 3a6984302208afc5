#!/usr/bin/env bash
# Exact-duplicate phase against jdupes and rmlint on one corpus with a warm page cache, the
# SHA-256 floor, and a check of the groups against sha256sum.
#   bench/exact_bench.sh [CORPUS_DIR] [UNIQUE_COUNT]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bin="$root/build/release"
corpus="${1:-/tmp/quorlix-hash-corpus}"
uniques="${2:-2000}"
runs=3

[[ -x "$bin/tools/quorlix-scan" ]] || "$root/scripts/setup.sh" release
[[ -d "$corpus" ]] || "$bin/bench/make_hash_corpus" "$corpus" "$uniques"
echo "corpus: $(find "$corpus" -type f | wc -l) files, $(du -sh "$corpus" | cut -f1)"
find "$corpus" -type f -print0 | xargs -0 cat >/dev/null # warm the page cache

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# best wall time of $runs and the peak resident memory of that run
measure() {
    local name="$1"; shift
    local best="" rss=""
    for _ in $(seq $runs); do
        /usr/bin/time -f '%e %M' -o "$work/time" "$@" >"$work/out" 2>/dev/null || true
        read -r t m <"$work/time"
        if [[ -z "$best" ]] || awk "BEGIN{exit !($t < $best)}"; then best=$t; rss=$m; fi
    done
    printf '%-28s %6.2f s  peak %6.1f MB\n' "$name" "$best" "$(awk "BEGIN{print $rss/1024}")"
    echo "$best" >"$work/$name.t"
}

measure quorlix-scan "$bin/tools/quorlix-scan" --exact-only --json "$corpus"
cp "$work/out" "$work/quorlix.json"
measure "jdupes -r -q" jdupes -r -q "$corpus"
(cd "$work" && measure rmlint rmlint -o summary:/dev/null -T df "$corpus")
"$bin/bench/sha_floor" "$corpus" | tee "$work/floor"
floor=$(awk '/^floor /{print $2}' "$work/floor")
q=$(cat "$work/quorlix-scan.t"); j=$(cat "$work/jdupes -r -q.t")
awk -v q="$q" -v j="$j" -v f="$floor" 'BEGIN{printf "quorlix/jdupes %.2fx, quorlix/floor %.2fx\n", q/j, q/f}'

# Ground truth: groups of identical bytes among the candidates, by sha256sum.
python3 - "$corpus" "$work/quorlix.json" <<'PY'
import hashlib, json, os, subprocess, sys
root, report = sys.argv[1], sys.argv[2]
exts = {"jpg","jpeg","png","heic","heif","tif","tiff","gif","bmp","webp","dng","cr2","cr3","nef","arw","raf","orf","rw2"}
paths = []
for d, dirs, files in os.walk(root):
    dirs[:] = [x for x in dirs if not x.startswith(".")]
    for f in files:
        p = os.path.join(d, f)
        if f.startswith(".") or os.path.islink(p) or f.rsplit(".", 1)[-1].lower() not in exts or "." not in f:
            continue
        paths.append(p)
by = {}
for k in range(0, len(paths), 500):
    out = subprocess.run(["sha256sum", "-z", "--"] + paths[k:k + 500], capture_output=True, check=True).stdout
    for line in out.decode("utf-8", "surrogateescape").split("\0"):
        if line:
            h, p = line.split("  ", 1)
            by.setdefault(h, []).append(p)
truth = sorted(sorted(v) for v in by.values() if len(v) > 1)
got = sorted(sorted(m["fileURL"] for m in g["members"]) for g in json.load(open(report))["groups"])
print(f"ground truth: {len(truth)} groups; scanner: {len(got)} groups; {'MATCH' if truth == got else 'MISMATCH'}")
sys.exit(0 if truth == got else 1)
PY
