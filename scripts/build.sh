#!/usr/bin/env bash
# Builds the host unit tests, the 64-bit Windows program with its tests, and
# the 32-bit Windows program; host-asan is the host build under AddressSanitizer
# and UndefinedBehaviorSanitizer, fuzz the libFuzzer targets (clang).
# bench is the host build optimised, for the native benchmarks. win32-e2e is
# the 32-bit end-to-end driver, its probe DLL and the stand-ins, which test the
# 32-bit program where Wine runs 32-bit programs (Debian's wine32); "all"
# builds it only there.
# Usage: build.sh [host|host-asan|fuzz|bench|win64|win32|win32-e2e|all]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
what="${1:-all}"
. "$root/scripts/wine-env.sh"

configure_and_build() {  # dir, extra cmake arguments... [-- ninja targets...]
    local dir="$1" arguments=(); shift
    while [ $# -gt 0 ] && [ "$1" != -- ]; do arguments+=("$1"); shift; done
    [ $# -gt 0 ] && shift
    if [ ! -f "$root/build/$dir/build.ninja" ]; then
        cmake -S "$root" -B "$root/build/$dir" -G Ninja "${arguments[@]}" >/dev/null
    fi
    cmake --build "$root/build/$dir" -- -j"$(nproc)" "$@"
}

case "$what" in host|all) configure_and_build host -DCMAKE_BUILD_TYPE=Debug ;; esac
case "$what" in host-asan|all) configure_and_build host-asan -DCMAKE_BUILD_TYPE=Debug -DKORVELINE_SANITIZE=ON ;; esac
case "$what" in fuzz|all) configure_and_build fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVELINE_FUZZ=ON -DKORVELINE_TESTS=OFF -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ ;; esac
case "$what" in bench) configure_and_build bench -DCMAKE_BUILD_TYPE=Release -DKORVELINE_TESTS=OFF ;; esac
case "$what" in win64|all) configure_and_build win64 -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" ;; esac
case "$what" in win32|all) configure_and_build win32 -DCMAKE_BUILD_TYPE=Release -DKORVELINE_TESTS=OFF -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" ;; esac
if [ "$what" = win32-e2e ] || { [ "$what" = all ] && wine_runs_32bit; }; then
    configure_and_build win32-e2e -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
        -- korveline_e2e korveline_e2e_probe tests/tools/all
fi
