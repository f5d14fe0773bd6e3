# shellcheck shell=bash
# The waits and the virtual display of the scripts that start the launcher in
# a desktop of their own. Sourced by scripts that run under
# `set -euo pipefail`.

# Waits up to $1 seconds for the command in the remaining arguments to succeed.
wait_for() {
  local seconds=$1
  shift
  local deadline=$((SECONDS + seconds))
  until "$@" >/dev/null 2>&1; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.2
  done
}

# Starts Xvfb (1280x1024) on a display number of its own, logging into
# $1/xvfb-N.log, and exports DISPLAY once a client can open it; sets
# $display_server to the server's process. A CI run once had Xvfb report its
# display and then take no client, with nothing in its log: such a server is
# logged, stopped and replaced, up to three times. Fails if none answers.
start_virtual_display() {
  local attempt
  for attempt in 1 2 3; do
    try_virtual_display "$1" "$attempt" && return 0
  done
  return 1
}

# Xvfb's attempt $2, with its files in $1.
try_virtual_display() {
  local log="$1/xvfb-$2.log" number="$1/display-$2" status=0
  exec 3>"$number"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$log" 2>&1 &
  display_server=$!
  exec 3>&-
  wait_for 20 reported_or_ended "$number" || true
  if [ -s "$number" ]; then
    DISPLAY=":$(head -n 1 "$number")"
    export DISPLAY
    wait_for 20 xprop -root && return 0
  fi
  {
    echo "display '${DISPLAY:-}' did not answer; the X sockets and the server:"
    ls -la /tmp/.X11-unix
    ss -xl | grep X11 || true
    ps -o pid,stat,etimes,cmd -p "$display_server" || true
  } >>"$log" 2>&1
  kill "$display_server" 2>/dev/null || true
  wait "$display_server" || status=$?
  echo "Xvfb ended with status $status" >>"$log"
  return 1
}

# Whether the server has written its display number into $1, or has ended.
reported_or_ended() { [ -s "$1" ] || ! kill -0 "$display_server" 2>/dev/null; }
