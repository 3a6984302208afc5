#!/usr/bin/env bash
# Sets everything up, then runs the whole test suite of the release build.
#   scripts/test.sh [CTEST_ARGS...]
#   scripts/test.sh --ci      the CI gates, each in its own build (what .ci/run runs): the format
#     check; the release build with warnings as errors and all its tests; qmllint; then the
#     sanitizer stages below. Each stage prints its time.
#   scripts/test.sh --sanitizers   only the sanitizer stages: the engine and app tests under
#     ASan/UBSan, then each fuzz target for 60 s in that same build; the engine and app tests
#     under TSan.
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
stage_name=""
stage_start=$SECONDS
times=()
stage() {
    if [[ -n "$stage_name" ]]; then
        times+=("$(printf '%6d s  %s' $((SECONDS - stage_start)) "$stage_name")")
    fi
    stage_name="$1"
    stage_start=$SECONDS
    printf '\n== %s (%d s so far)\n' "$1" $((SECONDS - start))
}
failed=()
gate() {
    local name="$1"
    shift
    stage "$name"
    "$@" || failed+=("$name")
}
# A build that fails is a failed gate and skips what needs it.
build() {
    stage "build $1"
    scripts/setup.sh "$1" || {
        failed+=("build $1")
        return 1
    }
}
sanitizers() {
    if build ci-asan; then
        gate "tests ci-asan" ctest --preset ci-asan
        gate "fuzz 60 s per target" fuzz/run.sh -j 2 60
    fi
    if build ci-tsan; then
        gate "tests ci-tsan" ctest --preset ci-tsan
    fi
}

if [[ "$1" == "--ci" ]]; then
    gate "format" .ci/format.sh
    if build ci-release; then
        gate "tests ci-release" ctest --preset ci-release
        gate "qmllint" .ci/qmllint.sh build/ci-release
    fi
    sanitizers
else
    sanitizers
fi
stage "done"
printf 'Stage times:\n'
printf '%s\n' "${times[@]}"
printf '%6d s  total\n' $((SECONDS - start))
if ((${#failed[@]})); then
    echo "Failed gates: ${failed[*]}" >&2
    exit 1
fi
echo "All gates passed."
