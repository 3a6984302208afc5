# Sourced by the whole-scan benchmarks: builds the scanner when it is missing, and makes their
# default corpus once: 2,000 camera-sized JPEGs (bursts, copies and singles, all dated) cut from
# the installed wallpapers.
#   ensure_scan_corpus ROOT CORPUS_DIR
ensure_scan_corpus() {
    [[ -x "$1/build/release/tools/quorlix-scan" ]] || "$1/scripts/setup.sh" release
    [[ -d "$2" ]] && return
    local sources
    mapfile -t sources < <(find /usr/share/backgrounds /usr/share/wallpapers -iname '*.jpg' -size +500k | sort)
    "$1/build/release/bench/make_scan_corpus" "$2" 2000 12 "${sources[@]:0:30}"
}
