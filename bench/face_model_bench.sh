#!/usr/bin/env bash
# Time to result for three photos: two portraits and a landscape, with the landmark model cold
# (no compact form yet: the shipped file is parsed, then the compact form written) and warm (the
# compact form read), against three photos without faces, which never load the model. Every run
# analyses afresh (--no-cache) and keeps its compact model in a cache folder of its own.
# Wall time of the whole process (start included) and the model load the log reports; ROUNDS
# rounds taking turns, best and median.
#   [ROUNDS=5] bench/face_model_bench.sh [LANDSCAPE.jpg]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bin="$root/build/release"
rounds="${ROUNDS:-5}"
landscape="${1:-$(find /usr/share/backgrounds /usr/share/wallpapers -iname '*.jpg' -size +500k | sort | head -1)}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/faces" "$work/plain"
cp "$root/tests/data/astronaut_face.jpg" "$root/tests/data/astronaut_face_eyes_shut.jpg" "$work/faces/"
cp "$landscape" "$work/faces/landscape.jpg"
vipsthumbnail "$landscape" -s 1600 -o "$work/plain/a.jpg[Q=90]"
vipsthumbnail "$landscape" -s 1200 -o "$work/plain/b.jpg[Q=85]"
cp "$landscape" "$work/plain/c.jpg"

run() { # LABEL FOLDER: prints "seconds cpu_seconds model_ms"
    /usr/bin/time -f '%e %U %S' -o "$work/t" env XDG_CACHE_HOME="$work/cache" \
        "$bin/tools/quorlix-scan" --no-cache -v "$2" >/dev/null 2>"$work/log" || true
    local ms
    ms=$(grep -o 'face_model_loaded ms=[0-9]*' "$work/log" | tail -1 | cut -d= -f2)
    read -r wall user sys <"$work/t"
    echo "$wall $(awk -v u="$user" -v s="$sys" 'BEGIN{print u + s}') ${ms:--}"
}

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
: >"$work/results"
for r in $(seq "$rounds"); do
    rm -rf "$work/cache"
    echo "cold $(run cold "$work/faces")" >>"$work/results"
    echo "warm $(run warm "$work/faces")" >>"$work/results"
    echo "no-faces $(run plain "$work/plain")" >>"$work/results"
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
# Processor time moves far less with the load of a shared machine than the wall clock does.
printf '%-9s %7s %9s %10s %14s\n' folder best_s median_s median_cpu model_load_ms
for label in cold warm no-faces; do
    grep "^$label " "$work/results" | sort -k2 -n | awk -v l="$label" '
        { s[NR] = $2; c[NR] = $3; m[NR] = $4 }
        END { k = int((NR + 1) / 2); printf "%-9s %7.2f %9.2f %10.2f %14s\n", l, s[1], s[k], c[k], m[k] }'
done
