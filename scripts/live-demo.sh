#!/usr/bin/env bash
# A logger at work: lmdgen appends the demo's records to a file at RATE records a second, and the
# viewer follows that file with LISTEN on. Closing the viewer stops the writer.
set -euo pipefail
build=${1:-build}
rate=${2:-10}
file="$build/demo/live_demo.lmd"
mkdir -p "$build/demo"
rm -f "$file"
"$build/lmdgen" --demo --live "$rate" "$file" &
writer=$!
trap 'kill "$writer" 2>/dev/null || true' EXIT
# The viewer needs the header and a few records before it can load the file.
for _ in $(seq 100); do
  [ -s "$file" ] && [ "$(stat -c %s "$file")" -gt 2000 ] && break
  sleep 0.05
done
viewer=("$build/lumora-viewer" --follow --listen "$file")
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting the viewer under xvfb-run."
  xvfb-run -a "${viewer[@]}"
else
  "${viewer[@]}"
fi
