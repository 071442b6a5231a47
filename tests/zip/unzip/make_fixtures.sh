#!/bin/sh
# Makes the archives the extraction tests read, with the reference tools of the build machine, and
# beside each one the tree Info-ZIP's unzip extracts from it (expected/<archive>/). A folder of
# text, binaries, an empty file, an empty folder and nested folders, packed by Info-ZIP zip at
# levels 0 to 9, encrypted (-P), streamed (data descriptors; also encrypted), split (-s), with a
# comment, and by 7-Zip (deflate). Usage: make_fixtures.sh <output folder>
set -e
out=$1
rm -rf "$out"
mkdir -p "$out/src/docs/deep/er" "$out/src/empty dir" "$out/src/bin" "$out/expected"
cd "$out/src"
cat /usr/share/common-licenses/* > docs/licenses.txt 2>/dev/null || seq 1 40000 > docs/licenses.txt
seq 1 20000 > docs/deep/numbers.txt
echo "deep down" > docs/deep/er/note.txt
head -c 300000 "$(command -v cmake || command -v sh)" > bin/program.bin
head -c 50000 /dev/urandom > bin/random.bin
: > empty.txt
echo "spaces in the name" > "with spaces.txt"
cd "$out"
for level in 0 1 2 3 4 5 6 7 8 9; do
  (cd src && zip -q -r -X -"$level" "../level$level.zip" .)
done
(cd src && zip -q -r -X -P secret ../encrypted.zip .)
(cd src && zip -q -r -X - . | cat > ../streamed.zip)
(cd src && zip -q -r -X -P secret - . | cat > ../encrypted-streamed.zip)
(cd src && zip -q -r -X -s 100k ../split.zip .)
(cd src && echo "the archive's own comment" | zip -q -r -X -z ../comment.zip .)
if command -v 7zz >/dev/null; then
  (cd src && 7zz a -tzip -mm=Deflate -mx=9 ../7zip.zip . >/dev/null)
fi
for archive in *.zip; do
  name=${archive%.zip}
  source=$archive
  if [ "$name" = split ]; then  # unzip reads no split set: join it first
    zip -q -s 0 split.zip --out joined.tmp.zip
    source=joined.tmp.zip
  fi
  unzip -q -P secret -d "expected/$name" "$source"
done
rm -f joined.tmp.zip
ls *.zip > fixtures.list
