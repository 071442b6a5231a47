#!/bin/sh
# Installs what building and testing need on a fresh Debian machine.
set -e
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends \
  cmake make g++ libgtest-dev googletest mingw-w64 wine64 xvfb xauth imagemagick \
  liblnk-utils zip unzip 7zip libarchive-tools clang "$@" >/dev/null
