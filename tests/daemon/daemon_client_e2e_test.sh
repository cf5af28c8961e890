#!/usr/bin/env bash
# Client mode with the real daemon: the shared snippet file is missing at start, appears
# later, and the half-minute retry picks it up; a hostile shared file never stops it.
set -euo pipefail
source "$(dirname "$0")/session.sh"

shared=$dir/shared/Team.snapwick
cat > "$settings" <<PLIST
{ "Expander Mode" = 1; "Client Mode" = YES; "Snippets Path" = "$shared";
  Snippets = ( { Abbreviation = own; "Plain Text" = Mine; } ); }
PLIST

start_watching
start_daemon
[ "$(grep -c 'could not update remote snippets' "$dir/daemon.log")" = 1 ] ||
    fail "expected one 'could not update' line"
expect_expansion "own " "Mine "

mkdir -p "$(dirname "$shared")"
cat > "$shared" <<'PLIST'
{ Snippets = ( { Abbreviation = team; "Plain Text" = Together; } ); }
PLIST
wait_for 'grep -q "updated remote snippets" "$dir/daemon.log"' 40 || fail "the retry did not pick up the shared file"
wait_for 'grep -q "Snapwick: Update Remote Snippets" "$dir/notes"' 5 || fail "no Update Remote Snippets"
expect_expansion "team " "Together "
expect_expansion "own " "Mine "

# A hostile shared file: the cached remote snippets keep working.
head -c 4096 /dev/urandom > "$shared"
"$snapwick" notify ".Snapwick: Update Daemon"
wait_for '[ "$(grep -cx tick "$dir/daemon.log")" -ge 3 ]' 5 || fail "no reload"
kill -0 "$pid" || fail "daemon stopped on a hostile shared file"
expect_expansion "team " "Together "
echo "client mode: ok"
