#!/bin/sh
# The benchmarks, each side by side with its anchors in one run, ratios printed (release build):
# the directory read, the decompressors and CRC-32 against zlib and libdeflate, whole archives
# against unzip, 7-Zip and bsdtar, and the installer against unzip -d.
# The machine may be shared: the benchmarks report medians of several rounds, in CPU time.
set -e
cd "$(dirname "$0")/.."
./scripts/deps.sh zlib1g-dev libdeflate-dev libbenchmark-dev time
cmake --preset release >/dev/null
cmake --build --preset release
printf '\n=== directory read and sort\n';  ./build/release/bin/directory_bench
printf '\n=== decompressors and CRC-32\n'; ./build/release/bin/decompress_bench
printf '\n=== whole archives\n';          ./build/release/bin/archive_bench
printf '\n=== installer\n';               ./tests/e2e/install_perf.sh build/release/bin
