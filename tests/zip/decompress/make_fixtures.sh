#!/bin/sh
# Makes the decompressor test archives with the reference tools: text, binary, random and highly
# repetitive inputs, deflated by Info-ZIP zip at every level and by 7-Zip, plus an encrypted one.
# Usage: make_fixtures.sh <output folder>
set -e
out=$1
rm -rf "$out"
mkdir -p "$out/in"
cd "$out/in"
cat /usr/share/common-licenses/* > text.txt 2>/dev/null || seq 1 40000 > text.txt
seq 1 30000 > numbers.txt
head -c 200000 "$(command -v cmake || command -v sh)" > binary.bin
head -c 70000 /dev/urandom > random.bin
head -c 100000 /dev/zero > zeros.bin
yes 'abcd' | head -c 50000 > short-period.txt
cat random.bin text.txt > mixed.bin
: > empty.txt
for level in 1 2 3 4 5 6 7 8 9; do
  zip -q -X -"$level" "../level$level.zip" *
done
if command -v 7zz >/dev/null; then
  7zz a -tzip -mm=Deflate -mx=9 "../7zip.zip" * >/dev/null
fi
zip -q -X -6 -P secret "../encrypted.zip" text.txt binary.bin empty.txt
cd ..
ls *.zip > fixtures.list
