#!/usr/bin/env bash
# Installs the Debian packages Quorlix needs, then configures and builds. Non-interactive,
# idempotent, quiet when everything is present.
#   scripts/setup.sh [--bench] [PRESET] [TARGET...]
# PRESET: release (default), dev, fuzz, or a CI preset. TARGETs limit the build (default: all).
# --bench also installs the benchmarks' data and peer tools.
set -euo pipefail
cd "$(dirname "$0")/.."
bench=0
if [[ "${1:-}" == "--bench" ]]; then
    bench=1
    shift
fi
preset="${1:-release}"
shift || true
targets=("$@")

# What running the window and the scanner needs (the package's dependencies, by name).
run_packages=(
    libvips42 libexiv2-27 libraw20 libheif1 libdlib19.1 libdlib-data libssl3 libsystemd0 libsqlite3-0
    libqt6core6 libqt6gui6 libqt6dbus6 libqt6qml6 libqt6quick6 qt6-qpa-plugins
    # the QML modules the window imports at run time (nothing else pulls them in)
    qml6-module-qtqml qml6-module-qtqml-models qml6-module-qtqml-workerscript
    qml6-module-qtquick qml6-module-qtquick-controls qml6-module-qtquick-templates
    qml6-module-qtquick-layouts qml6-module-qtquick-window qml6-module-qtquick-dialogs
    qml6-module-qtquick-shapes qml6-module-qt-labs-folderlistmodel
    # xdg-email: the share picker's "Send by e-mail" (hidden without it)
    xdg-utils
)
# What building and testing need besides.
build_packages=(
    build-essential cmake ninja-build pkg-config git
    libvips-dev libvips-tools libexiv2-dev libraw-dev libheif-dev libdlib-dev
    libssl-dev libsystemd-dev nlohmann-json3-dev libsqlite3-dev libgtest-dev libgmock-dev libbenchmark-dev
    # Qt 6; lrelease compiles the translations
    qt6-base-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools qt6-declarative-dev libgl-dev
    # the man pages, the icons, the desktop entry's and metainfo's validators, the package
    scdoc librsvg2-bin desktop-file-utils appstream dpkg-dev lintian
    # the window's tests run the real app and Qt Quick Test under a virtual X server
    qml6-module-qttest xvfb xauth xdotool
    # independent writers of the HEIC files and the EXIF that the decoder tests read
    libheif-examples libimage-exiftool-perl
    # CI: the format gate; the fuzz preset's clang with the libFuzzer and sanitizer runtimes
    clang-format clang libclang-rt-14-dev llvm
)
# What the benchmarks need besides: peer tools, and photographs and real camera footage.
bench_packages=(
    jdupes rmlint time bc python3
    mate-backgrounds plasma-workspace-wallpapers lomiri-wallpapers-20.04 visp-images-data
)

wanted=("${run_packages[@]}" "${build_packages[@]}")
((bench)) && wanted+=("${bench_packages[@]}")
# One query for every package: the installed ones print "ii ".
mapfile -t installed < <(dpkg-query -W -f='${db:Status-Abbrev}${Package}\n' "${wanted[@]}" \
    2>/dev/null | sed -n 's/^ii *//p')
declare -A have=()
for p in "${installed[@]}"; do have[$p]=1; done
missing=()
for p in "${wanted[@]}"; do [[ -n "${have[$p]:-}" ]] || missing+=("$p"); done
if ((${#missing[@]})); then
    sudo=()
    [[ $(id -u) -eq 0 ]] || sudo=(sudo)
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -qq
    "${sudo[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# The share card's Fraunces (weights 300 and 600) from the npm registry, once, into the build.
# Without network the card falls back to the system font, so a failure only warns, once.
fonts=build/fonts
if [[ ! -f "$fonts/Fraunces-Latin-300.woff2" || ! -f "$fonts/Fraunces-Latin-600.woff2" ]] &&
    [[ ! -f "$fonts/.unavailable" ]]; then
    if ! command -v npm >/dev/null; then
        [[ $(id -u) -eq 0 ]] && sudo=() || sudo=(sudo)
        "${sudo[@]}" apt-get install -y -qq --no-install-recommends npm >/dev/null 2>&1 || true
    fi
    tmp="$(mktemp -d)"
    mkdir -p "$fonts"
    if command -v npm >/dev/null && (cd "$tmp" && npm pack --silent @fontsource/fraunces@5 >/dev/null 2>&1) &&
        tar -xzf "$tmp"/fontsource-fraunces-*.tgz -C "$tmp" \
            package/files/fraunces-latin-300-normal.woff2 package/files/fraunces-latin-600-normal.woff2
    then
        cp "$tmp/package/files/fraunces-latin-300-normal.woff2" "$fonts/Fraunces-Latin-300.woff2"
        cp "$tmp/package/files/fraunces-latin-600-normal.woff2" "$fonts/Fraunces-Latin-600.woff2"
        # Picked up at configure time.
        [[ -f "build/$preset/build.ninja" ]] && cmake "build/$preset" >/dev/null
    else
        touch "$fonts/.unavailable"
        echo "Could not fetch @fontsource/fraunces; the share card will use the system font" \
            "(delete $fonts/.unavailable to try again)." >&2
    fi
    rm -rf "$tmp"
fi

if [[ ! -f "build/$preset/build.ninja" ]]; then
    cmake --preset "$preset" >/dev/null
fi
build=(cmake --build --preset "$preset")
((${#targets[@]})) && build+=(--target "${targets[@]}")
"${build[@]}" | { grep -vE '^\[[0-9]+/[0-9]+\] |^ninja: no work to do' || true; }
