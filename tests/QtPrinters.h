#pragma once

#include <QString>
#include <QStringList>
#include <ostream>

// Readable failure messages for Qt strings.
inline void PrintTo(const QString& s, std::ostream* os)
{
    QString shown = s;
    shown.replace(u'\n', QStringLiteral("\\n")).replace(QChar(0x2028), QStringLiteral("\\u2028"));
    *os << '"' << shown.toStdString() << '"';
}
inline void PrintTo(const QStringList& l, std::ostream* os)
{
    *os << '[' << l.join(u", ").toStdString() << ']';
}
