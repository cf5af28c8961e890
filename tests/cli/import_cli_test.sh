#!/usr/bin/env bash
# snapwick import and snapwick export, end to end.
set -euo pipefail
snapwick=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cat > "$dir/set.plist" <<'PLIST'
{ Abbreviations = (
    { Abbreviation = " today "; Expansion = "It is {WW}, {D}. {NN}"; Case = apply; },
    { Abbreviation = sig; Expansion = "Regards\nMe"; }
); }
PLIST
"$snapwick" import "$dir/set.plist" --mode 1 > "$dir/out"
printf 'today\t2\tplain\tIt is %%A, %%1d. %%B\nsig\t1\tplain\tRegards Me\n' > "$dir/expected"
diff -u "$dir/expected" "$dir/out" || fail "import listing"

cat > "$dir/settings.snapwick" <<'PLIST'
{ "Expander Mode" = 1; Snippets = ( { Abbreviation = first; "Plain Text" = one; }, { Abbreviation = last; "Plain Text" = two; } ); }
PLIST
"$snapwick" import "$dir/set.plist" --into "$dir/settings.snapwick" --at 1 > /dev/null
head -c 5 "$dir/settings.snapwick" | grep -q '<?xml' || fail "not written as XML"
"$snapwick" plist show "$dir/settings.snapwick" | grep '"Abbreviation"' | sed 's/.*string //' | tr '\n' ' ' > "$dir/order"
[ "$(cat "$dir/order")" = '"first" "today" "sig" "last" ' ] || fail "order: $(cat "$dir/order")"
grep -q '"Expander Mode": string "1"' <("$snapwick" plist show "$dir/settings.snapwick") || fail "settings lost"

# A failed import leaves the settings file as it was.
cp "$dir/settings.snapwick" "$dir/before"
printf 'garbage' > "$dir/bad.plist"
if "$snapwick" import "$dir/bad.plist" --into "$dir/settings.snapwick" 2> "$dir/err"; then fail "bad import succeeded"; fi
cmp -s "$dir/before" "$dir/settings.snapwick" || fail "settings changed by a failed import"
printf 'not a plist' > "$dir/corrupt.snapwick"
if "$snapwick" import "$dir/set.plist" --into "$dir/corrupt.snapwick" 2> /dev/null; then fail "corrupt target replaced"; fi
[ "$(cat "$dir/corrupt.snapwick")" = 'not a plist' ] || fail "corrupt target changed"

# An export imports back to the same snippets.
"$snapwick" export "$dir/settings.snapwick" "$dir/export.plist"
"$snapwick" import "$dir/export.plist" > "$dir/again"
[ "$(wc -l < "$dir/again")" = 4 ] || fail "export round trip: $(cat "$dir/again")"
"$snapwick" import "$dir/settings.snapwick" > "$dir/direct"
diff -u "$dir/direct" "$dir/again" || fail "export differs"
echo "cli import: ok"
