#include "SnippetMatcher.h"

#include "model/SnippetRecord.h"

namespace snapwick {

using namespace JVSXSharedExtensions;

void SnippetMatcher::rebuild(const plist::Array& snippets)
{
    m_exact.clear();
    m_lower.clear();
    for (qsizetype i = 0; i < snippets.size(); ++i) {
        const plist::Dictionary* record = snippets.at(i).dictionary();
        if (!record || !hasValidSnippetAbbreviation(*record))
            continue;
        const QString abbreviation = snippetAbbreviation(*record);
        if (snippetAbbreviationMode(*record) > 0)
            m_lower.insert(abbreviation.toLower(),
                           std::min(m_lower.value(abbreviation.toLower(), i), i));
        else
            m_exact.insert(abbreviation, std::min(m_exact.value(abbreviation, i), i));
    }
}

qsizetype SnippetMatcher::match(const QString& keyLog, const QString& lowerKeyLog) const
{
    const qsizetype exact = m_exact.value(keyLog, -1);
    const qsizetype lower = m_lower.value(lowerKeyLog, -1);
    if (exact < 0)
        return lower;
    return lower < 0 ? exact : std::min(exact, lower);
}

qsizetype SnippetMatcher::literalMatch(const plist::Array& snippets, const QString& keyLog)
{
    const QString lowerKeyLog = keyLog.toLower();
    for (qsizetype i = 0; i < snippets.size(); ++i) {
        const plist::Dictionary* record = snippets.at(i).dictionary();
        if (!record || !hasValidSnippetAbbreviation(*record))
            continue;
        const QString abbreviation = snippetAbbreviation(*record);
        const bool equal = snippetAbbreviationMode(*record) > 0
                               ? abbreviation.toLower() == lowerKeyLog
                               : abbreviation == keyLog;
        if (equal)
            return i;
    }
    return -1;
}

} // namespace snapwick
