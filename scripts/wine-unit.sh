#!/usr/bin/env bash
# Runs the unit tests built for Windows (the logic and the Win32 adapters)
# under Wine, in a throwaway prefix with its own X display (the clipboard and
# the fonts need one). Expects build/win64 to be built.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
. "$root/scripts/wine-env.sh"
trap wine_env_cleanup EXIT
wine_env_start || exit 1
wine "$root/build/win64/tests/korveline_unit_tests.exe" "$@"
