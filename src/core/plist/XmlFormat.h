#pragma once

#include "PropertyList.h"

namespace plist {

ReadResult readXml(const QByteArray& bytes);
// Writes the platform's XML layout. Fails (with a message) on values XML cannot carry
// without change, such as control characters or unpaired surrogates in strings.
WriteResult writeXml(const Value& root);

// The platform's text for a real number: the shortest of 15 or 17 significant digits that
// reads back exactly, or "nan", "+infinity", "-infinity". Independent of the C locale.
QByteArray formatReal(double value);
std::optional<double> parseReal(QStringView text);
std::optional<Integer> parseInteger(QStringView text);

} // namespace plist
