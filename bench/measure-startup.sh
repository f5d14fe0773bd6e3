#!/usr/bin/env bash
# Runs the start-up benchmark (bench/startup_bench) on a built tree, in a
# network and process namespace of its own, so that all traffic stays on the
# loopback and no process outlives the run, in a virtual display (Xvfb,
# 1280x1024) managed by openbox. Debian's chromium is measured too when it is
# installed.
#
#   measure-startup.sh BUILD [--starts N] [--without-chromium]
set -euo pipefail

usage="usage: measure-startup.sh BUILD [--starts N] [--without-chromium]"
[ $# -ge 1 ] || { echo "$usage" >&2; exit 2; }

if [ -z "${VANTOR_BENCH_NAMESPACE:-}" ]; then
  exec env VANTOR_BENCH_NAMESPACE=1 unshare --net --pid --fork --kill-child --mount-proc "$0" "$@"
fi

sources=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
shift
starts=7
chromium=$(command -v chromium || true)
chromium_note="not installed (bench/run-startup-bench.sh installs it)"
while [ $# -gt 0 ]; do
  case $1 in
    --starts) [ $# -ge 2 ] || { echo "$usage" >&2; exit 2; }; starts=$2; shift 2 ;;
    --without-chromium) chromium=""; chromium_note="left out"; shift ;;
    *) echo "$usage" >&2; exit 2 ;;
  esac
done

ip link set lo up
work=$(mktemp -d)
xvfb=""
cleanup() {
  if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
# Every start's temporary folder goes in here too.
export TMPDIR="$work"

# shellcheck source=../tests/support/virtual_display.sh source-path=SCRIPTDIR
source "$sources/tests/support/virtual_display.sh"
if ! start_virtual_display "$work"; then
  echo "Xvfb did not start" >&2
  cat "$work"/xvfb-*.log >&2
  exit 1
fi
xvfb=$display_server

chromium_options=()
if [ -n "$chromium" ]; then
  chromium_options=(--chromium "$chromium")
  echo "chromium: $("$chromium" --version 2>/dev/null || echo "$chromium")"
else
  echo "chromium --app: not measured, $chromium_note"
fi

sh "$sources/tests/support/with_window_manager.sh" "$build/bench/startup_bench" \
  --site-server "$build/tools/site_server" \
  --vantor "$build/vantor" \
  --bare-browser "$build/bench/bare_browser" \
  --steps "$build/bench/startup_steps_bench" \
  --starts "$starts" \
  "${chromium_options[@]}"
