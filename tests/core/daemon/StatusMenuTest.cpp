#include "daemon/StatusMenu.h"

#include "model/SnippetRecord.h"

#include <gtest/gtest.h>

using namespace snapwick;

namespace {

// Records the menu as one letter per item: S snippet, - separator, P preferences, E empty.
class RecordingMenu : public StatusMenuSink
{
public:
    QString items;
    QStringList toolTips;

    int itemCount() const override { return int(items.size()); }
    bool addSnippetItem(const plist::DictionaryPtr&, const QString& toolTip) override
    {
        items += u'S';
        toolTips << toolTip;
        return true;
    }
    void insertSeparator(int position) override { items.insert(position, u'-'); }
    void addSeparator() override { items += u'-'; }
    void addPreferencesItem(const QString& title, const QString&) override
    {
        EXPECT_EQ(title, QStringLiteral("Snapwick Preferences..."));
        items += u'P';
    }
    void addDisabledItem(const QString& title) override
    {
        EXPECT_EQ(title, QStringLiteral("(Empty)"));
        items += u'E';
    }
};

plist::Array snippets(const std::vector<const char*>& replacements)
{
    plist::Array list;
    for (const char* text : replacements) {
        plist::Value record = plist::Value::newDictionary();
        JVSXSharedExtensions::setPlainSnippetReplacement(*record.dictionary(),
                                                         QString::fromUtf8(text));
        list.append(record);
    }
    return list;
}

struct MenuCase
{
    const char* name;
    std::vector<const char*> replacements;
    int clientSeparatorIndex;
    bool paneInstalled;
    const char* expected;
};

class StatusMenuFill : public testing::TestWithParam<MenuCase>
{};

TEST_P(StatusMenuFill, FollowsTheSeparatorAndPreferencesRules)
{
    const MenuCase& c = GetParam();
    RecordingMenu menu;
    fillStatusMenu(menu, snippets(c.replacements), c.clientSeparatorIndex,
                   c.paneInstalled ? std::optional<QString>(QStringLiteral("/p.desktop"))
                                   : std::nullopt);
    EXPECT_EQ(menu.items, QString::fromLatin1(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StatusMenuFill,
    testing::Values(MenuCase{"own_only", {"a", "b"}, -1, false, "SS"},
                    MenuCase{"one_remote_gets_no_separator", {"a", "r"}, 1, false, "SS"},
                    MenuCase{"two_remote_get_a_separator", {"a", "r", "s"}, 1, false, "S-SS"},
                    MenuCase{"no_own_gets_no_separator", {"r", "s", "t"}, 0, false, "SSS"},
                    MenuCase{"empty_replacements_are_left_out", {"", "a", ""}, -1, false, "S"},
                    // The separator position counts items, not snippets.
                    MenuCase{"separator_after_skipped_own", {"a", "", "r", "s"}, 2, false, "S-SS"},
                    MenuCase{"preferences_follow_a_separator", {"a"}, -1, true, "S-P"},
                    MenuCase{"preferences_alone", {""}, -1, true, "P"},
                    MenuCase{"nothing_at_all", {"", ""}, -1, false, "E"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StatusMenu, FillsOnlyAnEmptyMenuAndShowsTheFullTextAsToolTip)
{
    RecordingMenu menu;
    fillStatusMenu(menu, snippets({"line one\nline two"}), -1, std::nullopt);
    fillStatusMenu(menu, snippets({"again"}), -1, std::nullopt);
    EXPECT_EQ(menu.items, QStringLiteral("S"));
    EXPECT_EQ(menu.toolTips, QStringList{QStringLiteral("line one\nline two")});
}

TEST(StatusMenu, ItemWidthDefaultsAndStaysDrawable)
{
    const QString key = QStringLiteral("Snippet Menu Item Width");
    plist::Dictionary settings;
    EXPECT_EQ(statusMenuItemWidth(settings), 220);
    for (auto [stored, used] : {std::pair{300, 300}, {0, 100}, {-5, 100}, {1 << 30, 1000}}) {
        settings.set(key, plist::Value(plist::Integer{stored}));
        EXPECT_EQ(statusMenuItemWidth(settings), used) << stored;
    }
}

} // namespace
