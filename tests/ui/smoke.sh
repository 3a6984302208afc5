#!/usr/bin/env bash
# The shipped program answers --help and --version without a display and carries no test
# driver. (The window itself is started by the end-to-end test and, installed, by
# tests/install/window-smoke.sh.) Usage: smoke.sh PATH/TO/quorlix
set -euo pipefail
app="$1"
work="$(mktemp -d "${TMPDIR:-/tmp}/quorlix-smoke-XXXXXX")"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config" "$work/data" "$work/cache" "$work/runtime"
chmod 700 "$work/runtime"
export HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" \
    XDG_CACHE_HOME="$work/cache" XDG_RUNTIME_DIR="$work/runtime"
unset DBUS_SESSION_BUS_ADDRESS

(unset DISPLAY WAYLAND_DISPLAY; QT_QPA_PLATFORM=xcb "$app" --version) | grep -qE '^quorlix [0-9]' ||
    { echo "FAIL: --version did not answer without a display" >&2; exit 1; }
(unset DISPLAY WAYLAND_DISPLAY; QT_QPA_PLATFORM=xcb "$app" --help) | grep -q 'Usage: quorlix \[FOLDER\]' ||
    { echo "FAIL: --help did not answer without a display" >&2; exit 1; }
if ldd "$app" | grep -q 'libQt6Test'; then
    echo "FAIL: the application links Qt Test" >&2
    exit 1
fi
if strings "$app" | grep -q 'QUORLIX_TOUR'; then
    echo "FAIL: the application reads a tour variable" >&2
    exit 1
fi
echo "ok: answered --version and --help without a display; no test driver inside"
