#!/usr/bin/env bash
# Sets everything up, then runs the whole test suite of the release build.
#   scripts/test.sh [CTEST_ARGS...]
#   scripts/test.sh --ci      the CI gates, each in its own build (what .ci/run runs):
#     the format check; the release build with warnings as errors and all its tests; qmllint.
#   scripts/test.sh --sanitizers   the engine and app tests under ASan/UBSan, then under TSan
#     (not yet a CI gate).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
if [[ "${1:-}" != "--ci" && "${1:-}" != "--sanitizers" ]]; then
    scripts/setup.sh release
    exec ctest --preset release --output-on-failure -j 2 "$@"
fi

if command -v ccache >/dev/null && [[ -z "${CMAKE_CXX_COMPILER_LAUNCHER:-}" ]]; then
    export CMAKE_CXX_COMPILER_LAUNCHER=ccache
fi
start=$SECONDS
stage() {
    printf '\n== %s (%d s so far)\n' "$1" $((SECONDS - start))
}
failed=()
gate() {
    local name="$1"
    shift
    stage "$name"
    "$@" || failed+=("$name")
}

if [[ "$1" == "--ci" ]]; then
    gate "format" .ci/format.sh
    stage "build ci-release"
    scripts/setup.sh ci-release
    gate "tests ci-release" ctest --preset ci-release
    gate "qmllint" .ci/qmllint.sh build/ci-release
else
    for preset in ci-asan ci-tsan; do
        stage "build $preset"
        scripts/setup.sh "$preset"
        gate "tests $preset" ctest --preset "$preset"
    done
fi
stage "done"
if ((${#failed[@]})); then
    echo "Failed gates: ${failed[*]}" >&2
    exit 1
fi
echo "All gates passed."
