#!/usr/bin/env bash
# The archive commands of the command-line tool, end to end.
set -euo pipefail
snapwick=$1
fixtures=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$snapwick" archive encode-text 'Grüße "quoted"' "$dir/text.archive"
"$snapwick" archive decode "$dir/text.archive" > "$dir/out.json"
grep -q '"class":"NSMutableAttributedString"' "$dir/out.json" || fail "class: $(cat "$dir/out.json")"
grep -q '"text":"Grüße \\"quoted\\""' "$dir/out.json" || fail "text: $(cat "$dir/out.json")"
grep -q '"runs":\[{"attributes":{"NSColor":{' "$dir/out.json" || fail "runs: $(cat "$dir/out.json")"
grep -q '"NSFont":{"font":"Helvetica","size":13}' "$dir/out.json" || fail "font: $(cat "$dir/out.json")"

printf 'garbage' > "$dir/bad"
if "$snapwick" archive decode "$dir/bad" > "$dir/stdout" 2> "$dir/err"; then fail "garbage decoded"; fi
[ ! -s "$dir/stdout" ] || fail "output on failure"
grep -q 'not a typed-stream archive' "$dir/err" || fail "message: $(cat "$dir/err")"

if [ -d "$fixtures/typedstream" ]; then
    "$snapwick" archive decode "$fixtures/typedstream/uetchy/NSDictionary" | grep -qx '{"class":"NSDictionary","value":{"key":123}}' \
        || fail "fixture dictionary"
    "$snapwick" archive decode "$fixtures/typedstream/crabstep/AttributedBodyTextOnly" \
        | grep -q '"runs":\[{"attributes":{"__kIMMessagePartAttributeName":0},"length":10,"location":0}\],"text":"Noter test"' \
        || fail "fixture attributed string"
    if "$snapwick" archive decode "$fixtures/typedstream/crabstep/ExtraData" 2> /dev/null; then fail "truncated accepted"; fi
fi
echo "cli archive: ok"
