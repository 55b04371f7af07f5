#!/bin/sh
# A PulseAudio server of their own for the tests that play sound or speak, started before the
# first of them and stopped after the last (the CTest fixture "sound_server"):
#   sound-server.sh start|stop FOLDER
# FOLDER is the runtime folder those tests get as XDG_RUNTIME_DIR; the server's socket and pid
# file are in FOLDER/pulse (PULSE_RUNTIME_PATH), so it never meets a desktop's own server, and
# speech-dispatcher, started on demand by the speech test, puts its socket there too.
# The server plays into a null sink and takes any local client (the tests have homes of their
# own, so no shared cookie). Without pulseaudio nothing starts and those tests skip.
set -u
action=${1:-} dir=${2:-}
if [ -z "$dir" ] || { [ "$action" != start ] && [ "$action" != stop ]; }; then
  echo "usage: $0 start|stop FOLDER" >&2
  exit 2
fi
export XDG_RUNTIME_DIR="$dir" PULSE_RUNTIME_PATH="$dir/pulse"

# Ends the process named in a pid file, if it is still there.
stop_pid_file() {
  [ -f "$1" ] || return 0
  pid=$(cat "$1" 2>/dev/null)
  case $pid in '' | *[!0-9]*) return 0 ;; esac
  kill "$pid" 2>/dev/null || return 0
  for _ in 1 2 3 4 5 6 7 8 9 10; do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.2
  done
  kill -9 "$pid" 2>/dev/null
  return 0
}

stop() {
  if command -v pulseaudio >/dev/null 2>&1 && pulseaudio --check 2>/dev/null; then
    HOME="$dir" pulseaudio --kill 2>/dev/null
  fi
  stop_pid_file "$dir/pulse/pid"
  stop_pid_file "$dir/speech-dispatcher/pid/speech-dispatcher.pid"
}

case $action in
stop)
  [ -d "$dir" ] || exit 0
  stop
  rm -rf "$dir"
  ;;
start)
  [ -d "$dir" ] && stop   # whatever an interrupted run left behind
  rm -rf "$dir"
  if ! command -v pulseaudio >/dev/null 2>&1; then
    echo "no pulseaudio: the tests that need a sound server skip"
    exit 0
  fi
  mkdir -p "$dir/pulse" && chmod 700 "$dir" "$dir/pulse" || exit 1
  # HOME too, so the server's own files (cookie, state) stay in the folder.
  if ! HOME="$dir" pulseaudio --start -n --exit-idle-time=-1 --log-target="file:$dir/pulseaudio.log" \
      --load=module-null-sink --load="module-native-protocol-unix auth-anonymous=1"; then
    echo "pulseaudio did not start (see $dir/pulseaudio.log): the tests that need it skip"
  fi
  exit 0
  ;;
esac
