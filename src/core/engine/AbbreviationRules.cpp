#include "AbbreviationRules.h"

#include "model/SnippetRecord.h"
#include "util/Localization.h"

#include <QHash>
#include <algorithm>
#include <bit>
#include <string_view>

namespace snapwick {

namespace {

std::u16string_view units(const QString& s)
{
    return {reinterpret_cast<const char16_t*>(s.utf16()), std::size_t(s.size())};
}

bool containsWhiteSpace(const QString& s)
{
    return std::any_of(s.begin(), s.end(), [](QChar c) { return c.isSpace(); });
}

std::optional<RuleViolation> subjectViolation(const RuleSubject& s)
{
    if (s.abbreviation.isEmpty())
        return RuleViolation{RuleViolation::Empty, {}};
    if (containsWhiteSpace(s.abbreviation))
        return RuleViolation{RuleViolation::WhiteSpace, {}};
    return std::nullopt;
}

bool eitherIsPrefix(const QString& a, const QString& b)
{
    return a.startsWith(b) || b.startsWith(a);
}

constexpr int kNone = std::numeric_limits<int>::max();

// Minimum over index ranges of a fixed array, each answered in constant time.
class RangeMinimum
{
public:
    explicit RangeMinimum(std::vector<int> values)
    {
        m_levels.push_back(std::move(values));
        for (std::size_t width = 1; width * 2 <= m_levels[0].size(); width *= 2) {
            const std::vector<int>& prev = m_levels.back();
            std::vector<int> next(prev.size() - width);
            for (std::size_t i = 0; i < next.size(); ++i)
                next[i] = std::min(prev[i], prev[i + width]);
            m_levels.push_back(std::move(next));
        }
    }

    // Minimum of [from, to); kNone when empty.
    int operator()(std::size_t from, std::size_t to) const
    {
        if (from >= to)
            return kNone;
        const int level = std::bit_width(to - from) - 1;
        return std::min(m_levels[std::size_t(level)][from],
                        m_levels[std::size_t(level)][to - (std::size_t(1) << level)]);
    }

private:
    std::vector<std::vector<int>> m_levels;
};

// Abbreviations sorted by code units, so that those sharing a prefix lie together.
struct SortedKeys
{
    struct Entry
    {
        QString key;
        QString exact; // the abbreviation as written, to tell it apart within equal keys
        int index;
    };
    std::vector<Entry> entries;
    std::unique_ptr<RangeMinimum> minimum;

    void finish()
    {
        std::sort(entries.begin(), entries.end(), [](const Entry& x, const Entry& y) {
            if (x.key != y.key)
                return units(x.key) < units(y.key);
            if (x.exact != y.exact)
                return units(x.exact) < units(y.exact);
            return x.index < y.index;
        });
        std::vector<int> indexes;
        indexes.reserve(entries.size());
        for (const Entry& e : entries)
            indexes.push_back(e.index);
        minimum = std::make_unique<RangeMinimum>(std::move(indexes));
    }

    std::size_t lowerBound(const QString& key) const
    {
        return std::size_t(
            std::partition_point(entries.begin(), entries.end(),
                                 [&](const Entry& e) { return units(e.key) < units(key); }) -
            entries.begin());
    }

    // [begin, end) of the keys that start with prefix (prefix itself included).
    std::pair<std::size_t, std::size_t> withPrefix(const QString& prefix) const
    {
        const std::size_t begin = lowerBound(prefix);
        const auto end =
            std::partition_point(entries.begin() + qsizetype(begin), entries.end(),
                                 [&](const Entry& e) { return e.key.startsWith(prefix); });
        return {begin, std::size_t(end - entries.begin())};
    }

    // [begin, end) of the keys equal to key, and inside it those whose exact text is exact.
    struct Equal
    {
        std::size_t begin, end, exactBegin, exactEnd;
    };
    Equal equal(const QString& key, const QString& exact) const
    {
        Equal r;
        r.begin = lowerBound(key);
        auto it = std::partition_point(entries.begin() + qsizetype(r.begin), entries.end(),
                                       [&](const Entry& e) { return e.key == key; });
        r.end = std::size_t(it - entries.begin());
        auto ex = std::partition_point(
            entries.begin() + qsizetype(r.begin), entries.begin() + qsizetype(r.end),
            [&](const Entry& e) { return units(e.exact) < units(exact); });
        r.exactBegin = std::size_t(ex - entries.begin());
        auto exEnd = std::partition_point(ex, entries.begin() + qsizetype(r.end),
                                          [&](const Entry& e) { return e.exact == exact; });
        r.exactEnd = std::size_t(exEnd - entries.begin());
        return r;
    }

    int minimumExcluding(std::size_t begin, std::size_t end, std::size_t skipBegin,
                         std::size_t skipEnd) const
    {
        return std::min((*minimum)(begin, std::max(begin, std::min(skipBegin, end))),
                        (*minimum)(std::min(end, std::max(skipEnd, begin)), end));
    }
};

} // namespace

RuleSubject RuleSubject::of(const plist::Dictionary& record)
{
    using namespace JVSXSharedExtensions;
    return {snippetAbbreviation(record), snippetAbbreviationMode(record),
            plainSnippetReplacement(record)};
}

std::optional<RuleViolation> conflict(const RuleSubject& s, const RuleSubject& e,
                                      bool expandsImmediately)
{
    const QString& a = s.abbreviation;
    const QString& b = e.abbreviation;
    if (b.isEmpty())
        return std::nullopt;
    if (b == a) {
        if (e.plainText != s.plainText || e.mode != s.mode)
            return RuleViolation{RuleViolation::AlreadyInUse, b};
        return std::nullopt;
    }
    if (expandsImmediately && eitherIsPrefix(a, b))
        return RuleViolation{RuleViolation::Interfere, b};
    if (s.mode > 0 || e.mode > 0) {
        const QString la = a.toLower();
        const QString lb = b.toLower();
        if (lb == la || (expandsImmediately && eitherIsPrefix(la, lb)))
            return RuleViolation{RuleViolation::Interfere, b};
    }
    return std::nullopt;
}

std::optional<RuleViolation> literalViolation(const RuleSubject& s,
                                              const std::vector<RuleSubject>& collection,
                                              qsizetype size, bool expandsImmediately)
{
    if (auto v = subjectViolation(s))
        return v;
    size = std::min<qsizetype>(size, qsizetype(collection.size()));
    for (qsizetype i = 0; i < size; ++i) {
        if (auto v = conflict(s, collection[std::size_t(i)], expandsImmediately))
            return v;
    }
    return std::nullopt;
}

struct ValidityIndex::Impl
{
    struct ExactGroup
    {
        int first = kNone;
        QString firstText;
        std::int64_t firstMode = 0;
        int firstDiffering = kNone; // the first member whose text or mode differs from the first's
    };

    std::vector<RuleSubject> collection;
    bool immediately = false;
    QHash<QString, ExactGroup> exact;
    SortedKeys exactKeys;               // distinct abbreviations, for "A is a prefix of B"
    SortedKeys lowerAll, lowerIgnoring; // lower-cased; all elements, and those with mode > 0
    QHash<QString, int> lowerAllFirst, lowerIgnoringFirst;

    void build()
    {
        for (int i = 0; i < int(collection.size()); ++i) {
            const RuleSubject& e = collection[std::size_t(i)];
            if (e.abbreviation.isEmpty())
                continue;
            ExactGroup& g = exact[e.abbreviation];
            if (g.first == kNone) {
                g = ExactGroup{i, e.plainText, e.mode, kNone};
                exactKeys.entries.push_back({e.abbreviation, e.abbreviation, i});
            } else if (g.firstDiffering == kNone &&
                       (e.plainText != g.firstText || e.mode != g.firstMode)) {
                g.firstDiffering = i;
            }
            const QString lower = e.abbreviation.toLower();
            lowerAll.entries.push_back({lower, e.abbreviation, i});
            lowerAllFirst.insert(lower, std::min(lowerAllFirst.value(lower, kNone), i));
            if (e.mode > 0) {
                lowerIgnoring.entries.push_back({lower, e.abbreviation, i});
                lowerIgnoringFirst.insert(lower,
                                          std::min(lowerIgnoringFirst.value(lower, kNone), i));
            }
        }
        exactKeys.finish();
        lowerAll.finish();
        lowerIgnoring.finish();
    }

    int firstInUse(const RuleSubject& s) const
    {
        auto it = exact.constFind(s.abbreviation);
        if (it == exact.constEnd())
            return kNone;
        const bool differsFromFirst = s.plainText != it->firstText || s.mode != it->firstMode;
        return differsFromFirst ? it->first : it->firstDiffering;
    }

    int firstExactPrefixConflict(const QString& a) const
    {
        int best = kNone;
        for (qsizetype k = 1; k < a.size(); ++k) { // B a proper prefix of A
            auto it = exact.constFind(a.left(k));
            if (it != exact.constEnd())
                best = std::min(best, it->first);
        }
        const auto [begin, end] = exactKeys.withPrefix(a); // A a proper prefix of B
        const bool startsWithA = begin < end && exactKeys.entries[begin].key == a;
        return std::min(best, (*exactKeys.minimum)(begin + (startsWithA ? 1 : 0), end));
    }

    int firstCaseConflict(const RuleSubject& s) const
    {
        const SortedKeys& keys = s.mode > 0 ? lowerAll : lowerIgnoring;
        const QHash<QString, int>& first = s.mode > 0 ? lowerAllFirst : lowerIgnoringFirst;
        const QString a = s.abbreviation.toLower();
        const SortedKeys::Equal eq = keys.equal(a, s.abbreviation);
        int best = keys.minimumExcluding(eq.begin, eq.end, eq.exactBegin, eq.exactEnd);
        if (!immediately)
            return best;
        const auto [begin, end] = keys.withPrefix(a); // b starts with a
        best = std::min(best, keys.minimumExcluding(begin, end, eq.exactBegin, eq.exactEnd));
        for (qsizetype k = 1; k < a.size(); ++k) // a starts with b, b shorter
            best = std::min(best, first.value(a.left(k), kNone));
        return best;
    }
};

ValidityIndex::ValidityIndex(std::vector<RuleSubject> collection, bool expandsImmediately)
    : d(std::make_unique<Impl>())
{
    d->collection = std::move(collection);
    d->immediately = expandsImmediately;
    d->build();
}

ValidityIndex::~ValidityIndex() = default;

std::optional<RuleViolation> ValidityIndex::violation(const RuleSubject& s) const
{
    if (auto v = subjectViolation(s))
        return v;
    int first = d->firstInUse(s);
    if (d->immediately)
        first = std::min(first, d->firstExactPrefixConflict(s.abbreviation));
    first = std::min(first, d->firstCaseConflict(s));
    if (first == kNone)
        return std::nullopt;
    const RuleSubject& e = d->collection[std::size_t(first)];
    return e.abbreviation == s.abbreviation
               ? RuleViolation{RuleViolation::AlreadyInUse, e.abbreviation}
               : RuleViolation{RuleViolation::Interfere, e.abbreviation};
}

} // namespace snapwick

namespace JVSXExtensions {

namespace {

std::vector<snapwick::RuleSubject> subjects(const plist::Array& collection, qsizetype size)
{
    std::vector<snapwick::RuleSubject> all;
    size = std::min(size, collection.size());
    all.reserve(std::size_t(size));
    for (qsizetype i = 0; i < size; ++i) {
        const plist::Dictionary* d = collection.at(i).dictionary();
        all.push_back(d ? snapwick::RuleSubject::of(*d) : snapwick::RuleSubject{});
    }
    return all;
}

} // namespace

bool hasValidSnippetAbbreviationForCollection(const plist::Dictionary& record,
                                              const plist::Array& collection, qsizetype size,
                                              bool expandsImmediately)
{
    return !snapwick::literalViolation(snapwick::RuleSubject::of(record),
                                       subjects(collection, size), size, expandsImmediately);
}

QString errorText(const snapwick::RuleViolation& violation, const QString& abbreviation)
{
    switch (violation.kind) {
    case snapwick::RuleViolation::Empty:
        return QString();
    case snapwick::RuleViolation::WhiteSpace:
        return JVSXLocalizedString("Error: Abbreviations must not contain white-space characters!");
    case snapwick::RuleViolation::AlreadyInUse:
        return JVSXLocalizedString("Error: The abbreviation \"%@\" is already in use!")
            .replace(QStringLiteral("%@"), abbreviation);
    case snapwick::RuleViolation::Interfere: {
        QString text = JVSXLocalizedString(
            "Error: The abbreviations \"%@\" and \"%@\" interfere with each other!");
        const qsizetype first = text.indexOf(u"%@");
        text.replace(first, 2, abbreviation);
        const qsizetype second = text.indexOf(u"%@", first + abbreviation.size());
        if (second >= 0)
            text.replace(second, 2, violation.other);
        return text;
    }
    }
    return QString();
}

std::vector<std::optional<QString>> snippetAbbreviationErrors(const plist::Array& collection,
                                                              std::int64_t expanderMode)
{
    std::vector<snapwick::RuleSubject> all = subjects(collection, collection.size());
    const snapwick::ValidityIndex index(all, expanderMode <= 0);
    std::vector<std::optional<QString>> errors;
    errors.reserve(all.size());
    for (const snapwick::RuleSubject& s : all) {
        const auto violation = index.violation(s);
        errors.push_back(violation ? std::optional(errorText(*violation, s.abbreviation))
                                   : std::nullopt);
    }
    return errors;
}

std::optional<QString> snippetAbbreviationError(const plist::Dictionary& record,
                                                const plist::Array& collection,
                                                std::int64_t expanderMode)
{
    const snapwick::RuleSubject s = snapwick::RuleSubject::of(record);
    const auto violation = snapwick::literalViolation(s, subjects(collection, collection.size()),
                                                      collection.size(), expanderMode <= 0);
    if (!violation)
        return std::nullopt;
    return errorText(*violation, s.abbreviation);
}

} // namespace JVSXExtensions
