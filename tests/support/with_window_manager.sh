#!/bin/sh
# Runs a command in the current X display with openbox managing its windows,
# so that maximising, restoring and window icons behave as on a desktop.
set -u

openbox --sm-disable >/dev/null 2>&1 &
manager=$!
trap 'kill "$manager" 2>/dev/null; wait "$manager" 2>/dev/null' EXIT

tries=0
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
  tries=$((tries + 1))
  if [ "$tries" -gt 100 ] || ! kill -0 "$manager" 2>/dev/null; then
    echo "openbox did not start" >&2
    exit 1
  fi
  sleep 0.05
done

"$@"
