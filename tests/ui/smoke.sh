#!/usr/bin/env bash
# The real window under Xvfb: it must show the empty state, quit when its window is closed,
# and print no QML warning; the shipped program answers --help and --version without a display
# and carries no test driver. Usage: smoke.sh PATH/TO/quorlix PATH/TO/quorlix-tour
set -euo pipefail
app="$1"
tour="$2"
work="$(mktemp -d "${TMPDIR:-/tmp}/quorlix-smoke-XXXXXX")"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config" "$work/data" "$work/cache" "$work/runtime"
chmod 700 "$work/runtime"
export HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" \
    XDG_CACHE_HOME="$work/cache" XDG_RUNTIME_DIR="$work/runtime"
unset DBUS_SESSION_BUS_ADDRESS

# No display at all: the two informational options still answer.
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

# The driver closes the window once the empty state is on screen.
export QT_QPA_PLATFORM=xcb
status=0
timeout 60 xvfb-run -a -s "-screen 0 1280x1024x24" "$tour" --steps empty >"$work/out" 2>"$work/err" ||
    status=$?
cat "$work/out"
if [[ $status -ne 0 ]]; then
    echo "FAIL: the application exited with $status" >&2
    cat "$work/err" >&2
    exit 1
fi
if ! grep -q "tour: empty state shown" "$work/out"; then
    echo "FAIL: the empty state was not shown" >&2
    cat "$work/err" >&2
    exit 1
fi
if grep -iE "qml|warning|error" "$work/err" >&2; then
    echo "FAIL: warnings on standard error (above)" >&2
    exit 1
fi
echo "ok: started, showed the empty state, quit on close"
