#!/usr/bin/env bash
# Keeper election on two disjoint sets of wallpapers: "dev" (MATE and UKUI backgrounds), on which
# the aesthetics score was tuned, and "report" (Plasma and Lomiri wallpapers), only measured.
#   bench/keeper_quality.sh [OUT_DIR]   (default /tmp/quorlix-keeper; QUORLIX_BENCH_VERBOSE=1 for
#   every frame's signals)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-/tmp/quorlix-keeper}"
build="$root/build/release"
"$root/scripts/setup.sh" --bench release keeper_quality
cmake --build "$build" -j2 --target keeper_quality | { grep -vE '^\[[0-9]+/[0-9]+\] ' || true; }
export VIPS_WARNING=0
ukui=(2004default.jpg calla.png city.png desert.png firstgeneration.jpg fluent-color.png
      focal-ubuntukylin.png goldfish.png rhythm.jpg rollpaper.png string.jpg the-mouse.jpg)
lomiri=(Fossa_by_Jasper_Roks.jpg Infinite-Sea_by_Aury88.jpg Kleiber_by_Lukas_Baubkus.jpg
        Painting-Colors_by__herobrine7gamer.jpg)
mapfile -t dev < <(find /usr/share/backgrounds/mate -type f \( -name '*.jpg' -o -name '*.png' \) |
                   grep -v 'Elephants_' | sort; printf '/usr/share/backgrounds/%s\n' "${ukui[@]}")
mapfile -t report < <(for d in /usr/share/wallpapers/*/; do
                          ls -S "$d"contents/images/* 2>/dev/null | head -1; done
                      printf '/usr/share/backgrounds/%s\n' "${lomiri[@]}")
for set in dev report; do
    echo "== $set"
    declare -n files="$set"
    "$build/bench/keeper_quality" "$out/$set" "${files[@]}" 2>/dev/null | grep -v '^app\.'
done
