#!/usr/bin/env bash
# Exact-duplicate phase against jdupes and rmlint on one corpus with a warm page cache, the
# SHA-256 floor, and a check of the groups against sha256sum. The tools take turns in every round,
# so a load that comes and goes falls on all of them; best and median wall times are reported with
# the load average before and after.
#   bench/exact_bench.sh [CORPUS_DIR] [UNIQUE_COUNT] [ROUNDS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bin="$root/build/release"
corpus="${1:-/tmp/quorlix-hash-corpus}"
uniques="${2:-2000}"
runs="${3:-7}"

# The peer tools and photo packages, and the build, when anything is missing.
"$root/scripts/setup.sh" --bench release
[[ -d "$corpus" ]] || "$bin/bench/make_hash_corpus" "$corpus" "$uniques"
echo "corpus: $(find "$corpus" -type f | wc -l) files, $(du -sh "$corpus" | cut -f1)"
find "$corpus" -type f -print0 | xargs -0 cat >/dev/null # warm the page cache

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

tools=("quorlix-scan" "jdupes -r -q" "rmlint" "quorlix-scan --help")
commands=("'$bin/tools/quorlix-scan' --exact-only --json '$corpus'"
          "jdupes -r -q '$corpus'"
          "cd '$work' && rmlint -o summary:/dev/null -T df '$corpus'"
          "'$bin/tools/quorlix-scan' --help")
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
for round in $(seq "$runs"); do
    for i in "${!tools[@]}"; do
        /usr/bin/time -f '%e %M' -o "$work/time" bash -c "${commands[$i]}" >"$work/out" 2>/dev/null || true
        cat "$work/time" >>"$work/$i.runs"
        if [[ $i -eq 0 && $round -eq 1 ]]; then cp "$work/out" "$work/quorlix.json"; fi
    done
done
echo "load average after:  $(cut -d' ' -f1-3 /proc/loadavg)"
# best and median wall time of the rounds, and the peak resident memory of the best run
for i in "${!tools[@]}"; do
    sort -n "$work/$i.runs" | awk -v name="${tools[$i]}" '{ w[NR] = $1; m[NR] = $2 } END {
        med = NR % 2 ? w[(NR + 1) / 2] : (w[NR / 2] + w[NR / 2 + 1]) / 2
        printf "%-22s best %5.2f s  median %5.2f s  peak %6.1f MB  (%d rounds)\n", name, w[1], med, m[1] / 1024, NR
    }'
    sort -n "$work/$i.runs" | head -1 | cut -d' ' -f1 >"$work/$i.t"
done
"$bin/bench/sha_floor" "$corpus" | tee "$work/floor"
floor=$(awk '/^floor /{print $2}' "$work/floor")
q=$(cat "$work/0.t"); j=$(cat "$work/1.t")
awk -v q="$q" -v j="$j" -v f="$floor" 'BEGIN{printf "best: quorlix/jdupes %.2fx, quorlix/floor %.2fx\n", q/j, q/f}'

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
