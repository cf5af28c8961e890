#pragma once

#include <QStringList>

namespace snapwick::cli {

// archive decode FILE; archive encode-text TEXT OUT
int archiveCommand(const QStringList& args);

} // namespace snapwick::cli
