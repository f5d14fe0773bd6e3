#!/usr/bin/env bash
# Starts the built launcher as an office PC would, in a network namespace of
# its own: a site server on 127.0.0.1:80 answering the directory lookup and the
# device report, a virtual display, and a user at the keyboard.
#
#   launcher_e2e.sh first-start|first-start-cancel|first-start-slow-site|provisioned VANTOR SITE_SERVER
#
# first-start: an empty office folder; the site-code dialog must appear, the
#   typed code is looked up, the configuration file is written with the served
#   host, the report reaches the server and the login page's title becomes the
#   caption.
# first-start-cancel: the dialog is dismissed with Esc; the lookup still runs,
#   with an empty code, and the start goes on.
# first-start-slow-site: as first-start, with a site server that answers the
#   lookup and the report only 6 s after they arrive: a "正在查询站点" window
#   takes the dialog's place and the file is written once the answer is in;
#   the main window is up before the report is answered.
# provisioned: a configuration file is there already; no dialog, the report is
#   sent and the login page opens with the three query fields. QT_LOGGING_RULES
#   asks for the engine's set-up report, which other starts leave out.
set -euo pipefail

mode=$1
vantor=$2
site_server=$3

# shellcheck source=e2e_session.sh source-path=SCRIPTDIR
source "$(dirname "$0")/e2e_session.sh"
enter_own_network "$@"
begin_session

export HOME="$work/home" XDG_CACHE_HOME="$work/cache" XDG_CONFIG_HOME="$work/config"
export XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY no_proxy NO_PROXY

hold=0
[ "$mode" = first-start-slow-site ] && hold=6
start_site_server "$site_server" --hold-posts "$hold"
start_display

office="$work/office"
mkdir -p "$office"
cd "$office"
if [ "$mode" = provisioned ]; then
  printf '[QLXBSINFO]\r\nHttpServer=127.0.0.1\r\nPort=80\r\nPath=/Account/LogOn\r\nPara=--disable-plugins\r\nBrowserPath=' >QLX32-bs.ini
  # The engine's description of its set-up is asked for on this start only.
  export QT_LOGGING_RULES=qt.webenginecontext.info=true
fi
"$vantor" >"$work/vantor.log" 2>&1 &
vantor_pid=$!
pids+=("$vantor_pid")

if [ "$mode" != provisioned ]; then
  code="  office-7 "
  dialog=""
  find_dialog() { dialog=$(xdotool search --onlyvisible --name '^栖澜$' | head -n 1); [ -n "$dialog" ]; }
  wait_for 60 find_dialog || fail "the site-code dialog did not appear"
  find_dialog
  # No window manager: the keyboard follows the pointer, so click into the edit box.
  eval "$(xdotool getwindowgeometry --shell "$dialog")"
  xdotool mousemove --window "$dialog" $((WIDTH / 2)) $((HEIGHT * 90 / 182)) click 1
  sleep 0.5
  xdotool type --delay 50 "$code"
  if [ "$mode" = first-start-cancel ]; then
    xdotool key Escape
    code=""
  else
    xdotool key Return
  fi
  if [ "$mode" = first-start-slow-site ]; then
    lookup_window() { [ -n "$(xdotool search --onlyvisible --name '^正在查询站点$')" ]; }
    wait_for 5 lookup_window || fail "no lookup window took the dialog's place"
    [ ! -e QLX32-bs.ini ] || fail "the configuration file was written before the directory answered"
  fi
  wait_for 60 test -f QLX32-bs.ini || fail "no configuration file was written"
  expected=$(printf '[QLXBSINFO]\r\nHttpServer=127.0.0.1\r\nPort=80\r\nPath=/Account/LogOn\r\nPara=--disable-plugins\r\nBrowserPath=' | od -An -tx1)
  [ "$(od -An -tx1 QLX32-bs.ini)" = "$expected" ] || fail "unexpected configuration file: $(cat -A QLX32-bs.ini)"
  [ ! -e key.json ] || fail "key.json was left behind"
  if [ "$mode" = first-start-slow-site ]; then
    lookup_window_gone() { ! lookup_window; }
    wait_for 10 lookup_window_gone || fail "the lookup window stayed after the answer"
    main_window() { [ -n "$(xdotool search --onlyvisible --name '^栖澜浏览器$')" ]; }
    wait_for 5 main_window || fail "no main window while the report waits for its answer"
    [ "$(curl -s --noproxy '*' http://127.0.0.1/reports | tr -d ' \n')" = "[]" ] \
      || fail "the main window came only after the report was answered"
  fi
  curl -s --noproxy '*' http://127.0.0.1/lookups | grep -qF "\"$code\"" \
    || fail "the code did not reach the directory as typed: $(curl -s --noproxy '*' http://127.0.0.1/lookups)"
fi

reports() { curl -s --noproxy '*' http://127.0.0.1/reports; }
has_report() { reports | grep -q '"pid"'; }
wait_for 60 has_report || fail "no device report reached the site server"
pid_value=$(reports | sed -n 's/.*"pid" *: *"\([0-9A-F]*\)".*/\1/p' | head -n 1)
[ ${#pid_value} -eq 32 ] || fail "the report carries no pid: $(reports)"

caption=""
login_caption() {
  local window
  for window in $(xdotool search --onlyvisible --name 'pid='"$pid_value" 2>/dev/null); do
    caption=$(xdotool getwindowname "$window")
    return 0
  done
  return 1
}
wait_for 90 login_caption || fail "the main window's caption never became the login page's title"
case "$caption" in
  *"cpu="*) ;;
  *) fail "caption without the query fields: $caption" ;;
esac
[ -e qlx.ico ] || fail "no machine-id file in the office folder"

if [ "$mode" = provisioned ]; then
  [ -z "$(xdotool search --name '^栖澜$' 2>/dev/null)" ] || fail "the site-code dialog appeared on a provisioned PC"
  [ "$(curl -s --noproxy '*' http://127.0.0.1/lookups | tr -d ' \n')" = "[]" ] || fail "a lookup was made on a provisioned PC"
  grep -q '^qt.webenginecontext:' "$work/vantor.log" \
    || fail "QT_LOGGING_RULES did not bring back the engine's set-up report"
else
  ! grep -q 'qt.webenginecontext' "$work/vantor.log" || fail "the engine's set-up report was logged unasked"
fi

kill -TERM "$vantor_pid"
echo "PASS: $mode: caption '$caption'"
