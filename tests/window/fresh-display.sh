#!/usr/bin/env bash
# Starts the window on fresh X servers, each with no other client, and checks that it comes up
# every time. Such a server resets itself when its last client leaves, and a connection made
# during the reset fails: a display probe that left before Qt connected made Qt abort now and
# then. Started with -terminate, the server ends at that reset instead, so such a start fails
# every time.
#
# fresh-display.sh CURVANA [STARTS]
set -uo pipefail
curvana=$1 starts=${2:-2}

for tool in Xvfb xdotool; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is not installed"
    exit 77
  fi
done

work=$(mktemp -d)
server=0 program=0
cleanup() {
  [ "$program" -ne 0 ] && kill "$program" 2>/dev/null && wait "$program" 2>/dev/null
  [ "$server" -ne 0 ] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# A display number no server uses.
free_display() {
  local d
  for d in $(seq 150 400); do
    if [ ! -e "/tmp/.X11-unix/X$d" ] && [ ! -e "/tmp/.X$d-lock" ]; then
      echo "$d"
      return 0
    fi
  done
  return 1
}

failures=0
for i in $(seq 1 "$starts"); do
  d=$(free_display) || { echo "FAIL: no free display number"; exit 1; }
  Xvfb ":$d" -screen 0 1024x768x24 -nolisten tcp -terminate >"$work/xvfb.log" 2>&1 &
  server=$!
  for _ in $(seq 100); do
    [ -e "/tmp/.X11-unix/X$d" ] && break
    sleep 0.05
  done
  XDG_CONFIG_HOME="$work/config" DISPLAY=":$d" "$curvana" >"$work/out.log" 2>&1 &
  program=$!
  # Nothing else may connect before the program has: another client would keep the server from
  # resetting and hide the fault. Qt connects within a fraction of a second of the start.
  sleep 1
  # The window's title ends with the program's name once it is shown.
  if ! kill -0 "$program" 2>/dev/null ||
    ! DISPLAY=":$d" timeout 20 xdotool search --sync --name 'Curvana$' >/dev/null 2>&1; then
    echo "FAIL: start $i on :$d did not show the window" >&2
    cat "$work/out.log" >&2
    failures=$((failures + 1))
  fi
  kill "$program" 2>/dev/null
  wait "$program" 2>/dev/null
  program=0
  kill "$server" 2>/dev/null
  wait "$server" 2>/dev/null
  server=0
done
echo "$starts starts, $failures failures"
[ "$failures" -eq 0 ]
