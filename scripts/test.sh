#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the host
# unit tests (plain and under AddressSanitizer/UBSan), the unit tests under
# Wine, and the end-to-end tests of the real program under Wine + Xvfb.
# Ends with one line "N passed, N failed".
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
"$root/scripts/install-deps.sh" || exit 1
"$root/scripts/build.sh" all || { echo "0 passed, 1 failed"; exit 1; }

out="$root/build/test-output"
mkdir -p "$out"
passed=0
failed=0

# Adds the counts of one GoogleTest run (its output file) to the totals.
count_gtest() {
    local log="$1" ok bad
    ok=$(grep -oE '^\[  PASSED  \] [0-9]+' "$log" | grep -oE '[0-9]+$' || true)
    bad=$(grep -oE '^\[  FAILED  \] [0-9]+ tests?, listed' "$log" | grep -oE '^\[  FAILED  \] [0-9]+' | grep -oE '[0-9]+$' || true)
    local total
    total=$(grep -oE '^\[==========\] [0-9]+ tests? from' "$log" | tail -1 | grep -oE '[0-9]+' | head -1 || true)
    if [ -z "$total" ]; then failed=$((failed + 1)); return; fi
    passed=$((passed + ${ok:-0}))
    failed=$((failed + ${bad:-0}))
}

run_step() {  # name, command...
    local name="$1"; shift
    echo "== $name"
    "$@" > "$out/$name.log" 2>&1
    local rc=$?
    tail -n 3 "$out/$name.log"
    count_gtest "$out/$name.log"
    [ $rc -eq 0 ] || echo "   ($name exited with $rc; full log: $out/$name.log)"
}

run_step unit-host "$root/build/host/tests/korveline_unit_tests"
run_step unit-host-asan "$root/build/host-asan/tests/korveline_unit_tests"

# A short run of each fuzz target (scripts/fuzz.sh 600 for a long one).
echo "== fuzz"
"$root/scripts/fuzz.sh" 8 > "$out/fuzz.log" 2>&1
cat "$out/fuzz.log" | grep -E '^fuzz '
line=$(grep -E '^[0-9]+ passed, [0-9]+ failed' "$out/fuzz.log" | tail -1)
if [ -n "$line" ]; then
    passed=$((passed + $(echo "$line" | cut -d' ' -f1)))
    failed=$((failed + $(echo "$line" | cut -d' ' -f3)))
else
    failed=$((failed + 1))
fi

if [ -x "$root/scripts/wine-unit.sh" ]; then
    run_step unit-wine "$root/scripts/wine-unit.sh"
fi

if [ -x "$root/scripts/e2e.sh" ]; then
    echo "== e2e"
    "$root/scripts/e2e.sh" > "$out/e2e.log" 2>&1
    rc=$?
    tail -n 5 "$out/e2e.log"
    line=$(grep -E '^[0-9]+ passed, [0-9]+ failed' "$out/e2e.log" | tail -1)
    if [ -n "$line" ]; then
        passed=$((passed + $(echo "$line" | cut -d' ' -f1)))
        failed=$((failed + $(echo "$line" | cut -d' ' -f3)))
    fi
    [ $rc -eq 0 ] || { echo "   (e2e exited with $rc; full log: $out/e2e.log)"; [ -n "$line" ] || failed=$((failed + 1)); }
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
