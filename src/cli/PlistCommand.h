#pragma once

#include <QStringList>

namespace snapwick::cli {

// plist convert --to xml|binary|openstep IN OUT; plist show FILE
int plistCommand(const QStringList& args);

} // namespace snapwick::cli
