#!/usr/bin/env bash
# Builds the feature-print benchmarks, generates the burst sets and prints the calibration
# report and the cost of the descriptor against vipsthumbnail.
#   bench/featureprint.sh [OUT_DIR [REPORT OPTIONS...]]   (default OUT_DIR: /tmp/quorlix-featureprint)
# Installs the photo and footage packages through scripts/setup.sh --bench.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-/tmp/quorlix-featureprint}"
shift $(( $# > 0 ? 1 : 0 ))
build="$root/build/release"
"$root/scripts/setup.sh" --bench release featureprint_bursts featureprint_report featureprint_speed
cmake --build "$build" -j2 --target featureprint_bursts featureprint_report featureprint_speed \
    | { grep -vE '^\[[0-9]+/[0-9]+\] ' || true; }
export VIPS_WARNING=0
"$build/bench/featureprint_bursts" "$out" 2>/dev/null
# The constant is chosen on the development sets (synthetic bursts of one group of photographs
# and two real sequences); "report" (other photographs) and "real-test" (four other sequences)
# are only measured.
"$build/bench/featureprint_report" "$out/manifest.tsv" --calibrate dev,real-dev "$@"
echo
"$build/bench/featureprint_speed" "$out"/large/*.jpg
