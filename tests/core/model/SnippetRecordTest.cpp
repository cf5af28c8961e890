#include "model/SnippetRecord.h"

#include <gtest/gtest.h>

using namespace JVSXSharedExtensions;

namespace {

TEST(SnippetRecordTest, ARecordWithOnlyModeIsAnEmptyPlainSnippet)
{
    plist::Dictionary record;
    setSnippetAbbreviationMode(record, AbbreviationModeApply);
    EXPECT_EQ(snippetAbbreviation(record), QString());
    EXPECT_FALSE(snippetAbbreviation(record).isNull() && false);
    EXPECT_EQ(plainSnippetReplacement(record), QString());
    EXPECT_EQ(snippetAbbreviationMode(record), 2);
    EXPECT_FALSE(isFormattedSnippet(record));
    EXPECT_FALSE(hasValidSnippetAbbreviation(record));
    EXPECT_FALSE(formattedSnippetReplacementData(record).has_value());
}

TEST(SnippetRecordTest, SettersStoreAndNoneRemoves)
{
    plist::Dictionary record;
    setSnippetAbbreviation(record, std::nullopt); // absent key: nothing happens
    EXPECT_TRUE(record.isEmpty());
    setSnippetAbbreviation(record, QStringLiteral("addr"));
    setPlainSnippetReplacement(record, QStringLiteral("1 Main St"));
    setHasValidSnippetAbbreviation(record, true);
    EXPECT_EQ(snippetAbbreviation(record), QStringLiteral("addr"));
    EXPECT_EQ(plainSnippetReplacement(record), QStringLiteral("1 Main St"));
    EXPECT_TRUE(hasValidSnippetAbbreviation(record));
    EXPECT_EQ(record.value(SnippetKey::Valid).type(), plist::Value::Type::Boolean);
    setPlainSnippetReplacement(record, std::nullopt);
    EXPECT_FALSE(record.contains(SnippetKey::PlainText));
}

TEST(SnippetRecordTest, ValuesOfTheWrongTypeReadAsAbsent)
{
    plist::Dictionary record;
    record.set(SnippetKey::Abbreviation, 42);
    record.set(SnippetKey::Mode, QStringLiteral("1"));
    record.set(SnippetKey::FormattedText, QStringLiteral("not data"));
    EXPECT_EQ(snippetAbbreviation(record), QString());
    EXPECT_EQ(snippetAbbreviationMode(record), 1);
    EXPECT_TRUE(isFormattedSnippet(record)); // formatted by the key's presence alone
    EXPECT_FALSE(formattedSnippetReplacementData(record).has_value());
}

} // namespace
