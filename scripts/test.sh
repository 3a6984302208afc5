#!/usr/bin/env bash
# Sets everything up, then runs the whole test suite.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh" release
cd "$root"
ctest --preset release --output-on-failure -j 2 "$@"
