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
    libssl-dev libsystemd-dev nlohmann-json3-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    jdupes rmlint time
    # photographs and real camera footage for the feature-print benchmark (bench/featureprint.sh)
    mate-backgrounds plasma-workspace-wallpapers lomiri-wallpapers-20.04 visp-images-data
    # Qt 6 for the application model and the window; lrelease compiles the translations
    qt6-base-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools qt6-declarative-dev libqt6dbus6
)

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo=()
    [[ $(id -u) -eq 0 ]] || sudo=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -qq
    "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

if [[ ! -f "build/$preset/build.ninja" ]]; then
    cmake --preset "$preset" >/dev/null
fi
cmake --build --preset "$preset" | { grep -vE '^\[[0-9]+/[0-9]+\] ' || true; }
