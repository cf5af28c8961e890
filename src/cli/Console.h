#pragma once

#include <QStringList>

namespace snapwick::cli {

void printOut(const QString& text);
void printOutBytes(const QByteArray& bytes);
// Writes "snapwick: message" to standard error; returns the exit status for failures.
int fail(const QString& message);
int usage(const QString& synopsis);

bool readWholeFile(const QString& path, QByteArray* bytes, QString* error);

} // namespace snapwick::cli
