#pragma once

#include "model/SettingsChangeNotifier.h"

#include <QStringList>

namespace snapwick::cli {

// import FILE... [--into SETTINGS] [--at INDEX] [--mode 0|1|2]
int importCommand(const QStringList& args, SettingsChangeNotifier& notifier);
// export [SETTINGS] OUT
int exportCommand(const QStringList& args);

} // namespace snapwick::cli
