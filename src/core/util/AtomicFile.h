#pragma once

#include <QByteArray>
#include <QString>

namespace snapwick {

// Replaces the file at path with bytes so that a reader sees the old or the new
// contents, never a mixture: a temporary file in the same directory, flushed to disk,
// renamed over the old one. A symbolic link at path is followed, so dotfile links stay.
// The old file's permissions are kept; a new file gets the usual ones (0666 less umask).
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);

} // namespace snapwick
