#!/bin/sh
# The Windows uninstaller under Wine, in a 64-bit prefix where the 32-bit program runs through
# WoW64, quiet: an installation made by hand (files, the log, the setup tool's vl.ini and working
# directory), a system library counted among the shared DLLs, the product key and the entry in
# Windows' list, all in the 32-bit view; then what is left, read with "wine reg query" and from the
# files, and a second run that finds nothing to uninstall.
# Usage: uninstall_wine.sh <uninvl32.exe> <wine prefix>
set -eu
exe=$1
export WINEPREFIX=$2 WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="

top=$WINEPREFIX/drive_c/vl4uninst
dest=$top/VL4
win_dest='C:\vl4uninst\VL4'
log="$win_dest\\UNINST\\vl4.log"
library=$WINEPREFIX/drive_c/windows/syswow64/vl4uninst.dll
win_library='C:\windows\system32\vl4uninst.dll'
shared='HKLM\Software\Microsoft\Windows\CurrentVersion\SharedDLLs'
product='HKLM\Software\Veltoria 4'
entry='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Veltoria 4'
fail() { echo "FAIL: $*"; exit 1; }
reg() { wine reg "$@" /reg:32 > /dev/null 2>&1; }
cleanup() {
  rm -rf "$top" "$library"
  reg delete "$product" /f || true
  reg delete "$entry" /f || true
  reg delete "$shared" /v "$win_library" /f || true
}
cleanup
trap cleanup EXIT

mkdir -p "$dest/UNINST" "$dest/DELPHI7" "$dest/SAMPLES/DELPHI7" "$dest/LIB" "$top/Work"
for f in VL4Demo.exe DELPHI7/vl4.pas DELPHI7/vl4d7tls.dpk SAMPLES/DELPHI7/hello.dpr; do
  echo x > "$dest/$f"
done
echo package > "$dest/DELPHI7/vl4d7tls.bpl"  # compiled by the setup tool: not in the log
printf '[Work Directory]\r\nPath=C:\\vl4uninst\\Work\r\n' > "$dest/VL.INI"
echo results > "$top/Work/results.dat"
{
  printf 'Uninstall Veltoria 4|Do you want to uninstall Veltoria 4?|Veltoria 4 has uninstalled '
  printf 'completely.|Veltoria 4 has uninstalled but the following files have not removed:|\r\n'
  for f in 'SAMPLES\a' 'LIB\a' 'VL4Demo.exe' 'DELPHI7\vl4.pas' 'DELPHI7\vl4d7tls.dpk'; do
    printf '%s\\%s\r\n' "$win_dest" "$f"
  done
} > "$dest/UNINST/vl4.log"
printf '%s\r\n' "$win_library" > "$dest/UNINST/vl4.sys"
echo MZ > "$library"
reg add "$shared" /v "$win_library" /t REG_DWORD /d 1 /f || fail "reg add"
reg add "$product" /v 'Install Directory' /d "$win_dest" /f || fail "reg add"
reg add "$entry" /v InstallLocation /d "$win_dest" /f || fail "reg add"

status=0
wine "$exe" /S "$log" || status=$?
[ "$status" -eq 0 ] || fail "exit status $status; $(cat "$dest/UNINST/uninvl32.txt" 2>&1)"
[ ! -e "$dest" ] || fail "left behind: $(find "$dest")"
[ -f "$top/Work/results.dat" ] || fail "the working directory went"
[ ! -e "$library" ] || fail "the system library stayed"
reg query "$shared" /v "$win_library" && fail "its shared-DLL count stayed"
reg query "$product" && fail "the product key stayed"
reg query "$entry" && fail "the entry in the list of installed programs stayed"

status=0
wine "$exe" /S "$log" || status=$?
[ "$status" -eq 2 ] || fail "second run: exit status $status"
echo "uninstaller under Wine: ok"
