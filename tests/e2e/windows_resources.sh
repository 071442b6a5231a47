#!/bin/sh
# The shipped program's Windows dressing, read back from the built file with tools nobody here
# wrote: wrestool (icoutils) for the manifest, the version information and the icon, ImageMagick
# for the icon's images, objdump for the machine the program is built for.
# Usage: windows_resources.sh <VL4Setup.exe>
set -eu
exe=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

objdump=i686-w64-mingw32-objdump
$objdump -f "$exe" | grep -q 'file format pei-i386' || fail "not a 32-bit program: $($objdump -f "$exe")"

wrestool -x -t 24 --raw "$exe" > "$tmp/manifest.xml"
for want in 'level="asInvoker"' 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' \
            '{e2011457-1546-43c5-a5fe-008deee3d3f0}' '{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}'; do
  tr -s ' \n' ' ' < "$tmp/manifest.xml" | grep -qF "$want" || fail "manifest without $want"
done
echo "manifest: asInvoker, Common Controls 6, Vista to 10"

# The version block's strings are UTF-16: one printable run per line.
wrestool -x -t 16 --raw "$exe" | iconv -f UTF-16LE -t UTF-8 -c | tr -c '[:print:]' '\n' |
  grep -v '^.\{0,1\}$' > "$tmp/version.txt"
value() { grep -A1 -x "$1" "$tmp/version.txt" | tail -n 1; }
[ "$(value ProductName)" = "Veltoria 4" ] || fail "product name: $(value ProductName)"
[ "$(value ProductVersion)" = "4.7" ] || fail "product version: $(value ProductVersion)"
[ "$(value FileVersion)" = "4.7.0.0" ] || fail "file version: $(value FileVersion)"
[ -n "$(value FileDescription)" ] && [ -n "$(value CompanyName)" ] || fail "$(cat "$tmp/version.txt")"
echo "version: $(value ProductName) $(value ProductVersion), $(value FileDescription), $(value CompanyName)"

wrestool -x -t 14 -n MAINICON -o "$tmp" "$exe"
sizes=$(identify -format '%wx%h ' "$tmp"/*.ico)
for size in 16x16 32x32 48x48; do
  echo "$sizes" | grep -q "$size" || fail "icon without $size: $sizes"
done
echo "icon: $sizes"
