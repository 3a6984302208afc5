#!/usr/bin/env bash
# Processor time of the window while it sits idle on each screen under Xvfb with software
# rendering: the tour driver walks to a screen and waits there; after SETTLE seconds for entry
# animations, the window's and the X server's processor time is read over SECONDS seconds.
#   bench/idle-cpu.sh [--app TOUR_BINARY] [--seconds 10] [--settle 3] [--theme light|dark]
# Prints one line per screen: percent of one core for the application and for Xvfb.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
app="$root/build/release/tests/tour/quorlix-tour"
seconds=10
settle=3
theme=light
while [[ $# -gt 0 ]]; do
    case "$1" in
    --app) app="$2"; shift 2 ;;
    --seconds) seconds="$2"; shift 2 ;;
    --settle) settle="$2"; shift 2 ;;
    --theme) theme="$2"; shift 2 ;;
    *) echo "Usage: bench/idle-cpu.sh [--app BIN] [--seconds N] [--settle N] [--theme T]" >&2
       exit 2 ;;
    esac
done
[[ -x "$app" ]] || cmake --build "$root/build/release" -j2 --target quorlix-tour >/dev/null

work="$(mktemp -d "${TMPDIR:-/tmp}/quorlix-idle-XXXXXX")"
tour_pid=
cleanup() {
    [[ -n "$tour_pid" ]] && kill "$tour_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A folder with copies and a burst, so the results screen has groups to show.
# shellcheck source=tools/photo-field.sh
source "$root/tools/photo-field.sh"
photo_field "$work" 600 450
photos="$work/photos"
mkdir -p "$photos"
for i in 0 1 2 3 4 5; do
    vips crop "$work/field-srgb.v" "$photos/IMG_$i.jpg[Q=88]" $(((i % 5) * 340)) $(((i / 5) * 300)) 640 480
    cp "$photos/IMG_$i.jpg" "$photos/IMG_$i copy.jpg"
done
vips crop "$work/field-srgb.v" "$photos/IMG_0-burst.jpg[Q=80]" 6 4 640 480
rm -f "$work"/*.v

home="$work/home"
mkdir -p "$home/config/Quorlix" "$home/data" "$home/cache" "$home/runtime" "$work/sync"
chmod 700 "$home/runtime"
printf '[General]\nquorlix_config_v1="@ByteArray({\\"language\\":\\"en\\",\\"theme\\":\\"%s\\",\\"completedScans\\":0})"\n' \
    "$theme" >"$home/config/Quorlix/Quorlix.conf"

# Clock ticks of a process and its threads, user plus system.
ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null || echo 0; }

steps=empty,wait:empty,drop,scan,wait:splash,results,wait:results,quicklook,wait:quicklook,focus
steps+=,confirm-trash,wait:confirm-trash,cancel,preferences,wait:preferences
fifo="$work/out"
mkfifo "$fifo"
HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" \
    XDG_CACHE_HOME="$home/cache" XDG_RUNTIME_DIR="$home/runtime" \
    QT_QPA_PLATFORM=xcb DBUS_SESSION_BUS_ADDRESS= \
    xvfb-run -a -s "-screen 0 1280x1024x24" "$app" --steps "$steps" --folder "$photos" \
    --dest "$work" --sync "$work/sync" >"$fifo" 2>/dev/null &
tour_pid=$!
hz=$(getconf CLK_TCK)
printf '%-16s %8s %8s\n' screen app% Xvfb%
while read -r line; do
    [[ "$line" == "tour: waiting "* ]] || continue
    name="${line#tour: waiting }"
    sleep "$settle"
    # Both run as children of xvfb-run.
    app_pid=$(pgrep -n -P "$tour_pid" -f -- "--steps" || true)
    x_pid=$(pgrep -n -P "$tour_pid" Xvfb || true)
    a0=$(ticks "$app_pid") x0=$(ticks "$x_pid")
    sleep "$seconds"
    a1=$(ticks "$app_pid") x1=$(ticks "$x_pid")
    awk -v n="$name" -v a=$((a1 - a0)) -v x=$((x1 - x0)) -v s="$seconds" -v hz="$hz" \
        'BEGIN { printf "%-16s %8.1f %8.1f\n", n, 100 * a / hz / s, 100 * x / hz / s }'
    touch "$work/sync/$name"
done <"$fifo"
wait "$tour_pid" || true
tour_pid=
