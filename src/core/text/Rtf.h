#pragma once

#include "AttributedString.h"

namespace text {

// RTF for the clipboard: font and colour tables, bold and italic, paragraphs with their
// alignment, indents and tabs, \uN for everything outside ASCII, pictures as PNG \pict.
QByteArray rtfFromAttributedString(const AttributedString& s);

// Reads the RTF that common applications put on the clipboard (LibreOffice, AbiWord,
// the platform's own). Hostile input gives an empty or partial text, never a crash;
// nesting and sizes are bounded by the input.
AttributedString attributedStringFromRtf(const QByteArray& rtf);

} // namespace text
