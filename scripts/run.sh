#!/usr/bin/env bash
# Sets up what is missing, builds the window if anything changed, then opens it (it starts on
# the empty state: drop a folder on it or choose one). The headless scanner is
# build/release/tools/quorlix-scan.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
if [[ $# -gt 0 ]]; then
    echo "Usage: scripts/run.sh   (opens Quorlix; choose or drop the folder in its window)" >&2
    echo "To scan from the command line: build/release/tools/quorlix-scan FOLDER" >&2
    exit 2
fi
"$root/scripts/setup.sh" release quorlix quorlix-scan
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "Quorlix needs a desktop session (no DISPLAY or WAYLAND_DISPLAY is set)." >&2
    exit 1
fi
exec "$root/build/release/ui/quorlix"
