#!/usr/bin/env bash
# End to end, the real window under Xvfb: choose a generated folder of JPEGs (exact copies and
# a look-alike burst) in the folder dialog as a user does, scan it, leave the splash, ask for
# the Trash and cancel with Escape, choose a destination folder in the dialog, confirm with
# Return, check the files on disk, undo with Ctrl+Z, check again. Everything lives in one
# temporary folder with its own HOME and XDG folders, so the user's Trash and settings are never
# reached.   Usage: e2e-move.sh PATH/TO/quorlix-tour
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
app="$1"
work="$(mktemp -d "${TMPDIR:-/tmp}/quorlix-e2e-XXXXXX")"
pid=""
cleanup() {
    if [[ -n "$pid" ]] && kill -0 "$pid" 2>/dev/null; then
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    echo "--- application output" >&2
    cat "$work/out" >&2 2>/dev/null || true
    echo "--- application errors" >&2
    cat "$work/err" >&2 2>/dev/null || true
    exit 1
}

mkdir -p "$work/config" "$work/data" "$work/cache" "$work/runtime" "$work/sync" "$work/dest"
chmod 700 "$work/runtime"
export HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" \
    XDG_CACHE_HOME="$work/cache" XDG_RUNTIME_DIR="$work/runtime" TMPDIR="$work"
unset DBUS_SESSION_BUS_ADDRESS

# Photos: distinct crops of one field of blurred colour noise; two byte-identical copies; a
# burst frame that is the same view shifted by a few pixels and saved at another quality.
photos="$work/Trip photos"
mkdir -p "$photos"
# shellcheck source=tools/photo-field.sh
source "$root/tools/photo-field.sh"
photo_field "$work" 400 300
for i in 0 1 2 3 4 5; do
    vips crop "$work/field-srgb.v" "$photos/IMG_$((2001 + i)).jpg[Q=88]" \
        $(((i % 3) * 360)) $(((i / 3) * 560)) 640 480
done
cp "$photos/IMG_2001.jpg" "$photos/IMG_2001 copy.jpg"
cp "$photos/IMG_2002.jpg" "$photos/IMG_2002 (2).jpg"
vips crop "$work/field-srgb.v" "$photos/IMG_2001-burst.jpg[Q=80]" 6 4 640 480
rm -f "$work"/*.v

# name + checksum of every file, sorted: the folder as the user left it.
listing() { (cd "$1" && find . -type f -exec sha256sum {} + | sort -k2); }
checksums() { (cd "$1" && find . -type f -exec sha256sum {} + | awk '{print $1}' | sort); }
before="$(listing "$photos")"
before_sums="$(checksums "$photos")"

# The folder dialog opens in ~/Pictures, which holds a decoy subfolder the dialog must not pick.
mkdir -p "$work/Pictures/Backup 2023"
export QT_QPA_PLATFORM=xcb
xvfb-run -a -s "-screen 0 1280x1024x24" "$app" \
    --steps choose,scan,results,confirm-trash,cancel,choose-folder,confirm,wait:moved,undo,wait:undone \
    --folder "$photos" --dest "$work/dest" --sync "$work/sync" >"$work/out" 2>"$work/err" &
pid=$!

# Waits for a line of the driver, or fails when the application ends or time runs out.
await() {
    local pattern="$1" limit=$((SECONDS + 600))
    until grep -q -- "$pattern" "$work/out" 2>/dev/null; do
        kill -0 "$pid" 2>/dev/null || fail "the application ended before \"$pattern\""
        ((SECONDS < limit)) || fail "no \"$pattern\" within 600 s"
        sleep 0.2
    done
}

await "tour: dialog shows $work/Pictures"
await "tour: results "
grep -E "tour: results exact=[1-9][0-9]* near=[1-9]" "$work/out" >/dev/null ||
    fail "the scan did not find both the copies and the burst"
await "tour: cancelled"
await "tour: panel title=Choose where to move the photos you are not keeping."
await "tour: waiting moved"

moved="$(sed -n 's/^tour: moved count=\([0-9]*\) undoable=1 .*/\1/p' "$work/out")"
[[ -n "$moved" && "$moved" -ge 2 ]] || fail "the move did not report at least 2 moved photos"
in_dest="$(find "$work/dest" -type f | wc -l)"
[[ "$in_dest" -eq "$moved" ]] || fail "$in_dest files in the destination, $moved reported"
left="$(find "$photos" -type f | wc -l)"
[[ $((left + moved)) -eq $(wc -l <<<"$before") ]] || fail "files went missing: $left left"
# Every byte is still somewhere, and the originals of the copies are still in the folder.
all_sums="$( (checksums "$photos"; checksums "$work/dest") | sort)"
[[ "$all_sums" == "$before_sums" ]] || fail "the photos' bytes changed during the move"
[[ -z "$(find "$work/data" -path '*Trash/files/*' -type f)" ]] || fail "something went to the Trash"
touch "$work/sync/moved"

await "tour: undone text=$moved photos put back"
await "tour: waiting undone"
[[ "$(listing "$photos")" == "$before" ]] || fail "the folder is not as it was after undo"
[[ -z "$(find "$work/dest" -mindepth 1)" ]] || fail "the destination is not empty after undo"
touch "$work/sync/undone"

status=0
wait "$pid" || status=$?
pid=""
[[ $status -eq 0 ]] || fail "the application exited with $status"
if grep -iE "qml|warning|error" "$work/err" >&2; then
    fail "warnings on standard error (above)"
fi
grep '^tour:' "$work/out"
echo "ok: moved $moved photos to a folder and put them back"
