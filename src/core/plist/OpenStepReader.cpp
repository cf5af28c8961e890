#include "Array.h"
#include "Dictionary.h"
#include "OpenStepFormat.h"

#include <QStringDecoder>

namespace plist {

namespace {

bool isUnquotedCharacter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
           c == u'_' || c == u'$' || c == u'/' || c == u':' || c == u'.' || c == u'-';
}

int hexValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

std::optional<QString> decodeText(const QByteArray& bytes)
{
    auto encoding = QStringConverter::encodingForData(bytes);
    QStringDecoder decoder(encoding.value_or(QStringConverter::Utf8));
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

class OpenStepParser
{
public:
    explicit OpenStepParser(QString text) : m_text(std::move(text)), m_s(m_text) {}

    ReadResult parse()
    {
        ReadResult result;
        result.format = Format::OpenStep;
        Value root = document();
        if (m_error.isEmpty()) {
            result.value = std::move(root);
        } else {
            result.error = m_error;
            result.offset = m_errorPos;
        }
        return result;
    }

private:
    Value fail(const QString& message)
    {
        if (m_error.isEmpty()) {
            m_error = message;
            m_errorPos = m_pos;
        }
        return Value();
    }

    bool atEnd() const { return m_pos >= m_s.size(); }
    char16_t peek() const { return atEnd() ? 0 : m_s[m_pos].unicode(); }

    // Skips white space and both comment forms; false on an unterminated comment.
    bool skipSpace()
    {
        while (!atEnd()) {
            const char16_t c = peek();
            if (QChar::isSpace(c)) {
                ++m_pos;
            } else if (c == u'/' && m_pos + 1 < m_s.size() && m_s[m_pos + 1] == u'/') {
                while (!atEnd() && peek() != u'\n' && peek() != u'\r')
                    ++m_pos;
            } else if (c == u'/' && m_pos + 1 < m_s.size() && m_s[m_pos + 1] == u'*') {
                const qsizetype close = m_s.indexOf(u"*/", m_pos + 2);
                if (close < 0) {
                    fail(QStringLiteral("unterminated comment"));
                    return false;
                }
                m_pos = close + 2;
            } else {
                break;
            }
        }
        return true;
    }

    Value document()
    {
        if (!skipSpace())
            return Value();
        if (atEnd())
            return fail(QStringLiteral("empty old-style property list"));
        const qsizetype start = m_pos;
        Value root = value(0);
        if (!m_error.isEmpty() || !skipSpace())
            return Value();
        if (atEnd())
            return root;
        // "key" = "value"; pairs at the top level: a strings file.
        if (root.isString() && (peek() == u'=' || peek() == u';')) {
            m_pos = start;
            return dictionaryBody(0, 0);
        }
        return fail(QStringLiteral("unexpected text after the root value"));
    }

    Value value(int depth)
    {
        if (depth > kMaxDepth)
            return fail(QStringLiteral("nesting deeper than %1 levels").arg(kMaxDepth));
        if (!skipSpace())
            return Value();
        const char16_t c = peek();
        if (c == u'{') {
            ++m_pos;
            return dictionaryBody(depth, u'}');
        }
        if (c == u'(') {
            ++m_pos;
            return array(depth);
        }
        if (c == u'<') {
            ++m_pos;
            return data();
        }
        if (c == u'"' || c == u'\'') {
            ++m_pos;
            return quoted(c);
        }
        if (isUnquotedCharacter(c))
            return unquoted();
        if (atEnd())
            return fail(QStringLiteral("unexpected end of text"));
        return fail(QStringLiteral("unexpected character '%1'").arg(QChar(c)));
    }

    // Entries up to `close`, or to the end of the text when close is 0 (strings files).
    Value dictionaryBody(int depth, char16_t close)
    {
        auto dict = std::make_shared<Dictionary>();
        while (true) {
            if (!skipSpace())
                return Value();
            if (close == 0 ? atEnd() : peek() == close) {
                ++m_pos;
                return Value(std::move(dict));
            }
            if (atEnd())
                return fail(QStringLiteral("dictionary is not closed"));
            const Value key = value(depth + 1);
            if (!m_error.isEmpty())
                return Value();
            if (!key.isString())
                return fail(QStringLiteral("dictionary key is not a string"));
            if (!skipSpace())
                return Value();
            if (peek() == u';') { // strings-file shorthand: the key is its own value
                ++m_pos;
                dict->set(*key.stringPtr(), key);
                continue;
            }
            if (peek() != u'=')
                return fail(QStringLiteral("missing '=' after key"));
            ++m_pos;
            Value v = value(depth + 1);
            if (!m_error.isEmpty() || !skipSpace())
                return Value();
            if (peek() == u';')
                ++m_pos;
            else if (close == 0 || peek() != close)
                return fail(QStringLiteral("missing ';' after value"));
            dict->set(*key.stringPtr(), std::move(v));
        }
    }

    Value array(int depth)
    {
        auto array = std::make_shared<Array>();
        while (true) {
            if (!skipSpace())
                return Value();
            if (peek() == u')') {
                ++m_pos;
                return Value(std::move(array));
            }
            Value v = value(depth + 1);
            if (!m_error.isEmpty() || !skipSpace())
                return Value();
            array->append(std::move(v));
            if (peek() == u',')
                ++m_pos;
            else if (peek() != u')')
                return fail(QStringLiteral("missing ',' in array"));
        }
    }

    Value data()
    {
        QByteArray bytes;
        int high = -1;
        while (!atEnd() && peek() != u'>') {
            const char16_t c = peek();
            ++m_pos;
            if (QChar::isSpace(c))
                continue;
            const int nibble = hexValue(c);
            if (nibble < 0)
                return fail(QStringLiteral("invalid character in data"));
            if (high < 0) {
                high = nibble;
            } else {
                bytes.append(char(high << 4 | nibble));
                high = -1;
            }
        }
        if (atEnd() || high >= 0)
            return fail(QStringLiteral("data is not closed or has an odd number of digits"));
        ++m_pos;
        return Value(std::move(bytes));
    }

    Value unquoted()
    {
        const qsizetype start = m_pos;
        while (!atEnd() && isUnquotedCharacter(peek()))
            ++m_pos;
        return Value(m_s.mid(start, m_pos - start).toString());
    }

    Value quoted(char16_t quote)
    {
        QString out;
        while (true) {
            if (atEnd())
                return fail(QStringLiteral("string is not closed"));
            const char16_t c = peek();
            ++m_pos;
            if (c == quote)
                return Value(std::move(out));
            if (c != u'\\') {
                out.append(QChar(c));
                continue;
            }
            if (atEnd())
                return fail(QStringLiteral("string is not closed"));
            const char16_t e = peek();
            ++m_pos;
            switch (e) {
            case u'a':
                out.append(QChar(0x07));
                break;
            case u'b':
                out.append(QChar(0x08));
                break;
            case u'f':
                out.append(QChar(0x0C));
                break;
            case u'n':
                out.append(QChar(u'\n'));
                break;
            case u'r':
                out.append(QChar(u'\r'));
                break;
            case u't':
                out.append(QChar(u'\t'));
                break;
            case u'v':
                out.append(QChar(0x0B));
                break;
            case u'U':
                out.append(QChar(escapedDigits(16, 4)));
                break;
            default:
                if (e >= u'0' && e <= u'7') {
                    --m_pos;
                    out.append(QChar(escapedDigits(8, 3)));
                } else {
                    out.append(QChar(e)); // \" \' \\ and any other character stand for themselves
                }
            }
        }
    }

    char16_t escapedDigits(int base, int maxDigits)
    {
        unsigned value = 0;
        for (int i = 0; i < maxDigits && !atEnd(); ++i) {
            const int digit = hexValue(peek());
            if (digit < 0 || digit >= base)
                break;
            value = value * unsigned(base) + unsigned(digit);
            ++m_pos;
        }
        return char16_t(value);
    }

    QString m_text;
    QStringView m_s;
    qsizetype m_pos = 0;
    QString m_error;
    qsizetype m_errorPos = -1;
};

} // namespace

ReadResult readOpenStep(const QByteArray& bytes)
{
    auto text = decodeText(bytes);
    if (!text) {
        ReadResult result;
        result.format = Format::OpenStep;
        result.error = QStringLiteral("text is not valid UTF-8 or UTF-16");
        return result;
    }
    return OpenStepParser(std::move(*text)).parse();
}

} // namespace plist
