#!/bin/sh
# Builds the zip reader's fuzz target with clang (libFuzzer + AddressSanitizer + UBSan) into
# build/fuzz, and gathers its seeds: the small archives of the corpus and a few made with zip.
# Then run, for instance:  build/fuzz/zip_directory_fuzz -max_total_time=600 build/fuzz/corpus build/fuzz/seeds
set -e
cd "$(dirname "$0")/.."
out=build/fuzz
mkdir -p "$out/corpus" "$out/seeds"
command -v clang++ >/dev/null || { echo "clang++ is not installed: no fuzz target" >&2; exit 1; }

clang++ -std=c++20 -O1 -g -I. -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  fuzz/zip_directory_fuzz.cpp zip/*.cpp platform/text.cpp platform/path.cpp \
  platform/embedded_resource.cpp tests/zip/fake_platform.cpp tests/zip/own_resource.cpp \
  -o "$out/zip_directory_fuzz"

corpus=${VL4_CORPUS:-../shared/zip-corpus}
if [ -d "$corpus" ]; then
  find "$corpus" -type f -size -80k -exec cp {} "$out/seeds/" \;
fi
if command -v zip >/dev/null; then
  tmp=$(mktemp -d)
  (cd "$tmp" && mkdir -p d/e && echo one >d/a.txt && echo two >d/e/b.txt &&
   zip -qr -z plain.zip d </dev/null && printf 'a comment' | zip -qz plain.zip &&
   zip -qr -0 stored.zip d && zip -qr -fd dd.zip d) || true
  cp "$tmp"/*.zip "$tmp"/*.z0* "$out/seeds/" 2>/dev/null || true
  rm -rf "$tmp"
fi
echo "built $out/zip_directory_fuzz; $(ls "$out/seeds" | wc -l) seeds in $out/seeds"
