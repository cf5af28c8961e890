#include "Array.h"
#include "Dictionary.h"
#include "OpenStepFormat.h"

#include <algorithm>

namespace plist {

namespace {

bool needsQuotes(const QString& s)
{
    return s.isEmpty() || std::any_of(s.begin(), s.end(), [](QChar c) {
               const char16_t u = c.unicode();
               return !((u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') ||
                        (u >= u'0' && u <= u'9') || u == u'_' || u == u'$' || u == u'/' ||
                        u == u':' || u == u'.' || u == u'-');
           });
}

class OpenStepEmitter
{
public:
    WriteResult write(const Value& root)
    {
        value(root, 0, QStringLiteral("(root)"));
        m_out.append(u'\n');
        WriteResult result;
        result.error = m_error;
        if (result.ok())
            result.bytes = m_out.toUtf8();
        return result;
    }

private:
    void fail(const QString& message)
    {
        if (m_error.isEmpty())
            m_error = message;
    }

    void indent(int depth) { m_out.append(QString(depth * 4, u' ')); }

    void value(const Value& v, int depth, const QString& path)
    {
        if (!m_error.isEmpty())
            return;
        if (depth > kMaxDepth)
            return fail(QStringLiteral("nesting deeper than %1 levels").arg(kMaxDepth));
        switch (v.type()) {
        case Value::Type::Dictionary:
            return dictionary(*v.dictionary(), depth, path);
        case Value::Type::Array:
            return array(*v.array(), depth, path);
        case Value::Type::String:
            return string(*v.stringPtr());
        case Value::Type::Data:
            return data(*v.dataPtr());
        default:
            return fail(QStringLiteral("old-style property lists hold only strings, data, arrays "
                                       "and dictionaries; %1 is a %2")
                            .arg(path, QLatin1String(Value::typeName(v.type()))));
        }
    }

    void dictionary(const Dictionary& dict, int depth, const QString& path)
    {
        if (dict.isEmpty()) {
            m_out.append(u"{}");
            return;
        }
        m_out.append(u"{\n");
        for (const Dictionary::Entry& e : dict) {
            indent(depth + 1);
            string(e.key);
            m_out.append(u" = ");
            value(e.value, depth + 1, path + u'/' + e.key);
            m_out.append(u";\n");
        }
        indent(depth);
        m_out.append(u'}');
    }

    void array(const Array& array, int depth, const QString& path)
    {
        if (array.isEmpty()) {
            m_out.append(u"()");
            return;
        }
        m_out.append(u"(\n");
        for (qsizetype i = 0; i < array.size(); ++i) {
            indent(depth + 1);
            value(array.at(i), depth + 1, path + u'/' + QString::number(i));
            m_out.append(i + 1 < array.size() ? u",\n" : u"\n");
        }
        indent(depth);
        m_out.append(u')');
    }

    void string(const QString& s)
    {
        if (!needsQuotes(s)) {
            m_out.append(s);
            return;
        }
        m_out.append(u'"');
        for (qsizetype i = 0; i < s.size(); ++i) {
            const char16_t c = s.at(i).unicode();
            const bool pairedHigh =
                QChar::isHighSurrogate(c) && i + 1 < s.size() && s.at(i + 1).isLowSurrogate();
            if (pairedHigh) {
                m_out.append(s.at(i)).append(s.at(i + 1));
                ++i;
            } else if (c == u'"' || c == u'\\') {
                m_out.append(u'\\').append(QChar(c));
            } else if (c == u'\n') {
                m_out.append(u"\\n");
            } else if (c == u'\t') {
                m_out.append(u"\\t");
            } else if (c < 0x20 || c == 0x7F || QChar::isSurrogate(c)) {
                m_out.append(QStringLiteral("\\U%1").arg(unsigned(c), 4, 16, QLatin1Char('0')));
            } else {
                m_out.append(QChar(c));
            }
        }
        m_out.append(u'"');
    }

    void data(const QByteArray& bytes)
    {
        m_out.append(u'<');
        const QByteArray hex = bytes.toHex();
        for (qsizetype i = 0; i < hex.size(); i += 8) {
            if (i > 0)
                m_out.append(u' ');
            m_out.append(QLatin1String(hex.mid(i, 8)));
        }
        m_out.append(u'>');
    }

    QString m_out;
    QString m_error;
};

} // namespace

WriteResult writeOpenStep(const Value& root)
{
    return OpenStepEmitter().write(root);
}

} // namespace plist
