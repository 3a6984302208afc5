#!/usr/bin/env bash
# An installed window, with no test hook: under Xvfb it must map a window of class Quorlix (the
# desktop entry's StartupWMClass), quit on Ctrl+Q with status 0 and print no warning.
#   window-smoke.sh PATH/TO/quorlix
set -euo pipefail
app="$1"
work="$(mktemp -d "${TMPDIR:-/tmp}/quorlix-window-XXXXXX")"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config" "$work/data" "$work/cache" "$work/runtime"
chmod 700 "$work/runtime"
export HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" \
    XDG_CACHE_HOME="$work/cache" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb
unset DBUS_SESSION_BUS_ADDRESS

cat >"$work/drive.sh" <<'DRIVE'
#!/usr/bin/env bash
set -u
"$1" >"$2/out" 2>"$2/err" &
pid=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --class '^Quorlix$' | head -n1)
if [[ -z "$window" ]]; then
    echo "no window of class Quorlix appeared" >"$2/why"
    kill "$pid" 2>/dev/null
    wait "$pid"
    exit 1
fi
xdotool windowfocus --sync "$window" key ctrl+q
for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
    echo "still running 10 s after Ctrl+Q" >"$2/why"
    kill "$pid"
fi
wait "$pid"
DRIVE
chmod +x "$work/drive.sh"

status=0
timeout 90 xvfb-run -a -s "-screen 0 1280x1024x24" "$work/drive.sh" "$app" "$work" || status=$?
if [[ $status -ne 0 ]]; then
    echo "FAIL: $(cat "$work/why" 2>/dev/null || echo "the application exited with $status")" >&2
    cat "$work/err" >&2
    exit 1
fi
if grep -iE "qml|warning|error" "$work/err" >&2; then
    echo "FAIL: warnings on standard error (above)" >&2
    exit 1
fi
echo "ok: $app mapped its window and quit on Ctrl+Q"
