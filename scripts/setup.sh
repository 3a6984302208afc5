#!/usr/bin/env bash
# Installs every Debian package that building, testing and benchmarking Quorlix needs, then
# configures and builds. Non-interactive, idempotent, quiet when everything is present.
#   scripts/setup.sh [PRESET]     (PRESET: release (default) or dev)
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-release}"

packages=(
    build-essential cmake ninja-build pkg-config git
    libvips-dev libvips-tools libexiv2-dev libraw-dev libheif-dev
    libdlib-dev libdlib-data
    libssl-dev libsystemd-dev nlohmann-json3-dev libsqlite3-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    jdupes rmlint time
    # photographs and real camera footage for the feature-print benchmark (bench/featureprint.sh)
    mate-backgrounds plasma-workspace-wallpapers lomiri-wallpapers-20.04 visp-images-data
    # Qt 6 for the application model and the window; lrelease compiles the translations
    qt6-base-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools qt6-declarative-dev libqt6dbus6
    libgl-dev qt6-qpa-plugins
    # the QML modules the window imports at run time (nothing else pulls them in)
    qml6-module-qtqml qml6-module-qtqml-models qml6-module-qtqml-workerscript
    qml6-module-qtquick qml6-module-qtquick-controls qml6-module-qtquick-templates
    qml6-module-qtquick-layouts qml6-module-qtquick-window qml6-module-qtquick-dialogs
    qml6-module-qtquick-shapes qml6-module-qt-labs-folderlistmodel
    # the window's tests run the real app and Qt Quick Test under a virtual X server
    qml6-module-qttest xvfb xauth
    # xdg-email: the share picker's "Send by e-mail" (hidden without it)
    xdg-utils
    # the benchmarks' scripts
    bc python3
)

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -qq
    "${sudo[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# The share card's Fraunces (weights 300 and 600) from the npm registry, once, into the build.
# Without network or npm the card falls back to the system font, so failures only warn.
fonts=build/fonts
if [[ ! -f "$fonts/Fraunces-Latin-300.woff2" || ! -f "$fonts/Fraunces-Latin-600.woff2" ]]; then
    if ! command -v npm >/dev/null; then
        "${sudo[@]}" apt-get install -y -qq --no-install-recommends npm >/dev/null || true
    fi
    tmp="$(mktemp -d)"
    if command -v npm >/dev/null &&
        (cd "$tmp" && npm pack --silent @fontsource/fraunces@5 >/dev/null 2>&1) &&
        tar -xzf "$tmp"/fontsource-fraunces-*.tgz -C "$tmp" \
            package/files/fraunces-latin-300-normal.woff2 package/files/fraunces-latin-600-normal.woff2
    then
        mkdir -p "$fonts"
        cp "$tmp/package/files/fraunces-latin-300-normal.woff2" "$fonts/Fraunces-Latin-300.woff2"
        cp "$tmp/package/files/fraunces-latin-600-normal.woff2" "$fonts/Fraunces-Latin-600.woff2"
        # Picked up at configure time.
        [[ -f "build/$preset/build.ninja" ]] && cmake "build/$preset" >/dev/null
    else
        echo "Could not fetch @fontsource/fraunces; the share card will use the system font." >&2
    fi
    rm -rf "$tmp"
fi

if [[ ! -f "build/$preset/build.ninja" ]]; then
    cmake --preset "$preset" >/dev/null
fi
cmake --build --preset "$preset" | { grep -vE '^\[[0-9]+/[0-9]+\] ' || true; }
