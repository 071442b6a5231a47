#!/bin/sh
# The student's road with the Windows build under Wine: the demo distribution in C:\vl4road,
# Delphi 7 and Visual Basic 6 registered with stand-in tools, Inst.exe on screen and
# vl4guidriver at its windows (Install, the environment window down to Delphi 7 and Visual
# Basic 6, the completion message, the setup tool it launches). Screenshots of each window go to
# <screenshots>; what the road left (files, uninstall log, shortcuts through lnkinfo, registry
# with the shared-DLL counts and the entry in Windows' list of installed programs, the IDEs'
# package and add-in, vl.ini, results.dat) is checked and reported. Then the uninstaller the
# distribution delivered runs quietly, as the entry's QuietUninstallString starts it, and the
# prefix must be as it was before the install (the registry read with "wine reg query", the
# files), but for the uninstaller, which stays by design, and the working directory. Needs an X
# display (xvfb-run gives one).
#
# The prefix is a 64-bit Windows and the program a 32-bit one, as on a student's PC: the IDEs'
# keys are where their 32-bit installers put them (the 32-bit registry view, /reg:32), the
# program's Program Files is "Program Files (x86)", and its system directory C:\windows\system32
# is the prefix's syswow64 folder.
# Usage: gui_road.sh <bin folder of the mingw32 build> <screenshots folder>
set -eu
bin=$(cd "$1" && pwd)
shots=$(mkdir -p "$2" && cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${DISPLAY:-}" ]; then
  echo "no X display: run under xvfb-run"
  exit 77
fi
export WINEPREFIX=${WINEPREFIX:-$(dirname "$bin")/wineprefix} WINEDEBUG=-all WINEARCH=win64
# The stand-in regsvr32 (below) replaces Wine's own for this road.
export WINEDLLOVERRIDES="mscoree,mshtml=;regsvr32.exe=n"
[ -d "$WINEPREFIX/drive_c" ] || wineboot -i > /dev/null 2>&1

c=$WINEPREFIX/drive_c
road=$c/vl4road
user_dir=$(ls -d "$c/users/"*/ 2>/dev/null | grep -v Public | head -n 1)
programs="${user_dir}AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
dest="$c/Program Files (x86)/VL4"
system32=$c/windows/syswow64  # C:\windows\system32 as the 32-bit program sees it
saved=$WINEPREFIX/vl4road-saved
shared='HKLM\Software\Microsoft\Windows\CurrentVersion\SharedDLLs'
entry='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Veltoria 4'
win_log='C:\Program Files (x86)\VL4\UNINST\vl4.log'
fail() { echo "FAIL: $*"; exit 1; }
reg() { wine reg "$@" /reg:32; }

cleanup() {
  rm -rf "$road" "$dest" "$programs/Veltoria 4" "$c/VL4Work" "$system32/vl4.dll" \
         "$system32/uninvl32.exe"
  rm -f "${user_dir}Desktop/VL4 "*.lnk
  if [ -d "$saved" ]; then
    for f in syswow64/regsvr32.exe vbaddin.ini vl4standin.log; do
      rm -f "$c/windows/$f"
      [ -f "$saved/$(basename $f)" ] && cp -p "$saved/$(basename $f)" "$c/windows/$f"
    done
    rm -rf "$saved"
  fi
  clsid=$(reg query 'HKCR\vl4addin.VL4ToolsForVB\CLSID' /ve 2>/dev/null | grep -o '{[0-9A-Fa-f-]*}' || true)
  [ -z "$clsid" ] || reg delete "HKCR\\CLSID\\$clsid" /f > /dev/null 2>&1 || true
  for f in vl4.dll uninvl32.exe; do
    reg delete "$shared" /v "C:\\windows\\system32\\$f" /f > /dev/null 2>&1 || true
  done
  for key in 'HKLM\Software\Veltoria 4' "$entry" 'HKLM\Software\Borland\Delphi\7.0' \
             'HKCU\Software\Borland\Delphi\7.0' 'HKCR\vl4addin.VL4ToolsForVB' \
             'HKLM\Software\Microsoft\Visual Studio\6.0\Setup\Microsoft Visual Basic'; do
    reg delete "$key" /f > /dev/null 2>&1 || true
  done
}
cleanup
trap 'cleanup' EXIT
mkdir -p "$saved"
for f in syswow64/regsvr32.exe vbaddin.ini vl4standin.log; do
  [ -f "$c/windows/$f" ] && cp -p "$c/windows/$f" "$saved/$(basename $f)"
done
rm -f "$c/windows/vbaddin.ini" "$c/windows/vl4standin.log"

# The distribution: Inst.exe is the Windows program, and the uninstaller the Windows one; the
# student presses Install.
"$here/make_distribution.sh" "$road/build" "$bin/uninvl32.exe" > /dev/null
mkdir -p "$road/Distrib"
cp "$road/build/Inst.dat" "$road/build/readme.txt" "$road/build/license.txt" "$road/Distrib/"
printf '[Main]\r\nAutoRun=0\r\n' > "$road/Distrib/Inst.ini"
cp "$bin/VL4Setup.exe" "$road/Distrib/Inst.exe"

# The PC: Delphi 7 and Visual Basic 6 (the stand-in tools) with their keys in the 32-bit view and
# Visual Basic's add-in list with its own add-in, regsvr32 in the 32-bit system directory. The
# uninstaller comes with the distribution.
delphi=$road/Delphi7 vb=$road/VB98
mkdir -p "$delphi/Bin" "$delphi/Lib" "$vb"
for tool in "$delphi/Bin/delphi32.exe" "$delphi/Bin/dcc32.exe" "$vb/VB6.EXE" \
            "$system32/regsvr32.exe"; do
  cp "$bin/vl4standin.exe" "$tool"
done
echo x > "$delphi/Lib/system.dcu"
printf '[Add-Ins32]\r\nAppWizard.Wizard=0\r\n' > "$c/windows/vbaddin.ini"
reg add 'HKLM\Software\Borland\Delphi\7.0' /v App /d 'C:\vl4road\Delphi7\Bin\delphi32.exe' /f > /dev/null
reg add 'HKLM\Software\Borland\Delphi\7.0' /v RootDir /d 'C:\vl4road\Delphi7\' /f > /dev/null
reg add 'HKCU\Software\Borland\Delphi\7.0\Known Packages' /f > /dev/null
reg add 'HKLM\Software\Microsoft\Visual Studio\6.0\Setup\Microsoft Visual Basic' \
  /v ProductDir /d 'C:\vl4road\VB98' /f > /dev/null

# What the uninstall must bring back: the product's keys, the shared-DLL counts of its system
# files, the IDEs' keys and files, Visual Basic's add-in list, the program group and the desktop.
state() {
  for key in 'HKLM\Software\Veltoria 4' "$entry" 'HKCU\Software\Borland\Delphi\7.0' \
             'HKCR\vl4addin.VL4ToolsForVB'; do
    printf '[%s]\n' "$key"
    reg query "$key" /s 2>/dev/null | tr -d '\r' | sed '/^$/d' || true
  done
  for f in vl4.dll uninvl32.exe; do
    printf 'shared %s: %s\n' "$f" "$(reg query "$shared" /v "C:\\windows\\system32\\$f" 2>/dev/null |
                       tr -d '\r' | grep -i REG_DWORD || true)"
  done
  for path in "$dest" "$system32/vl4.dll" "$programs/Veltoria 4" "${user_dir}Desktop/VL4 Demo.lnk"; do
    [ -e "$path" ] && echo "present: $path" || echo "absent: $path"
  done
  echo "Delphi 7: $(cd "$delphi" && find . | sort | tr '\n' ' ')"
  echo "Visual Basic 6: $(cd "$vb" && find . | sort | tr '\n' ' ')"
  echo "vbaddin.ini:"; tr -d '\r' < "$c/windows/vbaddin.ini"
}
state > "$road/before.txt"

# The road: the installer, the driver, and the screenshots they ask for.
rm -f "$shots/request" "$shots/request.part"
(cd "$road/Distrib" && wine Inst.exe > "$road/installer.log" 2>&1) &
installer=$!
wine "$bin/vl4guidriver.exe" "Z:$shots" > "$road/driver.log" 2>&1 &
driver=$!
while kill -0 "$driver" 2>/dev/null; do
  if [ -f "$shots/request" ]; then
    name=$(cat "$shots/request")
    import -window root "$shots/$name.png" && echo "screenshot: $shots/$name.png"
    rm -f "$shots/request"
  fi
  sleep 0.05
done
wait "$driver" || { cat "$road/driver.log"; fail "the driver stopped"; }
wait "$installer" || true
timeout 60 wineserver -w || true

# What the road left.
echo "files placed in C:\\Program Files (x86)\\VL4:"
(cd "$dest" && find . -type f | sed 's|^\./|  |' | sort)
for f in readme.txt VL4Demo.exe VL4Setup.exe DELPHI7/vl4.pas VB6/vl4.bas UNINST/vl4.log; do
  [ -f "$dest/$f" ] || fail "no $f in the destination"
done
[ ! -d "$dest/VCSNET2" ] || fail "Visual C# 2005 was installed though it was unticked"
[ ! -d "$dest/TEMP" ] || fail "the staging directory is left"
[ -f "$system32/vl4.dll" ] || fail "no vl4.dll in the 32-bit system directory (syswow64)"
[ ! -f "$c/windows/system32/vl4.dll" ] || fail "vl4.dll went to the 64-bit system directory"
[ -f "$system32/uninvl32.exe" ] || fail "the distribution did not deliver uninvl32.exe to syswow64"
echo "uninstall log:"
sed 's/^/  /' "$dest/UNINST/vl4.log" | tr -d '\r'
grep -q '^Uninstall Veltoria 4|' "$dest/UNINST/vl4.log" || fail "uninstall log header"
echo "shortcuts (lnkinfo):"
for link in "$programs/Veltoria 4/VL4 Demo.lnk" "${user_dir}Desktop/VL4 Demo.lnk" \
            "$programs/Veltoria 4/VL4 Uninstall.lnk"; do
  [ -f "$link" ] || fail "no $link"
  if command -v lnkinfo > /dev/null; then
    target=$(lnkinfo "$link" | sed -n 's/^[[:space:]]*Local path[[:space:]]*: //p' | head -n 1)
    echo "  $(basename "$(dirname "$link")")\\$(basename "$link") -> $target"
    [ -n "$target" ] || fail "lnkinfo reads no target in $link"
  fi
done
echo "registry:"
reg query 'HKLM\Software\Veltoria 4' /v 'Install Directory' | tr -d '\r' | grep 'Install' |
  sed 's/^ */  /' || fail "no product key"
for f in vl4.dll uninvl32.exe; do
  reg query "$shared" /v "C:\\windows\\system32\\$f" | tr -d '\r' | grep -i "$f.*REG_DWORD *0x1$" |
    sed 's/^ */  SharedDLLs: /' || fail "no shared-DLL count of 1 for $f"
done
# The list of installed programs starts its commands from a 64-bit process: the uninstaller is
# named where such a process finds it.
for name in UninstallString QuietUninstallString; do
  reg query "$entry" /v "$name" | tr -d '\r' | grep -iF '"C:\windows\syswow64\uninvl32.exe" ' |
    sed 's/^ */  /' || fail "$name: $(reg query "$entry" /v "$name" 2>&1)"
done
quiet=$(reg query "$entry" /v QuietUninstallString | tr -d '\r' | sed -n 's/.*REG_SZ *//p')
lower() { printf '%s' "$1" | tr '[:upper:]' '[:lower:]'; }
[ "$(lower "$quiet")" = "$(lower "\"C:\\windows\\syswow64\\uninvl32.exe\" /S \"$win_log\"")" ] ||
  fail "QuietUninstallString: $quiet"
echo "the IDEs, as the setup tool left them:"
known=$(reg query 'HKCU\Software\Borland\Delphi\7.0\Known Packages' | tr -d '\r')
printf "%s\n" "$known" | grep -F 'C:\vl4road\Delphi7\Lib\vl4d7tls.bpl' | sed 's/^ */  Known Packages: /' ||
  fail "no known package: $known"
[ -f "$delphi/Lib/vl4d7tls.bpl" ] || fail "the package was not copied into Delphi's Lib"
tr -d '\r' < "$c/windows/vbaddin.ini" | grep -x 'vl4addin.VL4ToolsForVB=1' | sed 's/^/  vbaddin.ini: /' ||
  fail "vbaddin.ini: $(cat "$c/windows/vbaddin.ini" 2>&1)"
registered=
for i in $(seq 1 100); do  # regsvr32 is not waited for
  clsid=$(reg query 'HKCR\vl4addin.VL4ToolsForVB\CLSID' /ve 2>/dev/null | grep -o '{[0-9A-Fa-f-]*}') &&
    registered=$(reg query "HKCR\\CLSID\\$clsid\\InprocServer32" /ve 2>/dev/null | tr -d '\r' |
                 grep -F 'VB6\vl4addin.dll') && break
  sleep 0.2
done
[ -n "$registered" ] || fail "the add-in was not registered"
printf '  regsvr32: %s\n' "$(printf '%s' "$registered" | sed 's/.*REG_SZ *//')"
echo "vl.ini:"
[ -f "$dest/VL.INI" ] || fail "no vl.ini"
sed 's/^/  /' "$dest/VL.INI" | tr -d '\r'
[ -f "$c/VL4Work/results.dat" ] || fail "no results file"
echo "results.dat: $(wc -c < "$c/VL4Work/results.dat") bytes"

# The uninstall, quiet, as the list of installed programs starts it.
status=0
wine 'C:\windows\syswow64\uninvl32.exe' /S "$win_log" || status=$?
timeout 60 wineserver -w || true
[ "$status" -eq 0 ] ||
  fail "the uninstaller's exit status is $status: $(cat "$dest/UNINST/uninvl32.txt" 2>&1)"
state > "$road/after.txt"
diff "$road/before.txt" "$road/after.txt" > "$road/state.diff" ||
  fail "the uninstall left the prefix changed:
$(cat "$road/state.diff")"
[ -z "$(cd "${user_dir}Desktop" && ls VL4*.lnk 2>/dev/null)" ] || fail "desktop shortcuts stayed"
[ -n "$clsid" ] && reg query "HKCR\\CLSID\\$clsid" > /dev/null 2>&1 &&
  fail "the add-in's class $clsid stayed registered"
[ -f "$system32/uninvl32.exe" ] || fail "the uninstaller went; it serves any installation's log"
echo "uninstalled: the prefix is as before the install (the uninstaller stays in syswow64)"
echo "the Windows road under Wine: ok"
