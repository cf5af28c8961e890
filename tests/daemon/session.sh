# Sourced by the daemon's end-to-end tests: a private session bus, Xvfb, a scratch home,
# and helpers to start the daemon and type into a real window.
# Arguments of the sourcing script: daemon, snapwick tool, test window.
daemon=$1
snapwick=$2
window=$3
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ] || [ -z "${SNAPWICK_IN_SESSION:-}" ]; then
    export SNAPWICK_IN_SESSION=1
    exec dbus-run-session -- "$0" "$@"
fi
dir=$(mktemp -d)
cleanup() {
    kill "${watcher:-}" "${pid:-}" "${window_pid:-}" "${tray_pid:-}" "${xvfb:-}" 2> /dev/null || true
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
settings=$XDG_DATA_HOME/Snapwick/Settings.snapwick
mkdir -p "$(dirname "$settings")"

start_watching() {
    "$snapwick" watch > "$dir/notes" &
    watcher=$!
    wait_for 'grep -q watching "$dir/notes"' 5 || fail "watch did not start"
}

start_daemon() {
    "$daemon" > /dev/null 2> "$dir/daemon.log" &
    pid=$!
    wait_for 'grep -qx tick "$dir/daemon.log"' 10 || fail "daemon did not load its settings"
}

# Types into a fresh test window and waits for the window to hold the expected text.
expect_expansion() { # typed, expected
    rm -f "$dir/report.json"
    QT_QPA_PLATFORM=xcb "$window" "$dir/report.json" 2> /dev/null &
    window_pid=$!
    wait_for '[ -s "$dir/report.json" ]' 10 || fail "no test window"
    xdotool search --sync --name SnapwickTestWindow windowfocus
    sleep 0.3
    xdotool type --delay 40 "$1"
    wait_for "grep -q '\"text\":\"$2\"' \"\$dir/report.json\"" 5 ||
        fail "typing '$1' gave: $(cat "$dir/report.json")"
    kill "$window_pid"
    wait "$window_pid" 2> /dev/null || true
}
