#!/usr/bin/env bash
# snapwick check and snapwick expand, end to end.
set -euo pipefail
snapwick=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cat > "$dir/settings.plist" <<'PLIST'
{
  "Expander Mode" = 0;
  Snippets = (
    { Abbreviation = ab; "Plain Text" = x; },
    { Abbreviation = abc; "Plain Text" = y; },
    { Abbreviation = ""; "Plain Text" = z; },
    { Abbreviation = "a b"; "Plain Text" = z; },
    { Abbreviation = sig; "Plain Text" = "Regards"; }
  );
}
PLIST
"$snapwick" check "$dir/settings.plist" > "$dir/out"
cat > "$dir/expected" <<'OUT'
0	Error: The abbreviations "ab" and "abc" interfere with each other!
1	Error: The abbreviations "abc" and "ab" interfere with each other!
2	(empty abbreviation)
3	Error: Abbreviations must not contain white-space characters!
OUT
diff -u "$dir/expected" "$dir/out" || fail "check output"
if "$snapwick" check "$dir/missing" > "$dir/out" 2> /dev/null; then fail "missing file accepted"; fi
[ ! -s "$dir/out" ] || fail "output for a missing file"

out=$("$snapwick" expand 'On %A, %1d. %B %Y at %H:%M%| (%%) 50%' --date 2026-12-11T09:05:00 --locale en_US)
[ "$out" = "$(printf 'On Friday, 11. December 2026 at 09:05 (%%) 50%%\n37')" ] || fail "expand: $out"
out=$("$snapwick" expand '%B' --date 2026-12-11T09:05:00 --locale de_DE --case 1)
[ "$out" = "$(printf 'DEZEMBER\n-1')" ] || fail "expand german upper: $out"
out=$("$snapwick" expand '[%clipboard]' --clipboard 'c%Y')
[ "$out" = "$(printf '[c%%Y]\n-1')" ] || fail "expand clipboard: $out"
if "$snapwick" expand x --case 9 2> /dev/null; then fail "bad case accepted"; fi
echo "cli engine: ok"
