#pragma once

#include "archive/ArchivedObject.h"

#include <QJsonObject>

namespace snapwick::cli {

// The decoded root of an archive as one JSON object: attributed strings with their text
// and runs, other objects as {"class": ..., "value": ...}; an archive of several
// top-level values gives them all, in order, with a null class.
QJsonObject archiveToJson(const std::vector<archive::ArchivedGroup>& groups);

} // namespace snapwick::cli
