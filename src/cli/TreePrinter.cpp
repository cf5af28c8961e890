#include "TreePrinter.h"

#include "plist/Array.h"
#include "plist/Dictionary.h"
#include "plist/IsoDate.h"
#include "plist/XmlFormat.h"

namespace snapwick::cli {

namespace {

constexpr qsizetype kDataPreviewBytes = 16;

QString counted(qsizetype n, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

QString scalar(const plist::Value& v)
{
    using T = plist::Value::Type;
    switch (v.type()) {
    case T::String:
        return QStringLiteral("string ") + quoted(*v.stringPtr());
    case T::Data: {
        const QByteArray& d = *v.dataPtr();
        QString s = QStringLiteral("data (%1)").arg(counted(d.size(), "byte", "bytes"));
        if (!d.isEmpty())
            s += u' ' + QString::fromLatin1(d.left(kDataPreviewBytes).toHex()) +
                 (d.size() > kDataPreviewBytes ? QStringLiteral("...") : QString());
        return s;
    }
    case T::Integer: {
        const plist::Integer i = v.integer();
        return QStringLiteral("integer ") +
               (i.isUnsigned ? QString::number(i.unsignedValue()) : QString::number(i.bits));
    }
    case T::Real:
        return QStringLiteral("real ") + QString::fromLatin1(plist::formatReal(v.real()));
    case T::Boolean:
        return QStringLiteral("boolean ") +
               (v.boolean() ? QStringLiteral("true") : QStringLiteral("false"));
    case T::Date:
        return QStringLiteral("date ") + QString::fromLatin1(plist::isoStringFromDate(v.date()));
    case T::Uid:
        return QStringLiteral("uid %1").arg(v.uid().value);
    default:
        return QStringLiteral("none");
    }
}

void print(const plist::Value& v, const QString& label, int depth, QString& out)
{
    out += QString(depth * 2, u' ') + label;
    if (const plist::Dictionary* d = v.dictionary()) {
        out += QStringLiteral("dictionary (%1)\n").arg(counted(d->size(), "entry", "entries"));
        for (const plist::Dictionary::Entry& e : *d)
            print(e.value, quoted(e.key) + QStringLiteral(": "), depth + 1, out);
    } else if (const plist::Array* a = v.array()) {
        out += QStringLiteral("array (%1)\n").arg(counted(a->size(), "element", "elements"));
        for (qsizetype i = 0; i < a->size(); ++i)
            print(a->at(i), QStringLiteral("[%1]: ").arg(i), depth + 1, out);
    } else {
        out += scalar(v) + u'\n';
    }
}

} // namespace

QString quoted(const QString& s)
{
    QString out = QStringLiteral("\"");
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c.isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate())
            out += c + QString(s.at(++i));
        else if (c == u'"' || c == u'\\')
            out += u'\\' + QString(c);
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\r')
            out += QStringLiteral("\\r");
        else if (c == u'\t')
            out += QStringLiteral("\\t");
        else if (c.unicode() < 0x20 || c.unicode() == 0x7F || c.isSurrogate())
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out + u'"';
}

QString printTree(const plist::Value& root)
{
    QString out;
    print(root, QString(), 0, out);
    return out;
}

} // namespace snapwick::cli
