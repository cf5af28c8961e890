#include "Array.h"
#include "Dictionary.h"
#include "IsoDate.h"
#include "XmlFormat.h"

#include <QXmlStreamReader>
#include <charconv>
#include <limits>

namespace plist {

namespace {

class XmlParser
{
public:
    explicit XmlParser(const QByteArray& bytes) : m_reader(bytes) {}

    ReadResult parse()
    {
        Value root = parseDocument();
        if (m_error.isEmpty() && m_reader.hasError())
            fail(m_reader.errorString());
        ReadResult result;
        result.format = Format::Xml;
        if (m_error.isEmpty()) {
            result.value = std::move(root);
        } else {
            result.error = m_error;
            result.offset = m_errorOffset;
        }
        return result;
    }

private:
    Value fail(const QString& message)
    {
        if (m_error.isEmpty()) {
            m_error = message;
            m_errorOffset = m_reader.characterOffset();
        }
        return Value();
    }

    bool ok() const { return m_error.isEmpty() && !m_reader.hasError(); }

    Value parseDocument()
    {
        if (!m_reader.readNextStartElement())
            return fail(QStringLiteral("no property list element"));
        Value root;
        if (m_reader.name() == u"plist") {
            if (!m_reader.readNextStartElement())
                return fail(QStringLiteral("empty <plist>"));
            root = parseValue(0);
            if (ok() && m_reader.readNextStartElement())
                return fail(QStringLiteral("more than one value in <plist>"));
        } else {
            root = parseValue(0);
        }
        while (ok() && !m_reader.atEnd())
            m_reader.readNext(); // surfaces well-formedness errors after the root
        return ok() ? root : Value();
    }

    // The reader stands on the value's start element; returns with it on the end element.
    Value parseValue(int depth)
    {
        if (depth > kMaxDepth)
            return fail(QStringLiteral("nesting deeper than %1 levels").arg(kMaxDepth));
        const QStringView name = m_reader.name();
        if (name == u"string")
            return text();
        if (name == u"dict")
            return parseDictionary(depth);
        if (name == u"array")
            return parseArray(depth);
        if (name == u"integer")
            return scalar(parseInteger, u"integer");
        if (name == u"real")
            return scalar(parseReal, u"real");
        if (name == u"true" || name == u"false")
            return boolean(name == u"true");
        if (name == u"data")
            return data();
        if (name == u"date")
            return scalar(dateFromIsoString, u"date");
        return fail(QStringLiteral("unknown element <%1>").arg(name));
    }

    Value text()
    {
        QString s = m_reader.readElementText();
        return ok() ? Value(std::move(s)) : Value();
    }

    template <typename Parse> Value scalar(Parse parse, QStringView what)
    {
        const QString s = m_reader.readElementText();
        if (!ok())
            return Value();
        auto parsed = parse(s);
        if (!parsed)
            return fail(QStringLiteral("invalid <%1> \"%2\"").arg(what, s.left(40)));
        return Value(*parsed);
    }

    Value boolean(bool value)
    {
        if (!m_reader.readElementText().trimmed().isEmpty())
            return fail(QStringLiteral("<true/> and <false/> must be empty"));
        return ok() ? Value(value) : Value();
    }

    Value data()
    {
        const QString s = m_reader.readElementText();
        if (!ok())
            return Value();
        QByteArray base64;
        base64.reserve(s.size());
        for (QChar c : s) {
            if (!c.isSpace())
                base64.append(char(c.unicode() < 0x80 ? c.unicode() : '!'));
        }
        auto decoded =
            QByteArray::fromBase64Encoding(base64, QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded)
            return fail(QStringLiteral("invalid Base64 in <data>"));
        return Value(std::move(decoded.decoded));
    }

    Value parseDictionary(int depth)
    {
        auto dict = std::make_shared<Dictionary>();
        while (m_reader.readNextStartElement()) {
            if (m_reader.name() != u"key")
                return fail(QStringLiteral("<%1> where a <key> belongs").arg(m_reader.name()));
            const QString key = m_reader.readElementText();
            if (!ok())
                return Value();
            if (!m_reader.readNextStartElement())
                return fail(QStringLiteral("key \"%1\" has no value").arg(key.left(40)));
            Value v = parseValue(depth + 1);
            if (!ok())
                return Value();
            dict->set(key, std::move(v));
        }
        if (!ok())
            return Value();
        return keyedArchiveUid(*dict).value_or(Value(std::move(dict)));
    }

    // The platform writes UIDs in XML as a dictionary holding only "CF$UID".
    static std::optional<Value> keyedArchiveUid(const Dictionary& dict)
    {
        if (dict.size() != 1)
            return std::nullopt;
        const Value* v = dict.find(QStringLiteral("CF$UID"));
        if (!v || v->type() != Value::Type::Integer || v->integer().bits < 0)
            return std::nullopt;
        return Value(Uid{std::uint64_t(v->integer().bits)});
    }

    Value parseArray(int depth)
    {
        auto array = std::make_shared<Array>();
        while (m_reader.readNextStartElement()) {
            Value v = parseValue(depth + 1);
            if (!ok())
                return Value();
            array->append(std::move(v));
        }
        return ok() ? Value(std::move(array)) : Value();
    }

    QXmlStreamReader m_reader;
    QString m_error;
    qint64 m_errorOffset = -1;
};

} // namespace

ReadResult readXml(const QByteArray& bytes)
{
    return XmlParser(bytes).parse();
}

std::optional<Integer> parseInteger(QStringView text)
{
    text = text.trimmed();
    bool negative = false;
    if (!text.isEmpty() && (text.front() == u'-' || text.front() == u'+')) {
        negative = text.front() == u'-';
        text = text.mid(1);
    }
    unsigned base = 10;
    if (text.size() > 2 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X')) {
        base = 16;
        text = text.mid(2);
    }
    if (text.isEmpty())
        return std::nullopt;
    std::uint64_t magnitude = 0;
    for (QChar qc : text) {
        const char16_t c = qc.unicode();
        unsigned digit;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else
            return std::nullopt;
        if (magnitude > (std::numeric_limits<std::uint64_t>::max() - digit) / base)
            return std::nullopt;
        magnitude = magnitude * base + digit;
    }
    constexpr std::uint64_t kInt64Max = std::uint64_t(std::numeric_limits<std::int64_t>::max());
    if (negative) {
        if (magnitude > kInt64Max + 1)
            return std::nullopt;
        return Integer{std::int64_t(0 - magnitude), false};
    }
    return Integer{std::int64_t(magnitude), magnitude > kInt64Max};
}

std::optional<double> parseReal(QStringView text)
{
    const QByteArray latin = text.trimmed().toLatin1().toLower();
    if (latin == "nan")
        return std::numeric_limits<double>::quiet_NaN();
    if (latin == "+infinity" || latin == "infinity" || latin == "inf" || latin == "+inf")
        return std::numeric_limits<double>::infinity();
    if (latin == "-infinity" || latin == "-inf")
        return -std::numeric_limits<double>::infinity();
    const char* begin = latin.constData();
    const char* end = begin + latin.size();
    if (begin != end && *begin == '+')
        ++begin;
    double value = 0;
    const auto [ptr, ec] = std::from_chars(begin, end, value);
    if (ec != std::errc() || ptr != end || begin == end)
        return std::nullopt;
    return value;
}

} // namespace plist
