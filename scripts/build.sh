#!/usr/bin/env bash
# Builds the host unit tests, the 64-bit Windows program with its tests, and
# the 32-bit Windows program; host-asan is the host build under AddressSanitizer
# and UndefinedBehaviorSanitizer, fuzz the libFuzzer targets (clang).
# bench is the host build optimised, for the native benchmarks.
# Usage: build.sh [host|host-asan|fuzz|bench|win64|win32|all]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
what="${1:-all}"

configure_and_build() {  # dir, extra cmake arguments...
    local dir="$1"; shift
    if [ ! -f "$root/build/$dir/build.ninja" ]; then
        cmake -S "$root" -B "$root/build/$dir" -G Ninja "$@" >/dev/null
    fi
    cmake --build "$root/build/$dir" -- -j"$(nproc)"
}

case "$what" in host|all) configure_and_build host -DCMAKE_BUILD_TYPE=Debug ;; esac
case "$what" in host-asan|all) configure_and_build host-asan -DCMAKE_BUILD_TYPE=Debug -DKORVELINE_SANITIZE=ON ;; esac
case "$what" in fuzz|all) configure_and_build fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVELINE_FUZZ=ON -DKORVELINE_TESTS=OFF -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ ;; esac
case "$what" in bench) configure_and_build bench -DCMAKE_BUILD_TYPE=Release -DKORVELINE_TESTS=OFF ;; esac
case "$what" in win64|all) configure_and_build win64 -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" ;; esac
case "$what" in win32|all) configure_and_build win32 -DCMAKE_BUILD_TYPE=Release -DKORVELINE_TESTS=OFF -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" ;; esac
