#!/bin/sh
# The Windows setup tool's module installation under Wine. Delphi 7 and Visual Basic 6 are
# "installed" in the 64-bit prefix as their 32-bit installers leave them: registry keys in the
# 32-bit view (/reg:32), and the stand-in tools (vl4standin.exe as dcc32.exe, VB6.EXE and, for
# the run, the 32-bit system directory's regsvr32.exe: a 32-bit program's C:\windows\system32 is
# the prefix's syswow64).
# Start-up with "-FAST" must detect both, compile, copy and register the Delphi tools package,
# build the Visual Basic add-in, list it in vbaddin.ini and register it: its class in the 32-bit
# view, naming the library. A second start, after the registration was made to name another
# library, must register it again.
# Usage: actions_wine_e2e.sh <VL4Setup.exe> <vl4standin.exe> <wine prefix>
set -eu
exe=$1
standin=$2
export WINEPREFIX=$3 WINEDEBUG=-all WINEARCH=win64
# The stand-in replaces Wine's own regsvr32 for this run.
export WINEDLLOVERRIDES="mscoree,mshtml=;regsvr32.exe=n"

c=$WINEPREFIX/drive_c
dir=$c/vl4act
windows=$c/windows
system32=$windows/syswow64  # C:\windows\system32 as the 32-bit program sees it
reg() { wine reg "$@" /reg:32; }
# The add-in's class identifier, as its program identifier names it; empty when not registered.
add_in_class() {
  reg query 'HKCR\vl4addin.VL4ToolsForVB\CLSID' /ve 2>/dev/null | grep -o '{[0-9A-Fa-f-]*}' || true
}
# The library the add-in's class names, once regsvr32 (not waited for) has registered one other
# than $1; after 20 s, whatever it names.
add_in_server() {
  server=
  for i in $(seq 1 100); do
    clsid=$(add_in_class)
    if [ -n "$clsid" ]; then
      server=$(reg query "HKCR\\CLSID\\$clsid\\InprocServer32" /ve 2>/dev/null | tr -d '\r' |
               sed -n 's/.*REG_SZ *//p')
      [ -n "$server" ] && [ "$server" != "${1:-}" ] && break
    fi
    sleep 0.2
  done
  printf "%s\n" "$server"
}
saved=$WINEPREFIX/vl4act-saved
fail() { echo "FAIL: $*"; exit 1; }
cleanup() {
  rm -rf "$dir"
  if [ -d "$saved" ]; then
    for f in syswow64/regsvr32.exe vbaddin.ini vl4standin.log; do
      rm -f "$windows/$f"
      [ -f "$saved/$(basename $f)" ] && cp -p "$saved/$(basename $f)" "$windows/$f"
    done
    rm -rf "$saved"
  fi
  clsid=$(add_in_class)
  [ -z "$clsid" ] || reg delete "HKCR\\CLSID\\$clsid" /f > /dev/null 2>&1 || true
  for key in 'HKLM\Software\Veltoria 4' 'HKLM\Software\Borland\Delphi\7.0' \
             'HKCU\Software\Borland\Delphi\7.0' 'HKLM\Software\Microsoft\Visual Studio\6.0' \
             'HKCR\vl4addin.VL4ToolsForVB'; do
    reg delete "$key" /f > /dev/null 2>&1 || true
  done
}
cleanup
trap cleanup EXIT
mkdir -p "$saved"
for f in syswow64/regsvr32.exe vbaddin.ini vl4standin.log; do
  [ -f "$windows/$f" ] && cp -p "$windows/$f" "$saved/$(basename $f)"
done
rm -f "$windows/vbaddin.ini" "$windows/vl4standin.log"

# The product: Delphi 7 and Visual Basic 6 shipped with their package and add-in projects.
mkdir -p "$dir/VL4/DELPHI7" "$dir/VL4/VB6" "$dir/Delphi7/Bin" "$dir/Delphi7/Lib" "$dir/VB98"
cp "$exe" "$dir/VL4/VL4Setup.exe"
for f in VL4Demo.exe VL4Load.exe VL4Res.exe DELPHI7/vl4.pas DELPHI7/loaddpr.dat VB6/vl4.bas \
         VB6/loadvb.dat; do
  echo x > "$dir/VL4/$f"
done
printf 'package vl4d7tls;\r\nend.\r\n' > "$dir/VL4/DELPHI7/vl4d7tls.dpk"
printf 'Type=OleDll\r\nClass=VL4ToolsForVB; VL4ToolsForVB.cls\r\nName="vl4addin"\r\nExeName32="vl4addin.dll"\r\n' \
  > "$dir/VL4/VB6/vl4addin.vbp"
printf '[Work Directory]\r\nPath=C:\\vl4act\\Work\r\n' > "$dir/VL4/VL.INI"

# The IDEs: executables, compiler and library directory, and their registry keys.
cp "$standin" "$dir/Delphi7/Bin/delphi32.exe"
cp "$standin" "$dir/Delphi7/Bin/dcc32.exe"
echo x > "$dir/Delphi7/Lib/System.dcu"
cp "$standin" "$dir/VB98/VB6.EXE"
cp "$standin" "$system32/regsvr32.exe"
reg add 'HKLM\Software\Borland\Delphi\7.0' /v App /d 'C:\vl4act\Delphi7\Bin\delphi32.exe' \
  /f > /dev/null
reg add 'HKLM\Software\Borland\Delphi\7.0' /v RootDir /d 'C:\vl4act\Delphi7' /f > /dev/null
reg add 'HKCU\Software\Borland\Delphi\7.0\Known Packages' /f > /dev/null
reg add 'HKLM\Software\Microsoft\Visual Studio\6.0\Setup\Microsoft Visual Basic' \
  /v ProductDir /d 'C:\vl4act\VB98' /f > /dev/null

wine "$dir/VL4/VL4Setup.exe" -FAST > "$dir/run.log" 2>&1 || fail "exit code $? $(cat "$dir/run.log")"

library='C:\vl4act\VL4\VB6\vl4addin.dll'
server=$(add_in_server)

# Delphi 7: compiled in the module folder, copied into Lib, registered as a known package.
[ -f "$dir/VL4/DELPHI7/vl4d7tls.bpl" ] || fail "no package in the module folder"
[ ! -f "$dir/VL4/DELPHI7/vl4d7tls.dcu" ] || fail "the compiler's unit file was left"
[ -f "$dir/Delphi7/Lib/vl4d7tls.bpl" ] || fail "the package was not copied into Lib"
known=$(reg query 'HKCU\Software\Borland\Delphi\7.0\Known Packages')
printf "%s\n" "$known" | grep -F 'C:\vl4act\Delphi7\Lib\vl4d7tls.bpl' | grep -q 'VL4 Tools for Delphi 7' ||
  fail "known packages: $known"

# Visual Basic 6: the add-in library built with its log, listed, registered.
[ -f "$dir/VL4/VB6/vl4addin.dll" ] || fail "no add-in library"
grep -q "succeeded" "$dir/VL4/VB6/vl4addin.inf" || fail "build log: $(cat "$dir/VL4/VB6/vl4addin.inf")"
tr -d '\r' < "$windows/vbaddin.ini" | grep -qx 'vl4addin.VL4ToolsForVB=1' ||
  fail "vbaddin.ini: $(cat "$windows/vbaddin.ini" 2>&1)"
tr -d '\r' < "$windows/vbaddin.ini" | grep -qx '\[Add-Ins32\]' || fail "no [Add-Ins32]"
[ "$server" = "$library" ] || fail "the add-in's class names '$server'"
clsid=$(add_in_class)
# The 32-bit regsvr32 registered the class in the 32-bit view only.
! wine reg query "HKCR\\CLSID\\$clsid" /reg:64 > /dev/null 2>&1 ||
  fail "the class $clsid is in the 64-bit view"

# Each tool ran in its working directory.
log=$(tr -d '\r' < "$windows/vl4standin.log")
for line in 'DCC32.EXE	C:\vl4act\VL4\DELPHI7	C:\vl4act\VL4\DELPHI7\vl4d7tls.dpk' \
            'VB6.EXE	C:\vl4act\VL4\VB6	/makedll	C:\vl4act\VL4\VB6\vl4addin.vbp	/out	C:\vl4act\VL4\VB6\vl4addin.inf' \
            'REGSVR32.EXE	C:\windows\system32	/s	C:\vl4act\VL4\VB6\vl4addin.dll'; do
  printf "%s\n" "$log" | grep -qixF "$line" || fail "no '$line' in the tools' log: $log"
done

# An add-in registered from another folder (the list entry is there): the next start registers
# this installation's library again.
reg add "HKCR\\CLSID\\$clsid\\InprocServer32" /ve /d 'C:\Old\VL4\VB6\vl4addin.dll' /f > /dev/null
wine "$dir/VL4/VL4Setup.exe" -FAST > "$dir/run.log" 2>&1 || fail "exit code $? $(cat "$dir/run.log")"
server=$(add_in_server 'C:\Old\VL4\VB6\vl4addin.dll')
[ "$server" = "$library" ] || fail "not registered again: the add-in's class names '$server'"
echo "module installation under Wine: ok"
