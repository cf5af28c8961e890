#pragma once

#include "plist/Array.h"
#include "plist/Dictionary.h"

#include <optional>

namespace snapwick {

// The first rule an abbreviation breaks, and the element it conflicts with.
struct RuleViolation
{
    enum Kind
    {
        Empty,
        WhiteSpace,
        AlreadyInUse,
        Interfere
    };
    Kind kind;
    QString other; // the conflicting element's abbreviation (Interfere)

    bool operator==(const RuleViolation&) const = default;
};

// What the rules read of one snippet.
struct RuleSubject
{
    QString abbreviation;
    std::int64_t mode = 0;
    QString plainText;

    static RuleSubject of(const plist::Dictionary& record);
};

// The rule between two snippets, S against one element E of the collection: whether E
// makes S invalid. This is the definition; everything else applies it.
std::optional<RuleViolation> conflict(const RuleSubject& s, const RuleSubject& e,
                                      bool expandsImmediately);

// S against the first `size` elements, walked in order: the first violation.
std::optional<RuleViolation> literalViolation(const RuleSubject& s,
                                              const std::vector<RuleSubject>& collection,
                                              qsizetype size, bool expandsImmediately);

// The same answers for many subjects against one collection, without comparing every pair:
// hash maps and sorted prefix ranges find the first conflicting element directly.
class ValidityIndex
{
public:
    ValidityIndex(std::vector<RuleSubject> collection, bool expandsImmediately);
    ~ValidityIndex();
    std::optional<RuleViolation> violation(const RuleSubject& s) const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace snapwick

namespace JVSXExtensions {

// The daemon's test of one record against the first `size` records of a collection.
bool hasValidSnippetAbbreviationForCollection(const plist::Dictionary& record,
                                              const plist::Array& collection, qsizetype size,
                                              bool expandsImmediately);

// The pane's error text for the first violated rule, none when valid. The collection is
// the pane's own snippets followed, in client mode, by the remote ones.
std::optional<QString> snippetAbbreviationError(const plist::Dictionary& record,
                                                const plist::Array& collection,
                                                std::int64_t expanderMode);
// The same for every element of the collection at once.
std::vector<std::optional<QString>> snippetAbbreviationErrors(const plist::Array& collection,
                                                              std::int64_t expanderMode);
QString errorText(const snapwick::RuleViolation& violation, const QString& abbreviation);

} // namespace JVSXExtensions
