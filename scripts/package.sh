#!/usr/bin/env bash
# Builds the Debian package from the release build, lists lintian's findings, then installs the
# package with apt into a throw-away Debian 12 root made by mmdebstrap and runs it there:
# quorlix-scan --version, a scan, and the window under Xvfb.
#   scripts/package.sh [--no-root]
# Needs root (or sudo) and the package mirror for the throw-away root.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
# Only what the package holds.
scripts/setup.sh release quorlix quorlix-scan quorlix_man quorlix_icons quorlix_changelog
out="$root/build/package"
rm -rf "$out"
mkdir -p "$out"
(cd build/release && cpack -G DEB -B "$out" >/dev/null)
deb="$(ls "$out"/quorlix_*.deb)"
echo "== $(basename "$deb"): $(du -k "$deb" | cut -f1) kB," \
    "Installed-Size $(dpkg-deb -f "$deb" Installed-Size) kB"
dpkg-deb -f "$deb" Depends Recommends | fold -s -w 100
echo "== lintian"
lintian --info --display-info "$deb" || true

[[ "${1:-}" == "--no-root" ]] && exit 0
sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
command -v mmdebstrap >/dev/null || "${sudo[@]}" apt-get install -y -qq mmdebstrap >/dev/null
echo "== throw-away Debian 12 root"
chroot_dir="$(mktemp -d "${TMPDIR:-/tmp}/quorlix-root-XXXXXX")"
trap '"${sudo[@]}" rm -rf "$chroot_dir"' EXIT
# The package's own dependencies come from the mirror through apt; the test tools (Xvfb,
# xdotool, vips to make photos) are added apart, so a missing dependency shows as a failure.
"${sudo[@]}" mmdebstrap --variant=apt --quiet \
    --include=xvfb,xauth,xdotool,libvips-tools \
    --customize-hook="copy-in '$deb' /tmp" \
    --customize-hook="copy-in '$root/tests/install/window-smoke.sh' /tmp" \
    --customize-hook='chroot "$1" du -sx --block-size=1M / | cut -f1 > "$1/tmp/size-before"' \
    --customize-hook='chroot "$1" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q /tmp/'"$(basename "$deb")"' | grep -E "newly installed|additional disk"' \
    --customize-hook='chroot "$1" du -sx --block-size=1M / | cut -f1 > "$1/tmp/size-after"' \
    --customize-hook='echo "root grew by $(( $(cat "$1/tmp/size-after") - $(cat "$1/tmp/size-before") )) MB"' \
    --customize-hook='chroot "$1" quorlix-scan --version' \
    --customize-hook='chroot "$1" sh -c "mkdir -p /tmp/p && vips gaussnoise /tmp/p/a.jpg 320 240 && cp /tmp/p/a.jpg /tmp/p/b.jpg && vips gaussnoise /tmp/p/c.jpg 320 240 && quorlix-scan /tmp/p"' \
    --customize-hook='chroot "$1" /tmp/window-smoke.sh /usr/bin/quorlix' \
    bookworm "$chroot_dir" http://deb.debian.org/debian
echo "== the package installed and ran in a throw-away root"
