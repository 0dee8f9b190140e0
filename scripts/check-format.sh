#!/usr/bin/env bash
# Checks that every C++ file in the repository follows .clang-format.
# scripts/check-format.sh --fix rewrites the files that do not.
set -uo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find src tests bench -name '*.cpp' -o -name '*.h')
if [ "${1:-}" = "--fix" ]; then
    clang-format -i "${files[@]}"
    exit 0
fi
if clang-format --dry-run --Werror "${files[@]}"; then
    echo "format: ${#files[@]} files follow .clang-format"
else
    echo "format: run scripts/check-format.sh --fix"
    exit 1
fi
