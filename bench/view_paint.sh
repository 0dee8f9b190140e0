#!/usr/bin/env bash
# Pages through a 4 MB source in the real text view under Wine, colours and
# line numbers off and on, in a throwaway prefix; prints the times and the
# ratio. Expects build/win64 (scripts/build.sh win64).
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BENCH_BUILD_DIR:-$root/build/win64}"
. "$root/scripts/wine-env.sh"
trap wine_env_cleanup EXIT
wine_env_start || exit 1
log="$(mktemp /tmp/view-paint-bench.XXXXXX)"
wine explorer /desktop=bench,1024x768 "$build/bench/view_paint_win_bench.exe" "$(winepath -w "$log")" \
    >/dev/null 2>&1
cat "$log"
rm -f "$log"
