#!/bin/sh
# The main job: a student's road through the installer and the setup tool it launches, on a
# fresh sandbox PC with Delphi 7 and Visual Basic 6 (native build, headless UI), told as a
# report that ends with the uninstall. With --gui: the same road with the Windows build under
# Wine (inside Xvfb when there is no display), with screenshots of each window in
# build/mingw32/screenshots.
set -e
cd "$(dirname "$0")/.."
./scripts/deps.sh
if [ "${1:-}" = "--gui" ]; then
  cmake --preset mingw32 >/dev/null
  cmake --build --preset mingw32 --target VL4Setup uninvl32 vl4standin vl4guidriver
  road="tools/demo/gui_road.sh build/mingw32/bin build/mingw32/screenshots"
  if [ -n "${DISPLAY:-}" ]; then
    exec $road
  fi
  exec xvfb-run -a -s "-screen 0 1280x1024x24" $road
fi
cmake --preset native >/dev/null
cmake --build --preset native --target vl4demo  # with the program and the stand-in tools
exec ./build/native/bin/vl4demo "$@"
