#!/bin/sh
# Runs the Win32 smoke test under Wine and takes the screenshots it asks for: the test writes
# the name of a shot into <shots>/request and waits until the file is gone.
# Usage: gui_smoke.sh <wine runner> <test executable> <screenshot folder>
runner=$1 exe=$2 shots=$3
if [ -z "$DISPLAY" ]; then
  echo "no X display: run the tests under xvfb-run for the GUI smoke test"
  exit 77
fi
mkdir -p "$shots"
rm -f "$shots/request" "$shots/request.part"
VL4_SMOKE_DIR="Z:$shots" "$runner" "$exe" &
pid=$!
while kill -0 "$pid" 2>/dev/null; do
  if [ -f "$shots/request" ]; then
    name=$(cat "$shots/request")
    import -window root "$shots/$name.png" && echo "screenshot: $shots/$name.png"
    rm -f "$shots/request"
  fi
  sleep 0.1
done
wait "$pid"
