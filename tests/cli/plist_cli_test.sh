#!/usr/bin/env bash
# The plist commands of the command-line tool, end to end on real files.
set -euo pipefail
snapwick=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cat > "$dir/in.plist" <<'PLIST'
{ Snippets = ( { Abbreviation = addr; "Plain Text" = "1 Main St"; } ); Note = <0102>; }
PLIST
"$snapwick" plist convert --to binary "$dir/in.plist" "$dir/out.bplist"
head -c 8 "$dir/out.bplist" | grep -q bplist00 || fail "binary output"
"$snapwick" plist convert --to xml "$dir/out.bplist" "$dir/out.xml"
grep -q '<key>Abbreviation</key>' "$dir/out.xml" || fail "xml output"
"$snapwick" plist convert --to openstep "$dir/out.xml" "$dir/out.txt"
"$snapwick" plist show "$dir/out.txt" > "$dir/show.txt"
grep -q '"Abbreviation": string "addr"' "$dir/show.txt" || fail "show output: $(cat "$dir/show.txt")"
grep -q '"Note": data (2 bytes) 0102' "$dir/show.txt" || fail "show data"

printf '<plist><array><true/></array></plist>' > "$dir/bool.plist"
if "$snapwick" plist convert --to openstep "$dir/bool.plist" "$dir/bool.txt" 2> "$dir/err"; then
    fail "openstep accepted a boolean"
fi
grep -q 'boolean' "$dir/err" || fail "no clear message: $(cat "$dir/err")"
[ ! -e "$dir/bool.txt" ] || fail "output written despite the refusal"

printf 'garbage <' > "$dir/bad"
if "$snapwick" plist show "$dir/bad" 2> /dev/null; then fail "garbage accepted"; fi
XDG_DATA_HOME=/tmp/xdg-test "$snapwick" settings path | grep -qx '/tmp/xdg-test/Snapwick/Settings.snapwick' \
    || fail "settings path"
echo "cli plist: ok"
