#!/usr/bin/env bash
# Opens and saves sources of 1, 4 and 16 MB (or the sizes given) through the
# real program and through Wine's notepad in one run, under Wine in a
# throwaway prefix, and prints the figures, the ratios and the growth of time
# with size. Expects build/win64 to be built (scripts/build.sh win64;
# BENCH_BUILD_DIR names another build).
#   bench/open_save.sh [megabytes ...]
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BENCH_BUILD_DIR:-$root/build/win64}"
. "$root/scripts/wine-env.sh"
trap wine_env_cleanup EXIT
wine_env_start || exit 1
sizes=("$@")
[ ${#sizes[@]} -eq 0 ] && sizes=(1 4 16)
log="$(mktemp /tmp/open-save-bench.XXXXXX)"
program="$(winepath -w "$build/korveline.exe")"
wine explorer /desktop=bench,1024x768 "$build/bench/open_save_bench.exe" "$program" "$(winepath -w "$log")" \
    "${sizes[@]}" >/dev/null 2>&1
cat "$log"
rm -f "$log"
