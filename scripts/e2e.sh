#!/usr/bin/env bash
# Runs the end-to-end tests (the real korveline.exe under Wine, in a virtual
# desktop on Xvfb, in a throwaway prefix); builds nothing. Usage and the
# environment it reads: docs/TESTING.md. E2E_DRIVER may name another
# driver built from tests/e2e/driver, such as the long run's; E2E_PROGRAM
# another program (build/win32/korveline.exe with E2E_BUILD_DIR=build/win32-e2e,
# whose driver is 32-bit as that program is).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${E2E_BUILD_DIR:-$root/build/win64}"
out="${E2E_OUT:-$root/build/e2e-out}"
program="${E2E_PROGRAM:-$build/korveline.exe}"
driver="${E2E_DRIVER:-$build/tests/e2e/korveline_e2e.exe}"

for f in "$program" "$driver" "$build/tests/e2e/korveline_e2e_probe.dll"; do
    [ -f "$f" ] || { echo "e2e: $f is missing; build it with scripts/build.sh win64" >&2; exit 2; }
done

# A Windows path for a Linux one: drive Z: is the Linux root.
winpath() { local p; p="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; echo "Z:${p//\//\\}"; }

rm -rf "$out" && mkdir -p "$out" && out="$(cd "$out" && pwd)"

. "$root/scripts/wine-env.sh"
trap wine_env_cleanup EXIT
trap 'exit 130' INT TERM  # an interrupted run still cleans up
wine_env_start

log="$out/e2e.log"
ended_re='^\[==========\] [0-9]+ tests? from .* ran\.'
started=$SECONDS
# GoogleTest's options: a pattern becomes its filter (Suite.Name, * and ?, ':' between), --list its list.
case "${1:-}" in
    "") options=() ;;
    --list) options=(--gtest_list_tests) ;;
    *) options=("--gtest_filter=$1") ;;
esac
wine explorer /desktop=korveline-e2e,1024x768 "$(winpath "$driver")" --program "$(winpath "$program")" \
    --out "$(winpath "$out")" "${options[@]}" >"$out/wine.log" 2>&1 &
desktop=$!
if [ "${1:-}" = "--list" ]; then
    wait "$desktop" || true
    cat "$log"
    exit 0
fi
# The run is over when GoogleTest has said so (or the desktop, which stays
# while any program in it runs, has gone).
deadline=$((SECONDS + ${E2E_TIMEOUT:-1200}))
while kill -0 "$desktop" 2>/dev/null; do
    grep -qE "$ended_re" "$log" 2>/dev/null && break
    if [ "$SECONDS" -ge "$deadline" ]; then echo "e2e: timed out after ${E2E_TIMEOUT:-1200} s" >&2; break; fi
    sleep 0.5
done
# A desktop that stays points at a test that left a program running.
wine_env_wait 5 bash -c "! kill -0 $desktop" ||
    echo "e2e: programs were still running in the virtual desktop after the driver ended" >&2
if ! grep -qE "$ended_re" "$log" 2>/dev/null; then
    echo "e2e: the driver ended without its results (crashed or timed out); log follows" >&2
    tail -n 40 "$log" >&2 2>/dev/null || true
    echo "0 passed, 1 failed"
    exit 1
fi
# Each test with its failures; a skipped test (no DOSBox here) counts as passed.
tr -d '\r' <"$log" | awk '/^\[ +(OK|FAILED|SKIPPED) +\] [^ ]+ \(/ { print; next } /: Failure$/ { f = 1 } /^\[/ { f = 0 } f'
passed=$(grep -cE '^\[ +(OK|SKIPPED) +\] [^ ]+ \(' "$log" || true)
failed=$(grep -cE '^\[  FAILED  \] [^ ]+ \(' "$log" || true)
[ $((passed + failed)) -gt 0 ] || failed=1  # no test matched
echo "log: $log ($((SECONDS - started)) s)"
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
