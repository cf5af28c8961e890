#pragma once

#include "PropertyList.h"

namespace plist {

// Old-style (OpenStep) text, and the strings-file form: "key" = "value"; pairs without
// braces.
ReadResult readOpenStep(const QByteArray& bytes);
// Old-style text holds only strings, data, arrays and dictionaries; anything else is
// refused with the key path that holds it.
WriteResult writeOpenStep(const Value& root);

} // namespace plist
