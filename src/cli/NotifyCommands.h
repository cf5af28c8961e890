#pragma once

#include <QStringList>

namespace snapwick::cli {

// notify NAME: posts the notification (a name without the vendor prefix gets it).
int notifyCommand(const QStringList& args);
// watch: prints the name of every notification, one a line, until interrupted.
int watchCommand(const QStringList& args);

} // namespace snapwick::cli
