#!/usr/bin/env bash
# The tray icon with the real daemon and a real XEmbed tray: it docks; the click that opens
# the menu chooses nothing even though it ends on the first entry; clicking an entry pastes
# its snippet where the user types; turning "Status Item" off takes the icon away.
set -euo pipefail
tray_host=$4
source "$(dirname "$0")/session.sh"

cat > "$settings" <<'PLIST'
{ "Status Item" = YES; Snippets = ( { Abbreviation = sig; "Plain Text" = Regards; } ); }
PLIST

"$tray_host" > "$dir/tray" &
tray_pid=$!
wait_for 'grep -q "^tray" "$dir/tray"' 5 || fail "no tray host"
start_daemon
wait_for 'grep -q "^docked" "$dir/tray"' 10 || fail "the tray icon did not dock"
! grep -q "no system tray yet" "$dir/daemon.log" || fail "tray present but not found"

QT_QPA_PLATFORM=xcb "$window" "$dir/report.json" 2> /dev/null &
window_pid=$!
wait_for '[ -s "$dir/report.json" ]' 10 || fail "no test window"
xdotool windowfocus --sync "$(xdotool search --sync --name SnapwickTestWindow | head -1)"

# The menu is a window of its own at the root, as wide as its item pictures.
menu() {
    xwininfo -root -children | awk '/"snapwickdaemon"/ {
        split($(NF - 1), g, /[x+]/); if (g[1] >= 220) print $1 }' | tail -1
}
icon=$(awk '/^docked/ { print $2; exit }' "$dir/tray")
xdotool mousemove --window "$icon" 12 12 click 3
wait_for '[ -n "$(menu)" ]' 5 || fail "no menu"
sleep 0.5
[ -n "$(menu)" ] || fail "the menu closed by itself"
grep -q '"text":""' "$dir/report.json" || fail "opening the menu pasted: $(cat "$dir/report.json")"
xdotool mousemove --window "$(menu)" 60 14 click 1
wait_for 'grep -q "\"text\":\"Regards\"" "$dir/report.json"' 5 ||
    fail "choosing the menu entry gave: $(cat "$dir/report.json")"

cat > "$settings" <<'PLIST'
{ "Status Item" = NO; Snippets = ( { Abbreviation = sig; "Plain Text" = Regards; } ); }
PLIST
"$snapwick" notify ".Snapwick: Update Daemon"
wait_for '[ "$(grep -cx tick "$dir/daemon.log")" -ge 2 ]' 5 || fail "no reload"
wait_for '! xwininfo -id "$icon" > /dev/null 2>&1 || xwininfo -id "$icon" | grep -q IsUnMapped' 5 ||
    fail "the icon stayed after Status Item was turned off"
echo "tray: ok"
