#!/usr/bin/env bash
# The launcher as an office PC gets it: installed with `cmake --install` into a
# temporary prefix and started through its desktop wrapper by users with
# temporary home folders, in a network namespace of the test's own with the
# site server on 127.0.0.1:80, a virtual display and a window manager.
#
#   installed_launcher_e2e.sh MODE BUILD_FOLDER SITE_SERVER
#
# desktop-first-start: the wrapper creates ~/.local/share/vantor and starts the
#   launcher there; the first start writes QLX32-bs.ini and qlx.ico into it
#   and nothing into the home folder or the folder it was started from. A
#   start while the site-code dialog waits hands over to that dialog.
# second-start: a second start while the first runs, minimised and busy, ends
#   within a second, opens no window and sends no report; once the first can,
#   its window comes back and is the active one. A third start brings it in
#   front of another program's window.
# double-start: two starts at the same moment (a double click) give one
#   launcher; the other start ends.
# stale-socket: a launcher killed outright leaves its socket behind; the next
#   start is not blocked by it and takes the socket over.
# two-users: two users (two runtime folders) each get a launcher of their own;
#   the second has an XDG_DATA_HOME of their own, where the wrapper works.
set -euo pipefail

mode=$1
build=$2
site_server=$3

if [ -z "${VANTOR_E2E_NETNS:-}" ]; then
  exec env VANTOR_E2E_NETNS=1 unshare --net --fork "$0" "$@"
fi
ip link set lo up

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill -CONT "$pid" 2>/dev/null || true; kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

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

unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY no_proxy NO_PROXY
unset XDG_DATA_HOME XDG_CACHE_HOME XDG_CONFIG_HOME XDG_RUNTIME_DIR

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || fail "cmake --install failed"

"$site_server" --address 127.0.0.1 --port 80 --domain 127.0.0.1 >"$work/server.log" 2>&1 &
pids+=($!)
wait_for 20 grep -q listening "$work/server.log" || fail "the site server did not start"

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
exec 3>&-
wait_for 20 test -s "$work/display" || fail "Xvfb did not start"
DISPLAY=":$(head -n 1 "$work/display")"
export DISPLAY
openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
wait_for 20 sh -c "xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'" || fail "openbox did not start"

report_count() { curl -s --noproxy '*' http://127.0.0.1/reports | grep -o '"pid"' | wc -l; }
has_reports() { [ "$(report_count)" -ge "$1" ]; }

# A user of this PC: a home folder and a runtime folder of their own, and
# the data folder of $2 when given.
declare -A data_home=()
add_user() {
  mkdir -p "$work/$1/home" "$work/$1/runtime"
  chmod 700 "$work/$1/runtime"
  data_home[$1]=${2:-}
}

# Starts the installed wrapper as user $1 from the test's folder; sets
# $launcher to its process.
start_launcher() {
  local settings=(HOME="$work/$1/home" XDG_RUNTIME_DIR="$work/$1/runtime")
  [ -z "${data_home[$1]}" ] || settings+=(XDG_DATA_HOME="${data_home[$1]}")
  (cd "$work" && exec env "${settings[@]}" "$prefix/bin/vantor-desktop" >>"$work/$1-vantor.log" 2>&1) &
  launcher=$!
  pids+=("$launcher")
}

# Waits for the launcher $1 to end, killing it after 10 seconds; sets $status
# to its exit status and $elapsed_ms to the milliseconds since $2 (date +%s%N).
wait_for_end() {
  (sleep 10 && kill -KILL "$1") >/dev/null 2>&1 &
  local watchdog=$!
  status=0
  wait "$1" || status=$?
  elapsed_ms=$((($(date +%s%N) - $2) / 1000000))
  kill "$watchdog" 2>/dev/null || true
}

# A user's working folder, as the wrapper makes it.
working_folder() { echo "${data_home[$1]:-$work/$1/home/.local/share}/vantor"; }

provision() {
  mkdir -p "$(working_folder "$1")"
  printf '[QLXBSINFO]\r\nHttpServer=127.0.0.1\r\nPort=80\r\nPath=/Account/LogOn\r\nPara=--disable-plugins\r\nBrowserPath=' \
    >"$(working_folder "$1")/QLX32-bs.ini"
}

# The launchers' main windows: captioned with the login page's title.
main_windows() { xdotool search --onlyvisible --name 'pid=' 2>/dev/null || true; }
main_window_count() { main_windows | grep -c . || true; }
has_main_windows() { [ "$(main_window_count)" -ge "$1" ]; }

is_minimised() { xprop -id "$1" _NET_WM_STATE | grep -q _NET_WM_STATE_HIDDEN; }
is_active() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]; }
is_restored_and_active() { ! is_minimised "$1" && is_active "$1"; }

case "$mode" in
desktop-first-start)
  add_user clerk
  start_launcher clerk
  folder=$(working_folder clerk)
  dialog=""
  find_dialog() { dialog=$(xdotool search --onlyvisible --name '^栖澜$' | head -n 1); [ -n "$dialog" ]; }
  wait_for 60 find_dialog || fail "the site-code dialog did not appear"
  [ -d "$folder" ] || fail "the wrapper did not create $folder"
  # A second start meanwhile hands over to the dialog.
  start_launcher clerk
  wait_for_end "$launcher" "$(date +%s%N)"
  [ "$status" -eq 0 ] || fail "a start during the site-code dialog ended with status $status (killed at 10 s)"
  [ "$(xdotool search --onlyvisible --name '^栖澜$' | grep -c .)" -eq 1 ] || fail "a second site-code dialog"
  wait_for 20 is_active "$dialog" || fail "the site-code dialog is not the active window"
  xdotool type --delay 50 "office-7"
  xdotool key Return
  wait_for 60 test -f "$folder/QLX32-bs.ini" || fail "no configuration file in $folder"
  grep -q 'HttpServer=127.0.0.1' "$folder/QLX32-bs.ini" || fail "unexpected configuration: $(cat -A "$folder/QLX32-bs.ini")"
  wait_for 60 has_reports 1 || fail "no device report reached the site server"
  wait_for 60 test -f "$folder/qlx.ico" || fail "no machine-id file in $folder"
  wait_for 90 has_main_windows 1 || fail "the main window did not show the login page"
  [ "$(report_count)" -eq 1 ] || fail "the server saw $(report_count) reports"
  stray=$(find "$work/clerk/home" -maxdepth 1 \( -name 'QLX32-bs.ini' -o -name 'qlx.ico' -o -name 'key.json' \))
  stray+=$(find "$work" -maxdepth 1 \( -name 'QLX32-bs.ini' -o -name 'qlx.ico' -o -name 'key.json' \))
  [ -z "$stray" ] || fail "files written outside the working folder: $stray"
  [ ! -e "$folder/key.json" ] || fail "key.json was left behind"
  # The desktop entry names the window's class, so that the desktop can tie
  # the window to its menu entry.
  entry_class=$(sed -n 's/^StartupWMClass=//p' "$prefix/share/applications/vantor.desktop")
  window_class=$(xprop -id "$(main_windows | head -n 1)" WM_CLASS)
  case "$window_class" in
    *", \"$entry_class\""*) ;;
    *) fail "StartupWMClass=$entry_class does not match the window's $window_class" ;;
  esac
  ;;

second-start)
  add_user clerk
  provision clerk
  start_launcher clerk
  first=$launcher
  wait_for 90 has_main_windows 1 || fail "the first launcher's window did not show the login page"
  window=$(main_windows | head -n 1)

  # Minimised, and busy as in a long exchange: it cannot answer at all.
  xdotool windowminimize --sync "$window"
  kill -STOP "$first"
  start=$(date +%s%N)
  start_launcher clerk
  wait_for_end "$launcher" "$start"
  echo "the second start ended after ${elapsed_ms} ms"
  [ "$status" -eq 0 ] || fail "the second start ended with status $status after ${elapsed_ms} ms (killed at 10 s)"
  kill -CONT "$first"
  wait_for 20 is_restored_and_active "$window" \
    || fail "the minimised launcher was not brought back and activated ($(xprop -id "$window" _NET_WM_STATE))"

  # Behind another program's window, in which the user works.
  xmessage -title other-program "another program" >"$work/xmessage.log" 2>&1 &
  pids+=($!)
  other=""
  find_other() { other=$(xdotool search --onlyvisible --name '^other-program$' | head -n 1); [ -n "$other" ]; }
  wait_for 20 find_other || fail "the other program's window did not show"
  xdotool windowactivate --sync "$other"
  start_launcher clerk
  wait_for_end "$launcher" "$(date +%s%N)"
  [ "$status" -eq 0 ] || fail "the third start ended with status $status (killed at 10 s)"
  wait_for 20 is_active "$window" || fail "the launcher was not activated over another program"

  [ "$(main_window_count)" -eq 1 ] || fail "more than one main window: $(main_windows)"
  [ "$(report_count)" -eq 1 ] || fail "the server saw $(report_count) reports"
  kill -0 "$first" || fail "the first launcher ended"
  [ "$elapsed_ms" -lt 1000 ] || fail "the second start took ${elapsed_ms} ms"
  ;;

double-start)
  add_user clerk
  provision clerk
  start_launcher clerk
  one=$launcher
  start_launcher clerk
  other=$launcher
  wait_for 90 has_main_windows 1 || fail "neither start showed the login page"
  wait_for 10 sh -c "! kill -0 $one || ! kill -0 $other" || fail "both starts go on"
  [ "$(main_window_count)" -eq 1 ] || fail "more than one main window: $(main_windows)"
  [ "$(report_count)" -eq 1 ] || fail "the server saw $(report_count) reports"
  ;;

stale-socket)
  add_user clerk
  provision clerk
  start_launcher clerk
  wait_for 90 has_main_windows 1 || fail "the first launcher's window did not show the login page"
  kill -KILL "$launcher"
  wait_for 20 sh -c "! xdotool search --onlyvisible --name pid=" || fail "the killed launcher's window stayed"
  [ -S "$work/clerk/runtime/vantor.socket" ] || fail "the killed launcher left no socket to test with"
  start_launcher clerk
  wait_for 90 has_reports 2 || fail "the start after a crash sent no report"
  wait_for 90 has_main_windows 1 || fail "the start after a crash opened no main window"
  # The new launcher took the socket over: the next start hands over to it.
  start_launcher clerk
  wait_for_end "$launcher" "$(date +%s%N)"
  [ "$status" -eq 0 ] || fail "the start after that ended with status $status (killed at 10 s)"
  [ "$(report_count)" -eq 2 ] || fail "the start after that sent a report"
  ;;

two-users)
  add_user clerk
  add_user manager "$work/manager/data"
  provision clerk
  provision manager
  start_launcher clerk
  start_launcher manager
  wait_for 90 has_reports 2 || fail "the server saw $(report_count) reports, not one per user"
  wait_for 90 has_main_windows 2 || fail "not every user got a main window: $(main_window_count)"
  for user in clerk manager; do
    [ -f "$(working_folder $user)/qlx.ico" ] || fail "no machine-id file in $user's working folder"
  done
  ;;

*)
  fail "unknown mode $mode"
  ;;
esac

echo "PASS: $mode"
