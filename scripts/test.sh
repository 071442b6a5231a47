#!/bin/sh
# All tests: native (sandbox platform, headless UI), the same suites under the address and UB
# sanitizers, the Windows x86_64 build under wine64 inside Xvfb, and a link check of the i686 build.
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

step "mingw64: build and test under wine64 (Xvfb)"
cmake --preset mingw64 >/dev/null
cmake --build --preset mingw64
status=0
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --preset mingw64 || status=$?
WINEPREFIX="$PWD/build/mingw64/wineprefix" wineserver -k 2>/dev/null || true
[ $status -eq 0 ]

step "mingw32: build (link check; 32-bit Wine is not available here)"
cmake --preset mingw32 >/dev/null
cmake --build --preset mingw32

step "all tests passed"
