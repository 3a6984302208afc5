#!/usr/bin/env bash
# Starts the real window (the quorlix-tour test program) under Xvfb on a generated folder,
# drives it through its screens (empty, drop highlight, each scan phase, the finished scan with
# its splash, the share picker, the results with many groups, scrolled, a photo enlarged with its
# details, a thumbnail's focus ring, the move confirmation for the Trash and for a folder with
# the folder dialog, a long move's progress, the notice with Undo and the plain notice after it,
# preferences, About, the splash of a made-up result with a very large duplicate count; a folder
# with nothing to sort chosen in the folder dialog; one with only look-alikes; one with no
# photos) and writes one PNG per screen in the light and the dark appearance.
#   tools/screenshot-tour.sh OUTDIR
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
if [[ $# -ne 1 ]]; then
    echo "Usage: tools/screenshot-tour.sh OUTDIR" >&2
    exit 2
fi
out="$(mkdir -p "$1" && cd "$1" && pwd)"
app="$root/build/release/tests/tour/quorlix-tour"
# Only the application is needed; a first run sets everything up.
[[ -f "$root/build/release/build.ninja" ]] || "$root/scripts/setup.sh" release
cmake --build "$root/build/release" -j2 --target quorlix-tour | { grep -vE '^\[[0-9]+/[0-9]+\] ' || true; }

work="$(mktemp -d "${TMPDIR:-/tmp}/quorlix-tour-XXXXXX")"
trap 'rm -rf "$work"' EXIT

# One large field of blurred colour noise; each photo is a different crop of it.
# shellcheck source=tools/photo-field.sh
source "$root/tools/photo-field.sh"
photo_field "$work" 600 450
# scene FOLDER NAME INDEX [DX DY Q]: crop number INDEX of the field, nudged by DX, DY.
scene() {
    local i=$3
    vips crop "$work/field-srgb.v" "$1/$2[Q=${6:-88}]" \
        $(((i % 5) * 340 + ${4:-0})) $(((i / 5) * 300 + ${5:-0})) 640 480
}

# Many groups: every scene with one to three exact copies, a few bursts, and a copy with a
# long name.
photos="$work/Holiday photos"
mkdir -p "$photos"
for i in $(seq 0 19); do
    scene "$photos" "IMG_$((1001 + i)).jpg" "$i"
    for c in $(seq 1 $((1 + i % 3))); do
        cp "$photos/IMG_$((1001 + i)).jpg" "$photos/IMG_$((1001 + i)) ($c).jpg"
    done
done
for i in 0 4 8 12 16; do
    scene "$photos" "IMG_$((1001 + i))-burst.jpg" "$i" 6 4 80
done
cp "$photos/IMG_1003.jpg" \
    "$photos/Family reunion at the lake house, summer 2024 - everyone together at last (edited).jpg"
# Six copies of a file no decoder reads, the largest group so it comes first: its cells keep
# the grey placeholder, and its row scrolls sideways.
head -c 100000 /dev/urandom >"$photos/IMG_0999.jpg"
for c in 1 2 3 4 5; do
    cp "$photos/IMG_0999.jpg" "$photos/IMG_0999 ($c).jpg"
done

# Only look-alikes: bursts of three frames, no identical bytes.
bursts="$work/Bursts"
mkdir -p "$bursts"
for i in 1 6 11 17; do
    scene "$bursts" "BURST_${i}_a.jpg" "$i" 0 0 90
    scene "$bursts" "BURST_${i}_b.jpg" "$i" 4 3 84
    scene "$bursts" "BURST_${i}_c.jpg" "$i" 8 5 78
done

# Nothing to sort: distinct scenes only.
tidy="$work/Tidy folder"
mkdir -p "$tidy"
for i in 2 7 13 19 23; do
    scene "$tidy" "DSC_$((400 + i)).jpg" "$i"
done
rm -f "$work"/*.v
mkdir -p "$work/No photos/Empty subfolder"
echo "not a photo" >"$work/No photos/notes.txt"

# tour THEME TAG FOLDER STEPS: one run of the application.
tour() {
    local home="$work/home-$2"
    mkdir -p "$home/config/Quorlix" "$home/data" "$home/cache" "$home/runtime"
    chmod 700 "$home/runtime"
    # The appearance comes from the stored settings record, as it does for a user.
    printf '[General]\nquorlix_config_v1="@ByteArray({\\"language\\":\\"en\\",\\"theme\\":\\"%s\\",\\"completedScans\\":0})"\n' \
        "$1" >"$home/config/Quorlix/Quorlix.conf"
    HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" \
        XDG_CACHE_HOME="$home/cache" XDG_RUNTIME_DIR="$home/runtime" \
        QT_QPA_PLATFORM=xcb DBUS_SESSION_BUS_ADDRESS= \
        timeout 300 xvfb-run -a -s "-screen 0 1280x1024x24" "$app" --steps "$4" --out "$out" \
        --tag "$2" --folder "$3" --dest "${5:-$work}" --slices 1,600 --size 1280x800 | grep '^tour:' || true
}

for theme in light dark; do
    # Each appearance moves the others of its own copy of the folder.
    rm -rf "$work/photos-$theme" "$work/moved-$theme"
    cp -a "$photos" "$work/photos-$theme"
    mkdir -p "$work/moved-$theme"
    tour "$theme" "$theme" "$work/photos-$theme" \
        empty,drop,scan,share,results,scroll,quicklook,focus,confirm-trash,cancel,choose-folder,confirm,undo,preferences,about,large \
        "$work/moved-$theme"
    tour "$theme" "tidy-$theme" "$tidy" choose,results
    tour "$theme" "nophotos-$theme" "$work/No photos" choose,results
done
tour light nearonly-light "$bursts" drop,scan,results
ls "$out"/*.png
