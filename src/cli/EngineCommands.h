#pragma once

#include <QStringList>

namespace snapwick::cli {

// check [SETTINGS]: one line per snippet that is not valid, INDEX<TAB>TEXT.
int checkCommand(const QStringList& args);
// expand TEXT [--date ISO8601] [--locale NAME] [--case 0-3] [--clipboard TEXT]
int expandCommand(const QStringList& args);

} // namespace snapwick::cli
