#include "Placeholders.h"

#include "model/SnippetRecord.h"

namespace JVSXExtensions {

namespace {

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}
bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// "%" and its digits and letters; "%%" stands alone.
qsizetype tokenLength(const QString& s, qsizetype at)
{
    if (at + 1 < s.size() && s[at + 1] == u'%')
        return 2;
    qsizetype end = at + 1;
    while (end < s.size() && isAsciiDigit(s[end]))
        ++end;
    while (end < s.size() && isAsciiLetter(s[end]))
        ++end;
    return end - at;
}

snapwick::CaseConversionMode normalized(int mode)
{
    if (mode < 1)
        return snapwick::CaseConversionNone;
    if (mode == 1 || mode == 2)
        return snapwick::CaseConversionMode(mode);
    return snapwick::CaseConversionLowercaseFirst;
}

// The first character, a whole surrogate pair where it is one.
qsizetype firstCharacterLength(const QString& s)
{
    return s.size() > 1 && s[0].isHighSurrogate() && s[1].isLowSurrogate() ? 2 : 1;
}

// Both kinds of text through one algorithm: the plain string, and the attributed text
// whose characters are edited so that its formatting stays.
struct PlainBuffer
{
    QString& s;
    const QString& string() const { return s; }
    void replace(qsizetype at, qsizetype length, const QString& value)
    {
        s.replace(at, length, value);
    }
    void uppercaseAll() { s = s.toUpper(); }
};

struct AttributedBuffer
{
    text::AttributedString& s;
    const QString& string() const { return s.string(); }
    void replace(qsizetype at, qsizetype length, const QString& value)
    {
        s.replaceCharacters(at, length, value);
    }
    void uppercaseAll()
    {
        qsizetype at = 0;
        const std::vector<text::AttributedString::Run> runs = s.runs();
        for (const auto& run : runs) { // run by run, so each keeps its formatting
            const QString upper = s.string().mid(at, run.length).toUpper();
            s.replaceCharacters(at, run.length, upper);
            at += upper.size();
        }
    }
};

template <typename Buffer>
void substitute(Buffer buffer, const QDateTime& date, const snapwick::CalendarLocale& locale,
                int caseMode, snapwick::ClipboardText* clipboard)
{
    std::optional<QString> clipboardText;
    qsizetype from = 0;
    qsizetype at;
    while ((at = buffer.string().indexOf(u'%', from)) >= 0) {
        const qsizetype length = tokenLength(buffer.string(), at);
        if (length == 1) { // a lone "%": "%|", "%-", "50% off"
            from = at + 1;
            continue;
        }
        const QString token = buffer.string().mid(at, length);
        QString value;
        const QString lower = token.toLower();
        if (lower == u"%clipboard" || lower == u"%pasteboard") {
            if (!clipboardText)
                clipboardText =
                    (clipboard ? clipboard->plainText() : std::nullopt).value_or(QString());
            value = *clipboardText;
        } else {
            value = snapwick::descriptionWithCalendarFormat(token, date, locale);
        }
        buffer.replace(at, length, value);
        from = at + value.size(); // inserted text is never read again
    }
    const QString& s = buffer.string();
    if (s.isEmpty())
        return;
    switch (normalized(caseMode)) {
    case snapwick::CaseConversionUppercaseAll:
        buffer.uppercaseAll();
        break;
    case snapwick::CaseConversionCapitalizeFirst: {
        const qsizetype n = firstCharacterLength(s);
        buffer.replace(0, n, s.left(n).toUpper());
        break;
    }
    case snapwick::CaseConversionLowercaseFirst: {
        const qsizetype n = firstCharacterLength(s);
        buffer.replace(0, n, s.left(n).toLower());
        break;
    }
    case snapwick::CaseConversionNone:
        break;
    }
}

} // namespace

void replaceDateFormattersWithDate(QString& text, const QDateTime& date,
                                   const snapwick::CalendarLocale& locale, int caseConversionMode,
                                   snapwick::ClipboardText* clipboard)
{
    substitute(PlainBuffer{text}, date, locale, caseConversionMode, clipboard);
}

void replaceDateFormattersWithDate(text::AttributedString& text, const QDateTime& date,
                                   const snapwick::CalendarLocale& locale, int caseConversionMode,
                                   snapwick::ClipboardText* clipboard)
{
    substitute(AttributedBuffer{text}, date, locale, caseConversionMode, clipboard);
}

QString stringByReplacingDateFormattersWithDate(const QString& text, const QDateTime& date,
                                                const snapwick::CalendarLocale& locale,
                                                int caseConversionMode,
                                                snapwick::ClipboardText* clipboard)
{
    QString copy = text;
    replaceDateFormattersWithDate(copy, date, locale, caseConversionMode, clipboard);
    return copy;
}

QString stringByDeletingFirstOccurenceString(const QString& s, const QString& needle)
{
    const qsizetype at = needle.isEmpty() ? -1 : s.indexOf(needle);
    if (at < 0)
        return s;
    QString copy = s;
    return copy.remove(at, needle.size());
}

text::AttributedStringPtr
attributedStringByDeletingFirstOccurenceString(const text::AttributedStringPtr& s,
                                               const QString& needle)
{
    const qsizetype at = !s || needle.isEmpty() ? -1 : s->string().indexOf(needle);
    if (at < 0)
        return s;
    auto copy = std::make_shared<text::AttributedString>(*s);
    copy->deleteCharacters(at, needle.size());
    return copy;
}

bool JVIsUppercaseString(const QString& s)
{
    return s == s.toUpper();
}

snapwick::CaseConversionMode caseConversionModeFor(std::int64_t abbreviationMode,
                                                   const std::optional<QString>& typedAbbreviation)
{
    if (abbreviationMode != JVSXSharedExtensions::AbbreviationModeApply || !typedAbbreviation)
        return snapwick::CaseConversionNone;
    const QString& typed = *typedAbbreviation;
    if (JVIsUppercaseString(typed))
        return snapwick::CaseConversionUppercaseAll;
    const QString first = typed.left(firstCharacterLength(typed));
    return first == first.toUpper() ? snapwick::CaseConversionCapitalizeFirst
                                    : snapwick::CaseConversionLowercaseFirst;
}

} // namespace JVSXExtensions
