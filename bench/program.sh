#!/usr/bin/env bash
# Start-up, memory and build of the real program against Wine's notepad and
# against the script started directly, under Wine in a throwaway prefix.
# Prints the figures and the ratios. Expects build/win64 to be built
# (scripts/build.sh win64; BENCH_BUILD_DIR names another build).
#   bench/program.sh [megabytes]      (the size of the file opened at start-up; 4 unless given)
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BENCH_BUILD_DIR:-$root/build/win64}"
. "$root/scripts/wine-env.sh"
trap wine_env_cleanup EXIT
wine_env_start || exit 1
log="$(mktemp /tmp/program-bench.XXXXXX)"
wine explorer /desktop=bench,1024x768 "$build/bench/program_bench.exe" "$(winepath -w "$build/korveline.exe")" \
    "$(winepath -w "$log")" "$(winepath -w "$build/tests/tools")" "$@" >/dev/null 2>&1
cat "$log"
rm -f "$log"
