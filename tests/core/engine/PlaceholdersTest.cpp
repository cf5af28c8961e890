#include "engine/Placeholders.h"

#include "../../QtPrinters.h"
#include "engine/SnippetPreparation.h"
#include "fake/FakeDesktop.h"
#include "model/FormattedText.h"
#include "model/SnippetRecord.h"

#include <QTimeZone>
#include <gtest/gtest.h>

using namespace snapwick;
using namespace JVSXExtensions;

namespace {

// Friday, 11 December 2026, 14:05:09.042, one hour east of UTC.
QDateTime moment()
{
    return QDateTime(QDate(2026, 12, 11), QTime(14, 5, 9, 42), QTimeZone(3600));
}

const CalendarLocale& english()
{
    static const CalendarLocale l =
        CalendarLocale::fromQLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    return l;
}

struct SubstitutionCase
{
    friend std::ostream& operator<<(std::ostream& os, const SubstitutionCase& c)
    {
        return os << c.name;
    }
    const char* name;
    QString text;
    int caseMode;
    QString expected;
};

class SubstitutionTest : public ::testing::TestWithParam<SubstitutionCase>
{};

TEST_P(SubstitutionTest, ReplacesPlaceholders)
{
    fake::FakeDesktop desktop;
    desktop.clipboard = QStringLiteral("clip %Y");
    const auto& c = GetParam();
    EXPECT_EQ(
        stringByReplacingDateFormattersWithDate(c.text, moment(), english(), c.caseMode, &desktop),
        c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SubstitutionTest,
    ::testing::Values(
        SubstitutionCase{"date_codes", QStringLiteral("%Y-%m-%d %H:%M:%S"), 0,
                         QStringLiteral("2026-12-11 14:05:09")},
        SubstitutionCase{"no_leading_zero", QStringLiteral("%1m/%1d %1H:%1M:%1S %e"), 0,
                         QStringLiteral("12/11 14:5:9 11")},
        SubstitutionCase{"names", QStringLiteral("%A %a %B %b"), 0,
                         QStringLiteral("Friday Fri December Dec")},
        SubstitutionCase{"twelve_hour", QStringLiteral("%I %1I %p"), 0, QStringLiteral("02 2 PM")},
        SubstitutionCase{"others", QStringLiteral("%y %j %w %F %z"), 0,
                         QStringLiteral("26 345 5 042 +0100")},
        SubstitutionCase{"escape", QStringLiteral("%%Y"), 0, QStringLiteral("%Y")},
        SubstitutionCase{"lone_percents_stay", QStringLiteral("100% and 50% off %"), 0,
                         QStringLiteral("100% and 50% off %")},
        SubstitutionCase{"markers_stay", QStringLiteral("a%|b%-"), 0, QStringLiteral("a%|b%-")},
        SubstitutionCase{"clipboard_any_case", QStringLiteral("[%CLIPBOARD|%Pasteboard]"), 0,
                         QStringLiteral("[clip %Y|clip %Y]")},
        SubstitutionCase{"clipboards_is_a_date_token", QStringLiteral("%clipboards"), 0,
                         QStringLiteral("12/11/26 2:05 PMlipboards")},
        SubstitutionCase{"letters_after_a_code", QStringLiteral("%Yabc"), 0,
                         QStringLiteral("2026abc")},
        SubstitutionCase{"unknown_code_copied", QStringLiteral("%q %2"), 0,
                         QStringLiteral("%q %2")},
        SubstitutionCase{"uppercase_all", QStringLiteral("Paste %clipboard on %B"), 1,
                         QStringLiteral("PASTE CLIP %Y ON DECEMBER")},
        SubstitutionCase{"capitalize_first", QStringLiteral("mrs Smith"), 2,
                         QStringLiteral("Mrs Smith")},
        SubstitutionCase{"lowercase_first", QStringLiteral("Mrs Smith"), 3,
                         QStringLiteral("mrs Smith")},
        SubstitutionCase{"modes_above_3_lowercase", QStringLiteral("Mrs"), 7,
                         QStringLiteral("mrs")},
        SubstitutionCase{"empty", QString(), 1, QString()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PlaceholdersTest, ReadsTheClipboardOnceAndOnlyWhenAsked)
{
    fake::FakeDesktop desktop;
    QString s = QStringLiteral("%Y");
    replaceDateFormattersWithDate(s, moment(), english(), 0, &desktop);
    EXPECT_EQ(desktop.clipboardReads, 0);
    s = QStringLiteral("%clipboard %clipboard");
    replaceDateFormattersWithDate(s, moment(), english(), 0, &desktop);
    EXPECT_EQ(desktop.clipboardReads, 1);
    EXPECT_EQ(s, QStringLiteral(" ")); // no plain text: the empty string
}

TEST(PlaceholdersTest, MonthNamesComeFromTheLocale)
{
    const CalendarLocale german =
        CalendarLocale::fromQLocale(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(stringByReplacingDateFormattersWithDate(QStringLiteral("%A, %1d. %B %Y"), moment(),
                                                      german, 0),
              QStringLiteral("Freitag, 11. Dezember 2026"));
    EXPECT_EQ(descriptionWithCalendarFormat(QStringLiteral("%x"), moment(), german),
              QStringLiteral("11.12.26"));
}

TEST(PlaceholdersTest, AttributedTextKeepsItsFormatting)
{
    text::Attributes bold;
    bold.set(text::AttributeName::Font, text::Font{QStringLiteral("Times-Bold"), 12});
    text::AttributedString s(QStringLiteral("On "));
    s.append(QStringLiteral("%B"), bold);
    s.append(QStringLiteral(" ok"), {});
    replaceDateFormattersWithDate(s, moment(), english(), 1);
    EXPECT_EQ(s.string(), QStringLiteral("ON DECEMBER OK"));
    EXPECT_TRUE(s.attributesAt(3) == bold);
    EXPECT_TRUE(s.attributesAt(10) == bold);
    EXPECT_TRUE(s.attributesAt(11).isEmpty());
}

TEST(PlaceholdersTest, CaseComesFromTheTypedAbbreviationInApplyMode)
{
    EXPECT_EQ(caseConversionModeFor(2, QStringLiteral("sig")), CaseConversionLowercaseFirst);
    EXPECT_EQ(caseConversionModeFor(2, QStringLiteral("Sig")), CaseConversionCapitalizeFirst);
    EXPECT_EQ(caseConversionModeFor(2, QStringLiteral("SIG")), CaseConversionUppercaseAll);
    EXPECT_EQ(caseConversionModeFor(2, QStringLiteral("42")), CaseConversionUppercaseAll);
    EXPECT_EQ(caseConversionModeFor(1, QStringLiteral("SIG")), CaseConversionNone);
    EXPECT_EQ(caseConversionModeFor(2, std::nullopt), CaseConversionNone);
}

TEST(PlaceholdersTest, DeletingTheFirstOccurrence)
{
    EXPECT_EQ(stringByDeletingFirstOccurenceString(QStringLiteral("a%|b%|"), QStringLiteral("%|")),
              QStringLiteral("ab%|"));
    const auto s = std::make_shared<const text::AttributedString>(QStringLiteral("none"));
    EXPECT_EQ(attributedStringByDeletingFirstOccurenceString(s, QStringLiteral("%|")), s);
    EXPECT_EQ(attributedStringByDeletingFirstOccurenceString(s, QStringLiteral("o"))->string(),
              QStringLiteral("nne"));
}

struct PreparationCase
{
    friend std::ostream& operator<<(std::ostream& os, const PreparationCase& c)
    {
        return os << c.name;
    }
    const char* name;
    QString text;
    int expanderMode;
    QString preparedText;
    bool removesWhiteSpace;
    QStringList cursor;
};

class PreparationTest : public ::testing::TestWithParam<PreparationCase>
{};

TEST_P(PreparationTest, TurnsEndCodesIntoMarks)
{
    const auto& c = GetParam();
    plist::Array snippets;
    plist::Value record = plist::Value::newDictionary();
    JVSXSharedExtensions::setSnippetAbbreviation(*record.dictionary(), QStringLiteral("sig"));
    JVSXSharedExtensions::setPlainSnippetReplacement(*record.dictionary(), c.text);
    JVSXSharedExtensions::setFormattedSnippetReplacement(
        *record.dictionary(), std::make_shared<text::AttributedString>(
                                  c.text, JVSXSharedExtensions::defaultAttributes()));
    snippets.append(record);
    prepareSnippets(snippets, c.expanderMode, true);
    const plist::Dictionary& r = *record.dictionary();
    EXPECT_EQ(JVSXSharedExtensions::plainSnippetReplacement(r), c.preparedText);
    EXPECT_EQ(JVSXSharedExtensions::formattedSnippetReplacement(r)->string(), c.preparedText);
    EXPECT_EQ(r.contains(JVSXSharedExtensions::SnippetKey::RemovesWhiteSpace), c.removesWhiteSpace);
    QStringList moves;
    if (const plist::Array* cursor = r.arrayForKey(JVSXSharedExtensions::SnippetKey::Cursor)) {
        for (const plist::Value& v : *cursor)
            moves << v.string();
    }
    EXPECT_EQ(moves, c.cursor);
    EXPECT_TRUE(JVSXSharedExtensions::hasValidSnippetAbbreviation(r));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PreparationTest,
    ::testing::Values(
        PreparationCase{
            "remove_white_space", QStringLiteral("Hi%-"), 1, QStringLiteral("Hi"), true, {}},
        PreparationCase{"keep_white_space_in_mode_2",
                        QStringLiteral("Hi%+"),
                        2,
                        QStringLiteral("Hi"),
                        false,
                        {}},
        PreparationCase{
            "mode_2_removes_by_default", QStringLiteral("Hi"), 2, QStringLiteral("Hi"), true, {}},
        PreparationCase{"cursor_codes_backwards",
                        QStringLiteral("()%<%^"),
                        1,
                        QStringLiteral("()"),
                        false,
                        {QStringLiteral("^"), QStringLiteral("<")}},
        PreparationCase{"end_code_before_cursor_codes",
                        QStringLiteral("x%<%-"),
                        1,
                        QStringLiteral("x"),
                        true,
                        {QStringLiteral("<")}},
        PreparationCase{"end_code_inside_stays",
                        QStringLiteral("x%-%<"),
                        1,
                        QStringLiteral("x%-"),
                        false,
                        {QStringLiteral("<")}},
        PreparationCase{
            "only_the_last_end_code", QStringLiteral("x%-%-"), 1, QStringLiteral("x%-"), true, {}},
        PreparationCase{"cursor_marker_keeps_codes",
                        QStringLiteral("a%|b%<"),
                        1,
                        QStringLiteral("a%|b%<"),
                        false,
                        {}},
        PreparationCase{"just_an_end_code", QStringLiteral("%-"), 1, QString(), true, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PreparationTest, CopiesOfOneSnippetAreJudgedAlike)
{
    plist::Array snippets;
    for (int i = 0; i < 2; ++i) {
        plist::Value record = plist::Value::newDictionary();
        JVSXSharedExtensions::setSnippetAbbreviation(*record.dictionary(), QStringLiteral("addr"));
        JVSXSharedExtensions::setPlainSnippetReplacement(*record.dictionary(),
                                                         QStringLiteral("1 Main St%-"));
        snippets.append(record);
    }
    prepareSnippets(snippets, 1, true);
    EXPECT_TRUE(JVSXSharedExtensions::hasValidSnippetAbbreviation(*snippets.at(0).dictionary()));
    EXPECT_TRUE(JVSXSharedExtensions::hasValidSnippetAbbreviation(*snippets.at(1).dictionary()));
}

TEST(PreparationTest, MarksAbbreviationsWordSelectionCannotTake)
{
    plist::Array snippets;
    for (const char16_t* a : {u"sig", u"e-mail", u"naïve"}) {
        plist::Value record = plist::Value::newDictionary();
        JVSXSharedExtensions::setSnippetAbbreviation(*record.dictionary(), QString::fromUtf16(a));
        snippets.append(record);
    }
    prepareSnippets(snippets, 1, true);
    EXPECT_FALSE(snippets.at(0).dictionary()->contains(
        JVSXSharedExtensions::SnippetKey::SelectsByCharacter));
    EXPECT_TRUE(snippets.at(1).dictionary()->contains(
        JVSXSharedExtensions::SnippetKey::SelectsByCharacter));
    EXPECT_FALSE(snippets.at(2).dictionary()->contains(
        JVSXSharedExtensions::SnippetKey::SelectsByCharacter));
    prepareSnippets(snippets, 1, false); // no word selection: no mark needed
}

TEST(CalendarFormatTest, ConvertsQtPatterns)
{
    EXPECT_EQ(calendarFormatFromQtPattern(QStringLiteral("dd.MM.yy")), QStringLiteral("%d.%m.%y"));
    EXPECT_EQ(calendarFormatFromQtPattern(QStringLiteral("dddd, MMMM d, yyyy")),
              QStringLiteral("%A, %B %1d, %Y"));
    EXPECT_EQ(calendarFormatFromQtPattern(QStringLiteral("h:mm AP")), QStringLiteral("%1I:%M %p"));
    EXPECT_EQ(calendarFormatFromQtPattern(QStringLiteral("HH:mm:ss t")),
              QStringLiteral("%H:%M:%S %Z"));
    EXPECT_EQ(calendarFormatFromQtPattern(QStringLiteral("d 'de' MMMM '100%'")),
              QStringLiteral("%1d de %B 100%%"));
    EXPECT_EQ(calendarFormatFromQtPattern(QStringLiteral("yyyy-'W'ww")),
              QStringLiteral("%Y-W")); // no week code
}

} // namespace
