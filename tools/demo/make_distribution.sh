#!/bin/sh
# The demo distribution of Veltoria 4: a small product tree (the three programs as stand-ins,
# module folders for Delphi 7, Visual Basic 6 and Visual C# 2005, samples, the system library and
# the real uninstaller for the system directory, readme and licence) packed with Info-ZIP into the
# password-protected data file Inst.dat, with the settings file Inst.ini and the two texts beside
# it. The installer itself (Inst.exe) is the caller's to add.
# <uninvl32.exe> is the built uninstaller of the same world as the installer: natively
# build/<preset>/bin/uninvl32.exe, for Windows the mingw32 build's. It is shipped without its
# debugging information, as a release is.
# Usage: make_distribution.sh <output folder> <uninvl32.exe>
set -eu
out=$1
uninstaller=$2
[ -f "$uninstaller" ] || { echo "make_distribution.sh: no uninstaller at $uninstaller" >&2; exit 1; }
password=4817203956610382749155063829471036
product=$out/product
rm -rf "$product"
mkdir -p "$product"

put() {  # put <relative path> <text>: a file with CR LF line ends
  mkdir -p "$(dirname "$product/$1")"
  printf '%b' "$2" > "$product/$1"
}

put readme.txt 'Veltoria 4, Mini Edition\r\n\r\nAn electronic exercise book for students who learn\r\nprogramming in their own IDE.\r\n\r\n- Delphi 7, Visual Basic 6 and Visual C# 2005 in this edition\r\n- the results of every student in results.dat\r\n'
put license.txt 'Veltoria 4 is freeware.\r\nYou may copy and give it away unchanged.\r\n\r\nCOPYRIGHT (C) The Veltoria team\r\n'
put VL4Demo.exe 'MZ stand-in: the Veltoria 4 demonstration\r\n'
put VL4Load.exe 'MZ stand-in: the Veltoria 4 task loader\r\n'
put VL4Res.exe 'MZ stand-in: the Veltoria 4 results viewer\r\n'
put vl4net.dll 'MZ stand-in: the Veltoria .NET library\r\n'
put DELPHI7/vl4.pas 'unit vl4;\r\ninterface\r\nprocedure Task(n: integer);\r\nimplementation\r\nprocedure Task(n: integer); begin end;\r\nend.\r\n'
put DELPHI7/loaddpr.dat 'program %s;\r\nuses vl4;\r\nbegin Task(%d) end.\r\n'
put DELPHI7/vl4d7tls.dpk 'package vl4d7tls;\r\nrequires vcl;\r\ncontains vl4tools;\r\nend.\r\n'
put VB6/vl4.bas 'Attribute VB_Name = "vl4"\r\nPublic Sub Task(n As Integer)\r\nEnd Sub\r\n'
put VB6/loadvb.dat 'Type=Exe\r\nModule=vl4; vl4.bas\r\n'
put VB6/vl4addin.vbp 'Type=OleDll\r\nClass=VL4ToolsForVB; VL4ToolsForVB.cls\r\nName="vl4addin"\r\nExeName32="vl4addin.dll"\r\n'
put VCSNET2/loadnets.dat 'class Program { static void Main() { Vl4.Task(%d); } }\r\n'
put VCSNET2/vlprj.csproj '<Project>\r\n  <OutputPath>.\\</OutputPath>\r\n</Project>\r\n'
put SAMPLES/DELPHI7/hello.dpr 'program hello;\r\nuses vl4;\r\nbegin Task(1) end.\r\n'
put SAMPLES/DELPHI7/sums.dpr 'program sums;\r\nuses vl4;\r\nbegin Task(2) end.\r\n'
put SAMPLES/VB6/hello.bas 'Sub Main()\r\n  Task 1\r\nEnd Sub\r\n'
put SYSTEM/vl4.dll 'MZ stand-in: the Veltoria system library\r\n'
objcopy --strip-debug "$uninstaller" "$product/SYSTEM/uninvl32.exe"

rm -f "$out/Inst.dat"
(cd "$product" && zip -q -r -X -P "$password" "$out/Inst.dat" .)
cp "$product/readme.txt" "$product/license.txt" "$out/"
printf '[Main]\r\nAutoRun=1\r\n' > "$out/Inst.ini"
