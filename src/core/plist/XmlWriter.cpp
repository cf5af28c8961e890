#include "Array.h"
#include "Dictionary.h"
#include "IsoDate.h"
#include "XmlFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <memory>

namespace plist {

namespace {

constexpr char kHeader[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                           "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                           "<plist version=\"1.0\">\n";
constexpr char kFooter[] = "</plist>\n";

// Characters XML 1.0 cannot carry, even as references. A carriage return can be carried
// only as a reference: raw, a reader turns it into a line feed.
bool isXmlForbidden(char16_t c)
{
    return (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') || c == 0xFFFE || c == 0xFFFF;
}

// A growable byte buffer whose appends are plain copies; QByteArray's go through insert().
class ByteBuffer
{
public:
    void append(const char* p, std::size_t n) { std::memcpy(room(n), p, n), m_size += n; }
    void append(const QByteArray& b) { append(b.constData(), std::size_t(b.size())); }
    void append(char c) { *room(1) = c, ++m_size; }
    // Space for n more bytes; finish with commit() at the end of what was written.
    char* room(std::size_t n)
    {
        if (m_size + n > m_capacity) {
            m_capacity = std::max(m_size + n, m_capacity * 2 + 4096);
            std::unique_ptr<char[]> grown(new char[m_capacity]); // uninitialised: no memset
            if (m_size > 0)
                std::memcpy(grown.get(), m_data.get(), m_size);
            m_data = std::move(grown);
        }
        return m_data.get() + m_size;
    }
    void commit(const char* end) { m_size = std::size_t(end - m_data.get()); }
    std::size_t size() const { return m_size; }
    void truncate(std::size_t size) { m_size = size; }
    QByteArray toByteArray() const { return QByteArray(m_data.get(), qsizetype(m_size)); }

private:
    std::unique_ptr<char[]> m_data;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
};

class XmlEmitter
{
public:
    QByteArray take() { return m_out.toByteArray(); }
    const QString& error() const { return m_error; }

    void document(const Value& root)
    {
        m_out.append(kHeader, sizeof kHeader - 1);
        value(root, 0);
        m_out.append(kFooter, sizeof kFooter - 1);
    }

private:
    void indent(int depth)
    {
        static constexpr char kTabs[] = "\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t";
        for (; depth > 16; depth -= 16)
            m_out.append(kTabs, 16);
        m_out.append(kTabs, depth);
    }

    void fail(const QString& message)
    {
        if (m_error.isEmpty())
            m_error = message;
    }

    void value(const Value& v, int depth)
    {
        if (depth > kMaxDepth)
            return fail(QStringLiteral("nesting deeper than %1 levels").arg(kMaxDepth));
        indent(depth);
        switch (v.type()) {
        case Value::Type::Dictionary:
            return dictionary(*v.dictionary(), depth);
        case Value::Type::Array:
            return array(*v.array(), depth);
        case Value::Type::String:
            return element("<string>", *v.stringPtr(), "</string>\n");
        case Value::Type::Data:
            return data(*v.dataPtr(), depth);
        case Value::Type::Integer:
            return integer(v.integer());
        case Value::Type::Real:
            return simple("<real>", formatReal(v.real()), "</real>\n");
        case Value::Type::Boolean:
            v.boolean() ? m_out.append("<true/>\n", 8) : m_out.append("<false/>\n", 9);
            return;
        case Value::Type::Date:
            return simple("<date>", isoStringFromDate(v.date()), "</date>\n");
        case Value::Type::Uid:
            return uid(v.uid(), depth);
        case Value::Type::None:
            return fail(QStringLiteral("an empty value cannot be written"));
        }
    }

    bool enter(const void* container)
    {
        if (std::find(m_visiting.begin(), m_visiting.end(), container) != m_visiting.end())
            return false;
        m_visiting.push_back(container);
        return true;
    }

    void dictionary(const Dictionary& dict, int depth)
    {
        if (dict.isEmpty()) {
            m_out.append("<dict/>\n", 8);
            return;
        }
        if (!enter(&dict))
            return fail(QStringLiteral("a dictionary contains itself"));
        m_out.append("<dict>\n", 7);
        for (const Dictionary::Entry& e : dict) {
            indent(depth + 1);
            element("<key>", e.key, "</key>\n");
            value(e.value, depth + 1);
            if (!m_error.isEmpty())
                break;
        }
        indent(depth);
        m_out.append("</dict>\n", 8);
        m_visiting.pop_back();
    }

    void array(const Array& array, int depth)
    {
        if (array.isEmpty()) {
            m_out.append("<array/>\n", 9);
            return;
        }
        if (!enter(&array))
            return fail(QStringLiteral("an array contains itself"));
        m_out.append("<array>\n", 8);
        for (const Value& v : array) {
            value(v, depth + 1);
            if (!m_error.isEmpty())
                break;
        }
        indent(depth);
        m_out.append("</array>\n", 9);
        m_visiting.pop_back();
    }

    template <std::size_t N, std::size_t M>
    void element(const char (&open)[N], const QString& text, const char (&close)[M])
    {
        m_out.append(open, N - 1);
        escaped(text);
        m_out.append(close, M - 1);
    }

    template <std::size_t N, std::size_t M>
    void simple(const char (&open)[N], const QByteArray& text, const char (&close)[M])
    {
        m_out.append(open, N - 1);
        m_out.append(text);
        m_out.append(close, M - 1);
    }

    // One pass from UTF-16 to escaped UTF-8, straight into the output buffer.
    void escaped(const QString& text)
    {
        const char16_t* p = reinterpret_cast<const char16_t*>(text.constData());
        const qsizetype n = text.size();
        const std::size_t start = m_out.size();
        char* w = m_out.room(std::size_t(n) * 5); // "&#13;" is the widest form of one unit
        for (qsizetype i = 0; i < n; ++i) {
            const char16_t c = p[i];
            if (c < 0x80) {
                if (c == u'<')
                    w = put(w, "&lt;");
                else if (c == u'>')
                    w = put(w, "&gt;");
                else if (c == u'&')
                    w = put(w, "&amp;");
                else if (c == u'\r')
                    w = put(w, "&#13;");
                else if (isXmlForbidden(c))
                    return forbidden(
                        start, QStringLiteral("U+%1").arg(unsigned(c), 4, 16, QLatin1Char('0')));
                else
                    *w++ = char(c);
            } else if (c < 0x800) {
                *w++ = char(0xC0 | (c >> 6));
                *w++ = char(0x80 | (c & 0x3F));
            } else if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(p[i + 1])) {
                const char32_t u = QChar::surrogateToUcs4(c, p[++i]);
                *w++ = char(0xF0 | (u >> 18));
                *w++ = char(0x80 | ((u >> 12) & 0x3F));
                *w++ = char(0x80 | ((u >> 6) & 0x3F));
                *w++ = char(0x80 | (u & 0x3F));
            } else if (QChar::isSurrogate(c) || isXmlForbidden(c)) {
                return forbidden(start, QStringLiteral("an unpaired surrogate or U+FFFE/U+FFFF"));
            } else {
                *w++ = char(0xE0 | (c >> 12));
                *w++ = char(0x80 | ((c >> 6) & 0x3F));
                *w++ = char(0x80 | (c & 0x3F));
            }
        }
        m_out.commit(w);
    }

    static char* put(char* w, const char* s)
    {
        while (*s)
            *w++ = *s++;
        return w;
    }

    void forbidden(std::size_t start, const QString& what)
    {
        m_out.truncate(start);
        fail(QStringLiteral("a string holds %1, which XML cannot carry").arg(what));
    }

    void integer(Integer i)
    {
        char buf[32];
        const auto r = i.isUnsigned ? std::to_chars(buf, buf + sizeof buf, i.unsignedValue())
                                    : std::to_chars(buf, buf + sizeof buf, i.bits);
        m_out.append("<integer>", 9);
        m_out.append(buf, std::size_t(r.ptr - buf));
        m_out.append("</integer>\n", 11);
    }

    // Base64 lines as the platform wraps them: 76 columns less 8 per indentation level,
    // never below 16, at the indentation of the element itself.
    void data(const QByteArray& bytes, int depth)
    {
        m_out.append("<data>\n", 7);
        const QByteArray base64 = bytes.toBase64();
        const int width = std::max(16, 76 - 8 * depth) / 4 * 4;
        for (qsizetype pos = 0; pos < base64.size(); pos += width) {
            indent(depth);
            m_out.append(base64.constData() + pos,
                         std::size_t(std::min<qsizetype>(width, base64.size() - pos)));
            m_out.append('\n');
        }
        indent(depth);
        m_out.append("</data>\n", 8);
    }

    void uid(Uid u, int depth)
    {
        m_out.append("<dict>\n", 7);
        indent(depth + 1);
        m_out.append("<key>CF$UID</key>\n", 18);
        indent(depth + 1);
        integer(Integer{std::int64_t(u.value), u.value > std::uint64_t(INT64_MAX)});
        indent(depth);
        m_out.append("</dict>\n", 8);
    }

    ByteBuffer m_out;
    QString m_error;
    std::vector<const void*> m_visiting; // containers being written, to refuse cycles
};

} // namespace

WriteResult writeXml(const Value& root)
{
    XmlEmitter emitter;
    emitter.document(root);
    WriteResult result;
    result.error = emitter.error();
    if (result.ok())
        result.bytes = emitter.take();
    return result;
}

QByteArray formatReal(double value)
{
    if (std::isnan(value))
        return QByteArrayLiteral("nan");
    if (std::isinf(value))
        return value > 0 ? QByteArrayLiteral("+infinity") : QByteArrayLiteral("-infinity");
    char buf[64];
    for (int precision : {15, 17}) {
        const auto r =
            std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, precision);
        double back = 0;
        std::from_chars(buf, r.ptr, back);
        if (back == value || precision == 17)
            return QByteArray(buf, int(r.ptr - buf));
    }
    return {};
}

} // namespace plist
