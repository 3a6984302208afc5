#!/usr/bin/env bash
# Installs the build into a temporary prefix and runs what was installed: quorlix-scan --json on
# a generated folder, and the window. Nothing may come from the build folder: the dynamic
# loader's trace must not name it, and no installed file may hold its path.
#   install-test.sh BUILD_DIR
set -euo pipefail
build="$(cd "$1" && pwd)"
work="$(mktemp -d "${TMPDIR:-/tmp}/quorlix-install-XXXXXX")"
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"
here="$(cd "$(dirname "$0")" && pwd)"
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

cmake --install "$build" --prefix "$prefix" --component runtime >"$work/install.log" ||
    { cat "$work/install.log" >&2; fail "cmake --install failed"; }
id=io.github.quorlix.Quorlix
libdir=$(cd "$prefix" && find . -name libquorlix_core.so -printf '%h\n' | sed 's|^\./||')
[[ "$libdir" == lib*/quorlix ]] || fail "the engine libraries are not in lib/quorlix ($libdir)"
for f in bin/quorlix bin/quorlix-scan "$libdir/libquorlix_analysis.so" \
    share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
    share/icons/hicolor/scalable/apps/$id.svg share/man/man1/quorlix.1.gz \
    share/man/man1/quorlix-scan.1.gz share/doc/quorlix/copyright; do
    [[ -f "$prefix/$f" ]] || fail "$f was not installed"
done
for size in 16 22 24 32 48 64 128 256 512; do
    icon="$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png"
    [[ -f "$icon" ]] || fail "no ${size}px icon"
    # PNG header: width and height as big-endian words at offsets 16 and 20.
    dims=$(od -An -tu1 -j16 -N8 "$icon" | awk '{print $3*256+$4 "x" $7*256+$8}')
    [[ "$dims" == "${size}x${size}" ]] || fail "the ${size}px icon is $dims"
done
desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net --explain "$prefix/share/metainfo/$id.metainfo.xml" >"$work/as" ||
    { cat "$work/as" >&2; fail "appstreamcli validate"; }
# Debug information records where it was compiled; only what the programs read counts.
while IFS= read -r -d '' f; do
    copy="$work/stripped"
    if objcopy --strip-debug "$f" "$copy" 2>/dev/null; then
        grep -qF "$build" "$copy" && fail "${f#"$prefix"/} names the build folder"
    else
        grep -qF "$build" "$f" && fail "${f#"$prefix"/} names the build folder"
    fi
done < <(find "$prefix" -type f -print0)

# A folder with one exact pair and a photo of its own.
photos="$work/photos"
mkdir -p "$photos"
vips gaussnoise "$work/a.v" 320 240
vips gaussnoise "$work/b.v" 320 240
vips copy "$work/a.v" "$photos/a.jpg[Q=90]"
vips copy "$work/b.v" "$photos/b.jpg[Q=90]"
cp "$photos/a.jpg" "$photos/a copy.jpg"

LD_DEBUG=libs "$prefix/bin/quorlix-scan" --json "$photos" >"$work/scan.json" 2>"$work/ld.log" ||
    { tail -n 20 "$work/ld.log" >&2; fail "the installed quorlix-scan failed"; }
grep -q "libquorlix_analysis.so" "$work/ld.log" || fail "the whole scan did not load the analysis"
if grep -F "$build" "$work/ld.log" >&2; then
    fail "the installed quorlix-scan loaded from the build folder (above)"
fi
[[ $(grep -c '"kind": "exact"' "$work/scan.json") -eq 1 ]] ||
    { cat "$work/scan.json" >&2; fail "expected one exact group"; }
grep -q '"totalPhotos": 3' "$work/scan.json" || fail "expected three photos"
version=$("$prefix/bin/quorlix-scan" --version)
[[ "$version" =~ ^quorlix-scan\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "--version printed '$version'"

QT_QPA_PLATFORM=offscreen LD_DEBUG=libs "$prefix/bin/quorlix" --version >/dev/null 2>"$work/ld-app.log" ||
    fail "the installed quorlix --version failed"
if grep -F "$build" "$work/ld-app.log" >&2; then
    fail "the installed quorlix loaded from the build folder (above)"
fi
"$here/window-smoke.sh" "$prefix/bin/quorlix"
echo "ok: installed into a temporary prefix; the scanner and the window ran from it"
