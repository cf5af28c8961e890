#pragma once

#include <QStringList>

namespace snapwick::cli {

// settings path
int settingsCommand(const QStringList& args);

} // namespace snapwick::cli
