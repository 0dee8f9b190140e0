#!/usr/bin/env bash
# Runs every fuzz target for the given seconds each (default 10), with a corpus
# kept in build/fuzz-corpus. A longer run: scripts/fuzz.sh 600
# Prints one line per target and ends with "N passed, N failed".
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-10}"
"$root/scripts/build.sh" fuzz >/dev/null || { echo "0 passed, 1 failed"; exit 1; }
passed=0; failed=0
for target in "$root"/build/fuzz/tests/fuzz/*_fuzz; do
    name=$(basename "$target")
    corpus="$root/build/fuzz-corpus/$name"
    mkdir -p "$corpus"
    if "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
        -artifact_prefix="$root/build/fuzz-corpus/$name-" "$corpus" > "$root/build/fuzz-corpus/$name.log" 2>&1; then
        echo "fuzz $name: ok ($(grep -oE 'Done [0-9]+ runs' "$root/build/fuzz-corpus/$name.log" | tail -1))"
        passed=$((passed + 1))
    else
        echo "fuzz $name: FAILED, see $root/build/fuzz-corpus/$name.log"
        failed=$((failed + 1))
    fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
