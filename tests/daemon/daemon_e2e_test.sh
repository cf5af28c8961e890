#!/usr/bin/env bash
# The real daemon on Xvfb and a private session bus: start, login item, the notification
# protocol, reload, a second start, quit.
set -euo pipefail
source "$(dirname "$0")/session.sh"

cat > "$settings" <<'PLIST'
{ "Expander Mode" = 1; "Status Item" = YES; Snippets = ( { Abbreviation = sig; "Plain Text" = Regards; } ); }
PLIST

start_watching
start_daemon
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

expect_expansion "Hi sig " "Hi Regards "

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
