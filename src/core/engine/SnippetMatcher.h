#pragma once

#include "plist/Array.h"

#include <QHash>

namespace snapwick {

// Finds the first valid snippet, in list order, whose abbreviation equals the key log:
// exactly for abbreviation mode 0, in lower case for the modes above. Two hash lookups
// per key, whatever the number of snippets.
class SnippetMatcher
{
public:
    void rebuild(const plist::Array& snippets);
    // The index of the snippet, or -1.
    qsizetype match(const QString& keyLog, const QString& lowerKeyLog) const;
    // The literal walk over the list, which match() must always agree with.
    static qsizetype literalMatch(const plist::Array& snippets, const QString& keyLog);

private:
    QHash<QString, qsizetype> m_exact; // abbreviation mode 0
    QHash<QString, qsizetype> m_lower; // modes above 0, by lower-cased abbreviation
};

} // namespace snapwick
