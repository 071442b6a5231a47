#!/bin/sh
# Runs a Windows executable under Wine in the build's private prefix, without Wine's debug noise.
# The prefix is a 64-bit one: the 32-bit program runs through WoW64, as on 64-bit Windows.
# The prefix lives beside the binaries: <build>/wineprefix (bin/ is one level below the build folder).
exe="$1"; shift
build_dir=${VL4_BUILD_DIR:-$(cd "$(dirname "$exe")/.." && pwd)}
export WINEPREFIX=${WINEPREFIX:-$build_dir/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEARCH=win64
exec wine "$exe" "$@"
