#include "SnippetPreparation.h"

#include "AbbreviationRules.h"
#include "ExpansionModes.h"
#include "model/FormattedText.h"
#include "model/SnippetRecord.h"

using namespace JVSXSharedExtensions;

void JVSXRemoveLastTwoCharacters(plist::Dictionary& record)
{
    setPlainSnippetReplacement(record, plainSnippetReplacement(record).chopped(2));
    if (const text::AttributedStringPtr formatted = formattedSnippetReplacement(record)) {
        auto shorter = std::make_shared<text::AttributedString>(*formatted);
        shorter->deleteCharacters(shorter->length() - 2, 2);
        setFormattedSnippetReplacement(record, shorter);
    }
}

namespace snapwick {

namespace {

struct CursorCode
{
    const char16_t* code;
    const char16_t* move;
};
constexpr CursorCode kCursorCodes[] = {{u"%<", u"<"}, {u"%^", u"^"}, {u"%>", u">"}, {u"%v", u"v"}};

bool hasNonAlphanumeric(const QString& s)
{
    return std::any_of(s.begin(), s.end(),
                       [](QChar c) { return !c.isLetterOrNumber() && !c.isMark(); });
}

} // namespace

void prepareSnippetText(plist::Dictionary& record, int expanderMode)
{
    clearZeroCharacters(record);
    const QString plain = plainSnippetReplacement(record);
    if (plain.endsWith(u"%-")) {
        JVSXRemoveLastTwoCharacters(record);
        record.setBool(true, SnippetKey::RemovesWhiteSpace);
    } else if (plain.endsWith(u"%+")) {
        JVSXRemoveLastTwoCharacters(record);
    } else if (expanderMode == ExpanderModeAfterWhiteSpaceRemoving) {
        record.setBool(true, SnippetKey::RemovesWhiteSpace);
    }
    if (plainSnippetReplacement(record).contains(u"%|"))
        return;
    plist::Array* moves = nullptr;
    for (bool found = true; found;) {
        found = false;
        const QString text = plainSnippetReplacement(record);
        for (const CursorCode& c : kCursorCodes) {
            if (!text.endsWith(QStringView(c.code)))
                continue;
            if (!moves) {
                record.set(SnippetKey::Cursor, plist::Value::newArray());
                moves = record.arrayForKey(SnippetKey::Cursor);
            }
            moves->append(QString::fromUtf16(c.move));
            JVSXRemoveLastTwoCharacters(record);
            found = true;
            break;
        }
    }
}

void prepareSnippets(plist::Array& snippets, int expanderMode, bool canSelectWords)
{
    std::vector<RuleSubject> subjects;
    subjects.reserve(std::size_t(snippets.size()));
    for (qsizetype i = 0; i < snippets.size(); ++i) {
        plist::Dictionary* record = snippets[i].dictionary();
        if (record)
            prepareSnippetText(*record, expanderMode);
        subjects.push_back(record ? RuleSubject::of(*record) : RuleSubject{});
    }
    const ValidityIndex index(subjects, expanderMode == ExpanderModeImmediately);
    for (qsizetype i = 0; i < snippets.size(); ++i) {
        plist::Dictionary* record = snippets[i].dictionary();
        if (!record)
            continue;
        const RuleSubject& s = subjects[std::size_t(i)];
        const bool valid = !index.violation(s);
        setHasValidSnippetAbbreviation(*record, valid);
        if (valid && canSelectWords && hasNonAlphanumeric(s.abbreviation))
            record->setBool(true, SnippetKey::SelectsByCharacter);
    }
}

} // namespace snapwick
