#!/usr/bin/env bash
# Opens the viewer on the demo file; without a display it runs under a virtual one.
set -euo pipefail
build=${1:-build}
demo="$build/demo/drift_scan_demo.lmd"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting the viewer under xvfb-run."
  exec xvfb-run -a "$build/lumora-viewer" "$demo"
fi
exec "$build/lumora-viewer" "$demo"
