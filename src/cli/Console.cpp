#include "Console.h"

#include <QFile>
#include <cstdio>

namespace snapwick::cli {

void printOutBytes(const QByteArray& bytes)
{
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
}

void printOut(const QString& text)
{
    printOutBytes(text.toUtf8());
}

int fail(const QString& message)
{
    std::fprintf(stderr, "snapwick: %s\n", message.toUtf8().constData());
    return 1;
}

int usage(const QString& synopsis)
{
    std::fprintf(stderr, "usage: snapwick %s\n", synopsis.toUtf8().constData());
    return 2;
}

bool readWholeFile(const QString& path, QByteArray* bytes, QString* error)
{
    QFile file(path);
    const bool opened =
        path == u"-" ? file.open(stdin, QIODevice::ReadOnly) : file.open(QIODevice::ReadOnly);
    if (!opened) {
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    *bytes = file.readAll();
    return true;
}

} // namespace snapwick::cli
