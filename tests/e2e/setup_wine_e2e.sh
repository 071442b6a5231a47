#!/bin/sh
# The Windows setup tool under Wine: start-up with "-FAST" on a prepared installation and
# registry, then what it left: the results file, LIB, the product key, the shortcuts, and an
# untouched vl.ini (fast mode writes no configuration back). The keys live in the 32-bit view, as
# a 32-bit installer leaves them and as the 32-bit program reads them.
# Usage: setup_wine_e2e.sh <VL4Setup.exe> <wine prefix>
set -eu
exe=$1
export WINEPREFIX=$2 WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="

dir=$WINEPREFIX/drive_c/vl4e2e
fail() { echo "FAIL: $*"; exit 1; }
reg() { wine reg "$@" /reg:32; }
cleanup() {
  rm -rf "$dir"
  reg delete 'HKLM\Software\Veltoria 4' /f > /dev/null 2>&1 || true
  reg delete 'HKLM\Software\Borland\Delphi\7.0' /f > /dev/null 2>&1 || true
}
cleanup
trap cleanup EXIT

mkdir -p "$dir/VL4/DELPHI7" "$dir/VL4/VB6" "$dir/Delphi7/Bin"
cp "$exe" "$dir/VL4/VL4Setup.exe"
for f in VL4Demo.exe VL4Load.exe VL4Res.exe vl4net.dll DELPHI7/vl4.pas DELPHI7/loaddpr.dat \
         VB6/vl4.bas VB6/loadvb.dat; do
  echo x > "$dir/VL4/$f"
done
echo MZ > "$dir/Delphi7/Bin/delphi32.exe"
printf '[Work Directory]\r\nPath=C:\\vl4e2e\\Work\r\n' > "$dir/VL4/VL.INI"
cp "$dir/VL4/VL.INI" "$dir/vl.ini.before"
reg add 'HKLM\Software\Borland\Delphi\7.0' /v App /d 'C:\vl4e2e\Delphi7\Bin\delphi32.exe' /f \
  > /dev/null

wine "$dir/VL4/VL4Setup.exe" -FAST > "$dir/run.log" 2>&1 || fail "exit code $? $(cat "$dir/run.log")"

results=$dir/Work/results.dat
[ -f "$results" ] || fail "no results file"
[ "$(wc -c < "$results")" -eq 237 ] || fail "results file of $(wc -c < "$results") bytes"
head -c 79 "$results" | grep -q '|10DELPHI7' || fail "header: $(head -c 79 "$results")"
head -c 158 "$results" | tail -c 78 | grep -q 'C:\\vl4e2e\\VL4' || fail "installation record"
[ -d "$dir/VL4/LIB" ] || fail "no LIB"
cmp -s "$dir/VL4/VL.INI" "$dir/vl.ini.before" || fail "vl.ini was written in fast mode"
[ -f "$dir/Work/vl4net.dll" ] || fail "vl4net.dll not copied"
reg query 'HKLM\Software\Veltoria 4' /v 'Install Directory' | grep -q 'C:\\vl4e2e\\VL4' ||
  fail "product key"
for link in Demo:VL4Demo Load:VL4Load Results:VL4Res; do
  lnk=$dir/Work/${link%%:*}.lnk
  [ -f "$lnk" ] || fail "no $lnk"
  if command -v lnkinfo > /dev/null; then
    lnkinfo "$lnk" | grep -qi "C:\\\\vl4e2e\\\\VL4\\\\${link#*:}.exe" || fail "$(lnkinfo "$lnk")"
  fi
done
echo "setup start-up under Wine: ok"
