#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace snapwick {

// The resource fork of a file on a file system without forks, looked for in order: the
// file's own named fork where the file system offers one; an AppleDouble "._NAME" beside
// it; one in a "__MACOSX" folder as zip tools leave it; the file itself when it is an
// AppleSingle or AppleDouble container or a bare resource file.
std::optional<QByteArray> locateResourceFork(const QString& path);

} // namespace snapwick
