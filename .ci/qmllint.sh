#!/usr/bin/env bash
# qmllint over the window's QML, through the target Qt generates for the module (so imports and
# resources resolve as in the build), with the settings in ui/.qmllint.ini.
#   .ci/qmllint.sh BUILD_DIR
# In strict mode any warning fails the gate; report mode only prints and counts them.
set -euo pipefail
mode=strict # report | strict
build="$(cd "$1" && pwd)"
status=0
cmake --build "$build" --target quorlix_ui_qmllint >"$build/qmllint.log" 2>&1 || status=$?
grep -vE '^\[[0-9]+/[0-9]+\] |^FAILED:|^ninja: ' "$build/qmllint.log" || true
count=$(grep -c '^Warning' "$build/qmllint.log" || true)
echo "qmllint: $count warnings (mode: $mode)"
if [[ $mode == strict && ($status -ne 0 || $count -ne 0) ]]; then
    exit 1
fi
