#!/usr/bin/env bash
# qmllint over the window's QML, with the settings in ui/.qmllint.ini and the Quorlix module's
# type information from BUILD_DIR.   .ci/qmllint.sh BUILD_DIR
# In report mode the findings are printed and counted but do not fail the gate; strict fails on
# any warning.
set -euo pipefail
mode=report # report | strict
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "$1" && pwd)"
qmllint=/usr/lib/qt6/bin/qmllint
cd "$root/ui"
mapfile -t files < <(git -C "$root/ui" ls-files '*.qml')
status=0
"$qmllint" -I "$build/ui" "${files[@]}" >"$build/qmllint.log" 2>&1 || status=$?
count=$(grep -c '^Warning' "$build/qmllint.log" || true)
cat "$build/qmllint.log"
echo "qmllint: $count warnings in ${#files[@]} files (mode: $mode)"
if [[ $mode == strict && $status -ne 0 ]]; then
    exit 1
fi
