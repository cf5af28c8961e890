#include "SnippetRecord.h"

namespace JVSXSharedExtensions {

namespace {

void setOrRemove(plist::Dictionary& record, const QString& key, const std::optional<QString>& s)
{
    if (s)
        record.set(key, *s);
    else
        record.remove(key);
}

} // namespace

QString snippetAbbreviation(const plist::Dictionary& record)
{
    return record.stringForKey(SnippetKey::Abbreviation);
}

std::int64_t snippetAbbreviationMode(const plist::Dictionary& record)
{
    return record.integerForKey(SnippetKey::Mode);
}

QString plainSnippetReplacement(const plist::Dictionary& record)
{
    return record.stringForKey(SnippetKey::PlainText);
}

std::optional<QByteArray> formattedSnippetReplacementData(const plist::Dictionary& record)
{
    const plist::Value* v = record.find(SnippetKey::FormattedText);
    if (!v || !v->isData())
        return std::nullopt;
    return *v->dataPtr();
}

bool isFormattedSnippet(const plist::Dictionary& record)
{
    return record.contains(SnippetKey::FormattedText);
}

bool hasValidSnippetAbbreviation(const plist::Dictionary& record)
{
    return record.boolForKey(SnippetKey::Valid);
}

void setSnippetAbbreviation(plist::Dictionary& record, const std::optional<QString>& abbreviation)
{
    setOrRemove(record, SnippetKey::Abbreviation, abbreviation);
}

void setSnippetAbbreviationMode(plist::Dictionary& record, std::int64_t mode)
{
    record.setInteger(mode, SnippetKey::Mode);
}

void setPlainSnippetReplacement(plist::Dictionary& record, const std::optional<QString>& text)
{
    setOrRemove(record, SnippetKey::PlainText, text);
}

void setHasValidSnippetAbbreviation(plist::Dictionary& record, bool valid)
{
    record.setBool(valid, SnippetKey::Valid);
}

} // namespace JVSXSharedExtensions
