#!/usr/bin/env bash
# Opens and saves a 4 MB source through the real program and through Wine's
# notepad in one run, under Wine in a throwaway prefix, and prints the
# figures and the ratios. Expects build/win64 to be built (scripts/build.sh win64).
#   bench/open_save.sh [megabytes]
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/win64"
. "$root/scripts/wine-env.sh"
trap wine_env_cleanup EXIT
wine_env_start || exit 1
log="$(mktemp /tmp/open-save-bench.XXXXXX)"
program="$(winepath -w "$build/korveline.exe")"
wine explorer /desktop=bench,1024x768 "$build/bench/open_save_bench.exe" "$program" "$(winepath -w "$log")" \
    "${1:-4}" >/dev/null 2>&1
cat "$log"
rm -f "$log"
