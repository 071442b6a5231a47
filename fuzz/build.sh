#!/bin/sh
# Builds the zip reader's fuzz targets with clang (libFuzzer + AddressSanitizer + UBSan) into
# build/fuzz, and gathers their seeds: the small archives of the corpus and a few made with zip.
# Then run, for instance:  build/fuzz/zip_directory_fuzz -max_total_time=600 build/fuzz/corpus build/fuzz/seeds
# or, over extraction:     build/fuzz/zip_unzip_fuzz -max_total_time=600 build/fuzz/unzip-corpus build/fuzz/seeds
set -e
cd "$(dirname "$0")/.."
out=build/fuzz
mkdir -p "$out/corpus" "$out/unzip-corpus" "$out/seeds"
command -v clang++ >/dev/null || { echo "clang++ is not installed: no fuzz target" >&2; exit 1; }

for target in zip_directory_fuzz zip_unzip_fuzz; do
  clang++ -std=c++20 -O1 -g -I. -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    "fuzz/$target.cpp" zip/*.cpp zip/decompress/*.cpp platform/text.cpp platform/path.cpp platform/file_tree.cpp \
    platform/embedded_resource.cpp tests/zip/fake_platform.cpp tests/zip/own_resource.cpp \
    -o "$out/$target"
done

corpus=${VL4_CORPUS:-../shared/zip-corpus}
if [ -d "$corpus" ]; then
  find "$corpus" -type f -size -80k -exec cp {} "$out/seeds/" \;
fi
if command -v zip >/dev/null; then
  tmp=$(mktemp -d)
  (cd "$tmp" && mkdir -p d/e && echo one >d/a.txt && echo two >d/e/b.txt &&
   zip -qr -z plain.zip d </dev/null && printf 'a comment' | zip -qz plain.zip &&
   zip -qr -0 stored.zip d && zip -qr -fd dd.zip d && zip -qr -P pw enc.zip d) || true
  cp "$tmp"/*.zip "$tmp"/*.z0* "$out/seeds/" 2>/dev/null || true
  rm -rf "$tmp"
fi
echo "built $out/zip_directory_fuzz and $out/zip_unzip_fuzz; $(ls "$out/seeds" | wc -l) seeds in $out/seeds"
