#!/bin/sh
# All tests: native (sandbox platform, headless UI), the same suites under the address and UB
# sanitizers, and the shipped Windows program (i686) with its whole suite under Wine inside Xvfb:
# a 64-bit prefix, where the 32-bit program runs through WoW64 as on a student's 64-bit PC.
set -e
cd "$(dirname "$0")/.."
./scripts/deps.sh

step() { printf '\n=== %s\n' "$*"; }

step "native: build and test"
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native

step "native-asan: build and test"
cmake --preset native-asan >/dev/null
cmake --build --preset native-asan
ctest --preset native-asan

step "mingw32 (the shipped Windows program): build and test under Wine (WoW64, Xvfb)"
cmake --preset mingw32 >/dev/null
cmake --build --preset mingw32
status=0
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --preset mingw32 || status=$?
WINEPREFIX="$PWD/build/mingw32/wineprefix" wineserver -k 2>/dev/null || true
[ $status -eq 0 ]

step "all tests passed"
