# shellcheck shell=bash
# What the launcher's end-to-end scripts share: a network namespace of their
# own, a work folder removed at the end with every process they started, the
# site server on 127.0.0.1:80, a virtual display, and the waits. Sourced by
# scripts that run under `set -euo pipefail`.

# shellcheck source=../support/virtual_display.sh source-path=SCRIPTDIR
source "$(dirname "${BASH_SOURCE[0]}")/../support/virtual_display.sh"

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

# The site server $1 on 127.0.0.1:80, answering for 127.0.0.1.
start_site_server() {
  local program=$1
  shift
  "$program" --address 127.0.0.1 --port 80 --domain 127.0.0.1 "$@" >"$work/server.log" 2>&1 &
  pids+=("$!")
  wait_for 20 grep -q listening "$work/server.log" || fail "the site server did not start"
}

# A virtual display of its own, in DISPLAY.
start_display() {
  start_virtual_display "$work" || fail "Xvfb gave no display that a client can open"
  pids+=("$display_server")
}
