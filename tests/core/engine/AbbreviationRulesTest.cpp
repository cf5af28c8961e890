#include "engine/AbbreviationRules.h"

#include "../../QtPrinters.h"
#include "model/SnippetRecord.h"

#include <gtest/gtest.h>
#include <random>

using namespace snapwick;
using namespace JVSXSharedExtensions;

namespace {

plist::Array
collection(std::initializer_list<std::tuple<const char16_t*, int, const char16_t*>> specs)
{
    plist::Array all;
    for (const auto& [abbreviation, mode, text] : specs) {
        plist::Value r = plist::Value::newDictionary();
        setSnippetAbbreviation(*r.dictionary(), QString::fromUtf16(abbreviation));
        setSnippetAbbreviationMode(*r.dictionary(), mode);
        setPlainSnippetReplacement(*r.dictionary(), QString::fromUtf16(text));
        all.append(r);
    }
    return all;
}

std::vector<std::optional<QString>> errors(const plist::Array& all, int expanderMode)
{
    std::vector<std::optional<QString>> literal;
    for (const plist::Value& r : all)
        literal.push_back(
            JVSXExtensions::snippetAbbreviationError(*r.dictionary(), all, expanderMode));
    EXPECT_EQ(literal,
              JVSXExtensions::snippetAbbreviationErrors(all, expanderMode)); // fast form agrees
    return literal;
}

const QString kInterfere =
    QStringLiteral("Error: The abbreviations \"%1\" and \"%2\" interfere with each other!");
const QString kInUse = QStringLiteral("Error: The abbreviation \"%1\" is already in use!");

TEST(AbbreviationRulesTest, PrefixesInterfereOnlyWhenExpandingImmediately)
{
    const plist::Array all = collection({{u"ab", 0, u"x"}, {u"abc", 0, u"y"}});
    const auto immediate = errors(all, 0);
    EXPECT_EQ(immediate[0], kInterfere.arg(QStringLiteral("ab"), QStringLiteral("abc")));
    EXPECT_EQ(immediate[1], kInterfere.arg(QStringLiteral("abc"), QStringLiteral("ab")));
    EXPECT_EQ(errors(all, 1), (std::vector<std::optional<QString>>{std::nullopt, std::nullopt}));
}

TEST(AbbreviationRulesTest, CaseOnlyDifferencesNeedMatchModeOnBoth)
{
    EXPECT_EQ(errors(collection({{u"Sig", 0, u"x"}, {u"sig", 0, u"y"}}), 0),
              (std::vector<std::optional<QString>>{std::nullopt, std::nullopt}));
    for (int expanderMode : {0, 1, 2}) {
        const auto e = errors(collection({{u"Sig", 1, u"x"}, {u"sig", 0, u"y"}}), expanderMode);
        EXPECT_EQ(e[0], kInterfere.arg(QStringLiteral("Sig"), QStringLiteral("sig")));
        EXPECT_EQ(e[1], kInterfere.arg(QStringLiteral("sig"), QStringLiteral("Sig")));
    }
}

TEST(AbbreviationRulesTest, DuplicatesAreValidOnlyWithEqualTextAndMode)
{
    EXPECT_EQ(errors(collection({{u"addr", 0, u"x"}, {u"addr", 0, u"x"}}), 1),
              (std::vector<std::optional<QString>>{std::nullopt, std::nullopt}));
    const auto text = errors(collection({{u"addr", 0, u"x"}, {u"addr", 0, u"y"}}), 1);
    EXPECT_EQ(text[0], kInUse.arg(QStringLiteral("addr")));
    EXPECT_EQ(text[1], kInUse.arg(QStringLiteral("addr")));
    const auto mode = errors(collection({{u"addr", 0, u"x"}, {u"addr", 2, u"x"}}), 1);
    EXPECT_EQ(mode[1], kInUse.arg(QStringLiteral("addr")));
}

TEST(AbbreviationRulesTest, EmptyAndWhiteSpaceAbbreviations)
{
    const auto e = errors(
        collection({{u"", 0, u"x"}, {u"a b", 0, u"x"}, {u"ab\t", 0, u"x"}, {u"x", 0, u"x"}}), 0);
    EXPECT_EQ(e[0], QString());
    EXPECT_EQ(e[1],
              QStringLiteral("Error: Abbreviations must not contain white-space characters!"));
    EXPECT_EQ(e[2], e[1]);
    EXPECT_EQ(e[3], std::nullopt); // one character is valid
    plist::Dictionary empty;
    EXPECT_FALSE(
        JVSXExtensions::hasValidSnippetAbbreviationForCollection(empty, plist::Array(), 0, true));
}

TEST(AbbreviationRulesTest, TheCollectionSizeLimitsTheComparison)
{
    const plist::Array all = collection({{u"ab", 0, u"x"}, {u"abc", 0, u"y"}});
    const plist::Dictionary& abc = *all.at(1).dictionary();
    EXPECT_TRUE(JVSXExtensions::hasValidSnippetAbbreviationForCollection(abc, all, 0, true));
    EXPECT_FALSE(JVSXExtensions::hasValidSnippetAbbreviationForCollection(abc, all, 1, true));
}

// The fast form must name the same first rule and the same first conflicting element
// as the literal walk, on lists full of the cases that matter.
TEST(AbbreviationRulesTest, FastFormAgreesWithTheLiteralRulesOnRandomLists)
{
    std::mt19937 random(11);
    const QStringList pieces = {QStringLiteral("a"), QStringLiteral("A"), QStringLiteral("b"),
                                QStringLiteral("ß"), QStringLiteral("İ"), QStringLiteral(" ")};
    for (int round = 0; round < 200; ++round) {
        std::vector<RuleSubject> all;
        const int n = 1 + int(random() % 30);
        for (int i = 0; i < n; ++i) {
            QString abbreviation;
            for (int k = int(random() % 4); k > 0; --k)
                abbreviation += pieces[int(random() % (round % 3 == 0 ? pieces.size() : 4))];
            all.push_back({abbreviation, std::int64_t(random() % 3),
                           random() % 2 ? QStringLiteral("x") : QStringLiteral("y")});
        }
        for (bool immediately : {true, false}) {
            const ValidityIndex index(all, immediately);
            for (const RuleSubject& s : all)
                EXPECT_EQ(index.violation(s),
                          literalViolation(s, all, qsizetype(all.size()), immediately))
                    << s.abbreviation.toStdString() << " mode " << s.mode << " immediately "
                    << immediately;
        }
    }
}

} // namespace
