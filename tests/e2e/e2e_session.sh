# shellcheck shell=bash
# What the launcher's end-to-end scripts share: a network namespace of their
# own, a work folder removed at the end with every process they started, the
# site server on 127.0.0.1:80, a virtual display, and the waits. Sourced by
# scripts that run under `set -euo pipefail`.

# Runs the calling script again, with its arguments, in a network namespace
# of its own in which only the loopback is up.
enter_own_network() {
  if [ -z "${VANTOR_E2E_NETNS:-}" ]; then
    exec env VANTOR_E2E_NETNS=1 unshare --net --fork "$0" "$@"
  fi
  ip link set lo up
}

# Makes $work, and removes it at the end with every process in $pids; a
# stopped process is woken first so that it can end.
begin_session() {
  work=$(mktemp -d)
  pids=()
  trap end_session EXIT
}

end_session() {
  for pid in "${pids[@]}"; do kill -CONT "$pid" 2>/dev/null || true; kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}

fail() {
  echo "FAIL: $*" >&2
  for log in "$work"/*.log; do echo "--- $log" >&2; tail -n 30 "$log" >&2; done
  exit 1
}

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

# The site server $1 on 127.0.0.1:80, answering for 127.0.0.1.
start_site_server() {
  local program=$1
  shift
  "$program" --address 127.0.0.1 --port 80 --domain 127.0.0.1 "$@" >"$work/server.log" 2>&1 &
  pids+=("$!")
  wait_for 20 grep -q listening "$work/server.log" || fail "the site server did not start"
}

# A virtual display of its own, in DISPLAY, once a client can open it. A CI
# run once had Xvfb report its display and then take no client, with nothing
# in its log; such a server is stopped, its state logged, and another tried.
start_display() {
  local attempt
  for attempt in 1 2 3; do
    try_display "$attempt" && return 0
  done
  fail "Xvfb gave no display that a client can open"
}

# Xvfb's attempt $1, logged in xvfb-$1.log; fails if its display does not
# answer within seconds.
try_display() {
  local log="$work/xvfb-$1.log" number="$work/display-$1" server status=0
  exec 3>"$number"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$log" 2>&1 &
  server=$!
  pids+=("$server")
  exec 3>&-
  if wait_for 20 test -s "$number"; then
    DISPLAY=":$(head -n 1 "$number")"
    export DISPLAY
    wait_for 20 xprop -root && return 0
  fi
  {
    echo "display '${DISPLAY:-}' did not answer; the server's sockets and Xvfb:"
    ls -la /tmp/.X11-unix
    ss -xl | grep X11 || true
    ps -o pid,stat,etimes,cmd -p "$server" || true
  } >>"$log" 2>&1
  kill "$server" 2>/dev/null || true
  wait "$server" || status=$?
  echo "Xvfb ended with status $status" >>"$log"
  return 1
}
