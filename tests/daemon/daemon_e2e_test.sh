#!/usr/bin/env bash
# The real daemon on Xvfb and a private session bus: start, login item, the notification
# protocol, reload, a second start, quit.
set -euo pipefail
daemon=$1
snapwick=$2
window=$3
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ] || [ -z "${SNAPWICK_IN_SESSION:-}" ]; then
    export SNAPWICK_IN_SESSION=1
    exec dbus-run-session -- "$0" "$@"
fi
dir=$(mktemp -d)
cleanup() {
    kill "${watcher:-}" "${pid:-}" "${xvfb:-}" 2> /dev/null || true
    rm -rf "$dir"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; echo "--- daemon log" >&2; cat "$dir/daemon.log" >&2 || true; exit 1; }
wait_for() { # condition, seconds
    for _ in $(seq 1 $(( $2 * 20 ))); do eval "$1" && return 0; sleep 0.05; done
    return 1
}

exec 3> "$dir/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 +extension RECORD -nolisten tcp 2> /dev/null &
xvfb=$!
wait_for '[ -s "$dir/display" ]' 10 || fail "no Xvfb"
export DISPLAY=":$(cat "$dir/display")"
export XDG_CONFIG_HOME=$dir/config XDG_DATA_HOME=$dir/data HOME=$dir

mkdir -p "$XDG_DATA_HOME/Snapwick"
cat > "$XDG_DATA_HOME/Snapwick/Settings.snapwick" <<'PLIST'
{ "Expander Mode" = 1; "Status Item" = YES; Snippets = ( { Abbreviation = sig; "Plain Text" = Regards; } ); }
PLIST

"$snapwick" watch > "$dir/notes" &
watcher=$!
wait_for 'grep -q watching "$dir/notes"' 5 || fail "watch did not start"

"$daemon" > /dev/null 2> "$dir/daemon.log" &
pid=$!
wait_for 'grep -q "Snapwick: Update Pane$" "$dir/notes"' 10 || fail "no Update Pane at start"
grep -q 'Snapwick: Valetto?' "$dir/notes" || fail "no Valetto question"
entry=$XDG_CONFIG_HOME/autostart/snapwickdaemon.desktop
[ -f "$entry" ] || fail "no autostart entry"
grep -qx "Exec=$daemon" "$entry" || grep -q "Exec=.*snapwickdaemon" "$entry" || fail "autostart Exec: $(cat "$entry")"
grep -qx tick "$dir/daemon.log" || fail "no tick"
grep -q "no system tray yet" "$dir/daemon.log" || fail "status item not set up without a tray"

# A second start finds the first and leaves.
"$daemon" 2> /dev/null || true
[ "$(grep -c '^Exec=' "$entry")" = 1 ] || fail "entry written twice"
kill -0 "$pid" || fail "first daemon gone"

# It expands in a real window.
QT_QPA_PLATFORM=xcb "$window" "$dir/report.json" 2> /dev/null &
window_pid=$!
wait_for '[ -s "$dir/report.json" ]' 10 || fail "no test window"
xdotool search --sync --name SnapwickTestWindow windowfocus
sleep 0.3
xdotool type --delay 40 "Hi sig "
wait_for 'grep -q "\"text\":\"Hi Regards \"" "$dir/report.json"' 5 || fail "no expansion: $(cat "$dir/report.json")"
kill "$window_pid"

"$snapwick" notify ".Snapwick: Snapwick?"
wait_for 'grep -q "Snapwick: Snapwick!" "$dir/notes"' 5 || fail "no answer"
sleep 0.3
[ "$(grep -c 'Snapwick: Snapwick!' "$dir/notes")" = 1 ] || fail "answered more than once"

"$snapwick" notify ".Snapwick: Update Daemon"
wait_for '[ "$(grep -cx tick "$dir/daemon.log")" -ge 2 ]' 5 || fail "no reload on Update Daemon"

"$snapwick" notify ".Snapwick: Valetto!"
wait_for 'grep -q "Quiet Expansions" "$dir/daemon.log"' 5 || fail "no Valetto line"

"$snapwick" notify ".Snapwick: Quit Daemon"
wait_for '! kill -0 "$pid" 2> /dev/null' 10 || fail "did not quit"
[ ! -f "$entry" ] || fail "autostart entry left after a deliberate quit"
wait_for 'grep -q "Snapwick: Update Pane Soon" "$dir/notes"' 5 || fail "no Update Pane Soon"
grep -qx bye "$dir/daemon.log" || fail "no bye"
echo "daemon: ok"
