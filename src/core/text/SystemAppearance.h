#pragma once

#include "TextAttributes.h"

namespace text {

// The system font and control text colour that new replacement text takes. The programs
// with a user interface set them from Qt's application font and palette before first
// use; without that (the command-line tool, tests) they are Helvetica and black.
void setSystemAppearance(const QString& fontFamily, const Color& controlTextColor);
Font systemFont(double pointSize);
Color controlTextColor();

} // namespace text
