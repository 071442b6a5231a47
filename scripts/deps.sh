#!/bin/sh
# Installs what building and testing need on a fresh Debian machine, then checks that every tool
# the scripts and tests call is there and stops with their names when one is not. The Windows
# program is a 32-bit one: its tests run in a 64-bit Wine prefix through WoW64, which needs
# Debian's 32-bit Wine (wine32:i386, from the i386 architecture) beside the `wine` command; Wine's
# own fonts and the Liberation fonts give the windows the metrics of the Windows fonts they name.
# Extra arguments are further packages (the benchmarks' anchors).
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
install() {
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386 || return 1
  fi
  $SUDO apt-get update -qq || return 1
  $SUDO apt-get install -y -qq --no-install-recommends \
    cmake make g++ libgtest-dev googletest mingw-w64 wine wine64 wine32:i386 fonts-wine \
    fonts-liberation xvfb xauth imagemagick liblnk-utils icoutils zip unzip 7zip \
    libarchive-tools clang "$@" >/dev/null
}
install "$@" || echo "scripts/deps.sh: installing the packages failed; checking what is there" >&2

missing=""
for tool in cmake make g++ i686-w64-mingw32-g++-posix i686-w64-mingw32-windres wine wineserver \
            xvfb-run import lnkinfo wrestool zip unzip 7zz bsdtar; do
  command -v "$tool" >/dev/null 2>&1 || missing="$missing $tool"
done
# Without the 32-bit loader the `wine` command cannot start a 32-bit program.
[ -x /usr/lib/wine/wine ] || missing="$missing wine32:i386"
[ -d /usr/src/googletest ] || missing="$missing googletest"
if [ -n "$missing" ]; then
  echo "scripts/deps.sh: missing:$missing" >&2
  echo "Install them (see scripts/deps.sh) and run the command again." >&2
  exit 1
fi
