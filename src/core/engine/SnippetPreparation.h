#pragma once

#include "plist/Array.h"

namespace snapwick {

// The load-time preparation of the daemon's snippet list: NULs cleared, the end codes
// ("%-", "%+", cursor codes) turned into marks, then "Valid" and "$" for every snippet.
// Validity is judged once every text is prepared, so two copies of one snippet are judged
// alike whatever codes their texts ended in.
void prepareSnippets(plist::Array& snippets, int expanderMode, bool canSelectWords);

// Steps 1 to 4 for one record: zero characters, end codes, cursor codes.
void prepareSnippetText(plist::Dictionary& record, int expanderMode);

} // namespace snapwick

// Shortens the record's plain text, and its formatted text when it has one, by their last
// two characters (a two-character code the caller has found there).
void JVSXRemoveLastTwoCharacters(plist::Dictionary& record);
