#!/bin/sh
# Runs a Windows executable under wine64 in the build's private prefix, without Wine's debug noise.
# The prefix lives beside the binaries: <build>/wineprefix (bin/ is one level below the build folder).
exe="$1"; shift
build_dir=${VL4_BUILD_DIR:-$(cd "$(dirname "$exe")/.." && pwd)}
export WINEPREFIX=${WINEPREFIX:-$build_dir/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEARCH=win64
exec wine "$exe" "$@"
