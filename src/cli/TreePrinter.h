#pragma once

#include "plist/Value.h"

namespace snapwick::cli {

// A readable, indented rendering of a property-list tree, one value per line.
QString printTree(const plist::Value& root);
// A string in double quotes with control characters escaped, for one-line output.
QString quoted(const QString& s);

} // namespace snapwick::cli
