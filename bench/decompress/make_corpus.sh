#!/bin/sh
# Builds the inflate benchmark corpus from files on this machine: about 120 MB of text (headers,
# Perl and Python sources) and 120 MB of binaries (programs and shared libraries), cut into 24 MB
# members and compressed with zip -6; and 1000 members of 3000 bytes of the text, for the cost
# of each member. Usage: make_corpus.sh <folder>; makes <folder>/corpus.zip and small.zip.
set -e
out=$1
mkdir -p "$out/in"
cd "$out/in"
rm -f text.* bin.*
find /usr/include /usr/share/perl /usr/lib/python3 /usr/lib/python3.11 -type f \
  \( -name '*.h' -o -name '*.hpp' -o -name '*.pm' -o -name '*.py' -o -name '*.txt' \) 2>/dev/null |
  LC_ALL=C sort | xargs cat 2>/dev/null | head -c 120000000 | split -b 24000000 - text.
find /usr/bin /usr/lib/x86_64-linux-gnu -maxdepth 1 -type f 2>/dev/null |
  LC_ALL=C sort | xargs cat 2>/dev/null | head -c 120000000 | split -b 24000000 - bin.
rm -f ../corpus.zip ../small.zip
zip -q -6 ../corpus.zip text.* bin.*
mkdir -p small
head -c 3000000 text.aa | (cd small && split -b 3000 -a 3 - part.)
(cd small && zip -q -6 ../../small.zip part.*)
rm -rf text.* bin.* small
