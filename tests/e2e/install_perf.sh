#!/bin/sh
# The installer's speed, side by side with Info-ZIP unzip: a data file of 5,000 members and about
# 200 MB (deflated and encrypted with the script's password) is installed by Inst.exe (headless,
# AutoRun, into a sandbox PC whose drive C lies on the same disk) and extracted by unzip -d to the
# same disk, alternately, three times each; the best times and their ratio are printed. Fails when
# the installer takes more than 1.3 times as long.
# Usage: install_perf.sh <bin folder of a native build> [work folder on the disk to measure]
set -eu
bin=$(cd "$1" && pwd)
work=${2:-${TMPDIR:-/tmp}/vl4-install-perf}
password=4817203956610382749155063829471036
members=5000 dirs=50 bytes_total=200000000
limit=1.3

rm -rf "$work"
mkdir -p "$work/product"
trap 'rm -rf "$work"' EXIT

# The product: base64 text (deflate keeps about three quarters of it), 50 folders of 100 files.
echo "building the data file: $members members, $bytes_total bytes ..."
head -c $((bytes_total * 3 / 4)) /dev/urandom | base64 -w 76 > "$work/all.txt"
(cd "$work/product" && split -a 4 -d -n l/$members "$work/all.txt" part)
rm "$work/all.txt"
i=0
for f in "$work"/product/part*; do
  d=$work/product/DIR$((i % dirs))
  mkdir -p "$d"
  mv "$f" "$d/$(basename "$f").txt"
  i=$((i + 1))
done
(cd "$work/product" && zip -q -r -P "$password" "$work/Inst.dat" .)
echo "  Inst.dat: $(du -m "$work/Inst.dat" | cut -f1) MB"

# The sandbox PC: C: in the work folder, the installer in C:\Dist.
pc=$work/pc
mkdir -p "$pc/C/Dist"
cp "$bin/VL4Setup.exe" "$pc/C/Dist/Inst.exe"
ln "$work/Inst.dat" "$pc/C/Dist/Inst.dat"
printf '[Main]\r\nAutoRun=1\r\nSelectDialog=0\r\nFinalMessage=0\r\n[Setup]\r\nRun=0\r\n' \
  > "$pc/C/Dist/Inst.ini"

now() { date +%s.%N; }
since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.3f", b - a }'; }
min() { awk -v a="$1" -v b="$2" 'BEGIN { print (a < b) ? a : b }'; }
best_install=999999 best_unzip=999999

for round in 1 2 3 4; do
  rm -rf "$pc/C/Program Files/VL4" "$work/unzipped"
  sync
  start=$(now)
  (cd "$pc/C/Dist" && VL4_SANDBOX=$pc VL4_UI_TRANSCRIPT=$work/transcript ./Inst.exe)
  t_install=$(since "$start")
  [ -f "$pc/C/Program Files/VL4/DIR7/part0007.txt" ] || {
    echo "the installer did not install:"; cat "$work/transcript"; exit 1; }
  sync
  start=$(now)
  unzip -q -P "$password" -d "$work/unzipped" "$work/Inst.dat"
  t_unzip=$(since "$start")
  # The first round warms the caches for both.
  if [ "$round" -gt 1 ]; then
    best_install=$(min "$best_install" "$t_install")
    best_unzip=$(min "$best_unzip" "$t_unzip")
  fi
  printf '  round %d: Inst.exe %.2f s, unzip %.2f s\n' "$round" "$t_install" "$t_unzip"
done

ratio=$(awk -v a="$best_install" -v b="$best_unzip" 'BEGIN { printf "%.2f", a / b }')
printf 'best: Inst.exe %.2f s, unzip -d %.2f s, ratio %s (limit %s)\n' \
  "$best_install" "$best_unzip" "$ratio" "$limit"
awk -v r="$ratio" -v l="$limit" 'BEGIN { exit !(r <= l) }'
