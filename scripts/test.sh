#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the host
# unit tests (plain and under AddressSanitizer/UBSan), short fuzz runs, the
# unit tests under Wine, and the end-to-end tests of the real program under
# Wine + Xvfb (also of the 32-bit program where Wine runs it), after the layer
# and formatting checks; then it makes the
# release and installs it on Windows (Wine) and Linux. Ends with one line "N passed, N failed".
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
    local log="$1" total ok bad
    total=$(grep -oE '^\[==========\] [0-9]+ tests? from' "$log" | tail -1 | grep -oE '[0-9]+' | head -1)
    if [ -z "$total" ]; then failed=$((failed + 1)); return; fi  # it did not get to the end
    ok=$(grep -oE '^\[  PASSED  \] [0-9]+' "$log" | grep -oE '[0-9]+$')
    bad=$(grep -oE '^\[  FAILED  \] [0-9]+ tests?, listed' "$log" | grep -oE '[0-9]+' | head -1)
    passed=$((passed + ${ok:-0}))
    failed=$((failed + ${bad:-0}))
}

# Adds the counts of a runner that closes with "N passed, N failed".
count_summary() {
    local log="$1" line
    line=$(grep -E '^[0-9]+ passed, [0-9]+ failed' "$log" | tail -1)
    if [ -z "$line" ]; then failed=$((failed + 1)); return; fi
    passed=$((passed + $(echo "$line" | cut -d' ' -f1)))
    failed=$((failed + $(echo "$line" | cut -d' ' -f3)))
}

run_step() {  # name, counter, command...
    local name="$1" counter="$2"; shift 2
    echo "== $name"
    "$@" > "$out/$name.log" 2>&1
    local rc=$?
    grep -E '^fuzz |^\[  FAILED  \]|^FAIL' "$out/$name.log" | head -20
    tail -n 1 "$out/$name.log"
    "$counter" "$out/$name.log"
    [ $rc -eq 0 ] || echo "   ($name exited with $rc; full log: $out/$name.log)"
}

# A check that passes or fails as a whole counts as one test.
check_step() {  # name, command...
    local name="$1"; shift
    echo "== $name"
    if "$@" > "$out/$name.log" 2>&1; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        head -20 "$out/$name.log"
    fi
    tail -n 1 "$out/$name.log"
}

# The program handed to users: stripped, under 700 KB (620 KB with the DOSBox
# route, the debugger and the dialogs), saying what it is.
program_ships() {
    local exe="$root/build/win32/korveline.exe" version size
    version=$(head -n 1 "$root/VERSION")
    size=$(stat -c %s "$exe") || return 1
    strings -el "$exe" | grep -qx FileDescription || { echo "$exe has no version resource"; return 1; }
    strings -el "$exe" | grep -qx "$version" || { echo "$exe does not say version $version"; return 1; }
    echo "$exe: $size bytes, version $version"
    [ "$size" -lt 700000 ]
}

check_step program program_ships
check_step layers "$root/scripts/check-layers.sh"
check_step format "$root/scripts/check-format.sh"
run_step unit-host count_gtest "$root/build/host/tests/korveline_unit_tests"
run_step unit-host-asan count_gtest "$root/build/host-asan/tests/korveline_unit_tests"
run_step fuzz count_summary "$root/scripts/fuzz.sh" 8
[ -x "$root/scripts/wine-unit.sh" ] && run_step unit-wine count_gtest "$root/scripts/wine-unit.sh"
[ -x "$root/scripts/e2e.sh" ] && run_step e2e count_summary "$root/scripts/e2e.sh"
# The program users get, 32-bit, where Wine runs it (wine32), with a 32-bit driver.
. "$root/scripts/wine-env.sh"
if wine_runs_32bit; then
    run_step e2e-win32 count_summary env E2E_BUILD_DIR="$root/build/win32-e2e" \
        E2E_PROGRAM="$root/build/win32/korveline.exe" E2E_OUT="$root/build/e2e-out-win32" "$root/scripts/e2e.sh"
else
    echo "== e2e-win32: skipped, this Wine runs no 32-bit program (Debian: apt install wine32:i386)"
fi
# The release, its 64-bit installer in a fresh prefix, the Linux desktop entry.
check_step release "$root/scripts/release.sh"
run_step install-windows count_summary "$root/tests/install/windows_install_test.sh"
run_step install-linux count_summary "$root/tests/install/linux_install_test.sh"

# Tests against code, by non-blank lines: kept near a third.
lines() { find "$@" -type f -exec grep -hv '^[[:space:]]*$' {} + | wc -l; }
echo "tests/src: $(lines "$root/tests") / $(lines "$root/src") lines = $(awk "BEGIN{printf \"%.3f\", $(lines "$root/tests")/$(lines "$root/src")}")"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
