#!/usr/bin/env bash
# Building through DOSBox against building with the tools started directly,
# through the real program under Wine in a throwaway prefix: the time from
# the Compile command to the output, and the ratio. Expects build/win64
# (scripts/build.sh win64, with nasm for the DOS stand-ins) and dosbox.
#   bench/dosbox.sh
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BENCH_BUILD_DIR:-$root/build/win64}"
command -v dosbox >/dev/null || { echo "bench/dosbox.sh: dosbox is not installed" >&2; exit 2; }
. "$root/scripts/wine-env.sh"
trap 'end_sessions; wine_env_cleanup' EXIT
# DOSBox sessions wait for a key; this run's are found by a mark in their environment.
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy KORVELINE_BENCH_DOSBOX="$$"
end_sessions() {
    for p in /proc/[0-9]*; do
        [ "$(cat "$p/comm" 2>/dev/null)" = dosbox ] || continue
        tr '\0' '\n' <"$p/environ" 2>/dev/null | grep -qx "KORVELINE_BENCH_DOSBOX=$$" && kill "${p#/proc/}"
    done
}
wine_env_start || exit 1
log="$(mktemp /tmp/dosbox-bench.XXXXXX)"
wine explorer /desktop=bench,1024x768 "$build/bench/dosbox_bench.exe" "$(winepath -w "$build/korveline.exe")" \
    "$(winepath -w "$log")" "$(winepath -w "$build/tests/tools")" >/dev/null 2>&1
cat "$log"
rm -f "$log"
