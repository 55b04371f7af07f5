#!/usr/bin/env bash
# Serves a generated demo archive on 127.0.0.1 with Python's own web server and starts the
# viewer pointed at it. Without a display (or with ARCHIVE_DEMO=console) the console mode runs
# in this terminal instead of the window.
set -euo pipefail
build=${1:-build}
demo="$build/archive-demo"
rm -rf "$demo"
mkdir -p "$demo/site" "$demo/downloads"
"$build/archivegen" "$demo/site"

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$demo/site" >"$demo/server.log" 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null || true' EXIT
for _ in $(seq 100); do
  python3 -c "import urllib.request; urllib.request.urlopen('http://127.0.0.1:$port/varecords_sort.txt')" 2>/dev/null && break
  sleep 0.1
done

downloads=$(cd "$demo/downloads" && pwd)
printf '[Settings]\nArchiveURL=http://127.0.0.1:%s/\nDataDirectory=%s\n' "$port" "$downloads" >"$demo/settings.ini"
echo "Demo archive served at http://127.0.0.1:$port/ (recordings on 12/23/2003 and 12/24/2003)." >&2
echo "Type VA, then a date such as 12/23/2003 or 2003-12-23 17:15; walk the list with the arrow keys," >&2
echo "press S to load a recording's data, W, T or I to open its sound, text or picture." >&2

if [ "${ARCHIVE_DEMO:-}" = console ] || { [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; }; then
  echo "Console mode: one command per line; :key S, :down, :up, :enter, :tab act as keys." >&2
  "$build/lumora-viewer" --console --settings "$demo/settings.ini"
else
  "$build/lumora-viewer" --settings "$demo/settings.ini"
fi
