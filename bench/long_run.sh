#!/usr/bin/env bash
# The long run: the real program under Wine does many rounds (1,000 unless
# told) of edit, save, open and build with the stand-in tools, and its
# handles, registry keys, window-system objects, windows and memory are
# sampled every twentieth of the run: long_run.cpp, built with the end-to-end
# driver as korveline_long_run.exe; each build waits a second, so 1,000
# rounds take about 25 minutes. Prints the samples and the
# growth from the first to the last; fails when the test's checks fail.
#   bench/long_run.sh [rounds]          (scripts/build.sh win64 first)
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
rounds="${1:-1000}"
out="${E2E_OUT:-$root/build/long-run-out}"
KORVELINE_ROUNDS="$rounds" E2E_DRIVER="${E2E_BUILD_DIR:-$root/build/win64}/tests/e2e/korveline_long_run.exe" E2E_OUT="$out" E2E_TIMEOUT="${E2E_TIMEOUT:-$((rounds * 5 + 300))}" \
    "$root/scripts/e2e.sh" 'Endurance.*'
status=$?
echo "samples (round, handles, of which registry keys, GDI, USER, windows, working set / peak / private KB):"
grep -oE 'sample .*' "$out/e2e.log" | sed 's/^sample //'
grep -oE 'sample .*' "$out/e2e.log" | awk '
    { for (i = 2; i <= NF; ++i) { split($i, kv, "="); v[NR, kv[1]] = kv[2]; names[i] = kv[1] } }
    END { if (NR < 2) exit; printf "growth from the first sample to the last:";
          for (i = 2; i in names; ++i) printf " %s %+d", names[i], v[NR, names[i]] - v[1, names[i]]; print "" }'
exit $status
