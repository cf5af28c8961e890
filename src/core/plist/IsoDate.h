#pragma once

#include "Value.h"

#include <optional>

namespace plist {

// "2004-10-26T10:33:33Z", whole seconds in UTC as the platform writes dates.
QByteArray isoStringFromDate(Date date);
// Accepts the written form and its shortened forms ("2004-10-26", "2004-10-26T10:33Z").
std::optional<Date> dateFromIsoString(QStringView text);

} // namespace plist
