#!/usr/bin/env bash
# Starts the real application under Xvfb on a generated folder, drives it through its screens
# (empty, drop highlight, each scan phase, the finished scan, the move confirmation for the
# Trash and for a folder, a long move's progress, the notice with Undo and the plain notice after
# it) and writes one PNG per screen in the light and the dark appearance.   tools/screenshot-tour.sh OUTDIR
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
if [[ $# -ne 1 ]]; then
    echo "Usage: tools/screenshot-tour.sh OUTDIR" >&2
    exit 2
fi
out="$(mkdir -p "$1" && cd "$1" && pwd)"
app="$root/build/release/ui/quorlix"
# Only the application is needed; a first run sets everything up.
[[ -f "$root/build/release/build.ninja" ]] || "$root/scripts/setup.sh" release
cmake --build "$root/build/release" --target quorlix | { grep -vE '^\[[0-9]+/[0-9]+\] ' || true; }

work="$(mktemp -d "${TMPDIR:-/tmp}/quorlix-tour-XXXXXX")"
trap 'rm -rf "$work"' EXIT

# A small photo folder: distinct scenes, exact copies and a look-alike pair.
photos="$work/Holiday photos"
mkdir -p "$photos"
# One large field of blurred colour noise; each photo is a different crop of it.
for band in r g b; do
    vips gaussnoise "$work/$band.v" 600 450 --mean 128 --sigma 70
done
vips bandjoin "$work/r.v $work/g.v $work/b.v" "$work/rgb.v"
vips resize "$work/rgb.v" "$work/big.v" 4 --kernel linear
vips gaussblur "$work/big.v" "$work/blur.v" 10
vips cast "$work/blur.v" "$work/field.v" uchar
vips copy "$work/field.v" "$work/field-srgb.v" --interpretation srgb
for i in $(seq 0 19); do
    vips crop "$work/field-srgb.v" "$photos/IMG_$((1001 + i)).jpg[Q=88]" \
        $(((i % 5) * 340)) $(((i / 5) * 300)) 640 480
done
cp "$photos/IMG_1001.jpg" "$photos/IMG_1001 copy.jpg"
cp "$photos/IMG_1002.jpg" "$photos/IMG_1002 (2).jpg"
vips crop "$work/field-srgb.v" "$photos/IMG_1001-burst.jpg[Q=80]" 6 4 640 480
rm -f "$work"/*.v

for theme in light dark; do
    # Each appearance moves the others of its own copy of the folder.
    rm -rf "$work/photos-$theme" "$work/moved-$theme"
    cp -a "$photos" "$work/photos-$theme"
    mkdir -p "$work/moved-$theme"
    home="$work/home-$theme"
    mkdir -p "$home/config/Quorlix" "$home/data" "$home/cache" "$home/runtime"
    chmod 700 "$home/runtime"
    # The appearance comes from the stored settings record, as it does for a user.
    printf '[General]\nquorlix_config_v1="@ByteArray({\\"language\\":\\"en\\",\\"theme\\":\\"%s\\",\\"completedScans\\":0})"\n' \
        "$theme" >"$home/config/Quorlix/Quorlix.conf"
    HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" \
        XDG_CACHE_HOME="$home/cache" XDG_RUNTIME_DIR="$home/runtime" \
        QT_QPA_PLATFORM=xcb DBUS_SESSION_BUS_ADDRESS= \
        QUORLIX_TOUR=empty,drop,scan,results,confirm-trash,cancel,choose-folder,confirm,undo \
        QUORLIX_TOUR_OUT="$out" QUORLIX_TOUR_TAG="$theme" \
        QUORLIX_TOUR_FOLDER="$work/photos-$theme" QUORLIX_TOUR_DEST="$work/moved-$theme" \
        QUORLIX_TOUR_SLICES=1,600 \
        timeout 180 xvfb-run -a -s "-screen 0 1280x1024x24" "$app" | grep '^tour:' || true
done
ls "$out"/*.png
