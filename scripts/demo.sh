#!/bin/sh
# The main job: builds the native program and runs the demo on a fresh sandbox PC.
set -e
cd "$(dirname "$0")/.."
./scripts/deps.sh
cmake --preset native >/dev/null
cmake --build --preset native
exec ./build/native/bin/vl4demo "$@"
