#!/usr/bin/env bash
# Sets everything up, then runs Quorlix on FOLDER.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh" release
if [[ $# -eq 0 ]]; then
    echo "Usage: scripts/run.sh FOLDER   (scans FOLDER for duplicate and look-alike photos)" >&2
    exit 2
fi
exec "$root/build/release/tools/quorlix-scan" "$@"
