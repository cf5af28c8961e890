#include "engine/KeyLog.h"

#include "../../QtPrinters.h"
#include "engine/SnippetPreparation.h"
#include "fake/FakeDesktop.h"
#include "model/SnippetRecord.h"

#include <gtest/gtest.h>
#include <random>

using namespace snapwick;
using namespace JVSXSharedExtensions;

namespace {

struct SnippetSpec
{
    const char16_t* abbreviation;
    int mode;
    const char16_t* text = u"replacement";
};

// Types through the key log as the key monitor would deliver keys. In `keys`:
// "⌫" Backspace, "←" Left Arrow, "␣" space, "⇥" Tab, "↵" Return, "⌥␣" Option+Space,
// "^x" Control+x, "⌘x" Command+x, "🖱" a pointer movement; anything else is typed.
class Typist
{
public:
    Typist(int expanderMode, const std::vector<SnippetSpec>& specs, bool canSelectWords = true)
        : m_keyLog({m_desktop, m_desktop, m_desktop, m_desktop})
    {
        m_snippets = std::make_shared<plist::Array>();
        for (const SnippetSpec& s : specs) {
            plist::Value record = plist::Value::newDictionary();
            setSnippetAbbreviation(*record.dictionary(), QString::fromUtf16(s.abbreviation));
            setSnippetAbbreviationMode(*record.dictionary(), s.mode);
            setPlainSnippetReplacement(*record.dictionary(), QString::fromUtf16(s.text));
            m_snippets->append(record);
        }
        prepareSnippets(*m_snippets, expanderMode, canSelectWords);
        m_desktop.snippets = m_snippets.get();
        m_keyLog.setSnippets(m_snippets);
        m_keyLog.setExpansionMode(expanderMode);
        m_keyLog.setCanSelectWords(canSelectWords);
    }

    void type(const QString& keys)
    {
        for (qsizetype i = 0; i < keys.size(); ++i) {
            const QChar c = keys[i];
            if (c == u'^' || c == u'⌘') {
                const QString k = keys.mid(++i, 1);
                press(c == u'^' ? ControlKeyMask : CommandKeyMask, k, k);
            } else if (c == u'⌥' && keys.mid(i + 1, 1) == u"␣") {
                press(AlternateKeyMask, QStringLiteral("\u00a0"), QStringLiteral(" "));
                ++i;
            } else if (keys.mid(i, 2) == u"🖱") {
                m_desktop.mouse += QPointF(3, 0);
                ++i;
            } else {
                static const QHash<QChar, QChar> named{{u'⌫', QChar(DeleteCharacter)},
                                                       {u'←', QChar(LeftArrowFunctionKey)},
                                                       {u'␣', u' '},
                                                       {u'⇥', u'\t'},
                                                       {u'↵', u'\r'}};
                const QString k = named.contains(c) ? QString(named[c]) : QString(c);
                press(0, k, k.toLower() == k ? k : k.toLower());
            }
        }
    }

    void press(std::uint32_t modifiers, const QString& characters, const QString& ignoringModifiers)
    {
        m_keyLog.keyLog(KeyEvent{modifiers, characters, ignoringModifiers});
    }

    fake::FakeDesktop& desktop() { return m_desktop; }
    KeyLog& keyLog() { return m_keyLog; }

private:
    fake::FakeDesktop m_desktop;
    plist::ArrayPtr m_snippets;
    KeyLog m_keyLog;
};

struct TypingCase
{
    friend std::ostream& operator<<(std::ostream& os, const TypingCase& c) { return os << c.name; }
    const char* name;
    int expanderMode;
    std::vector<SnippetSpec> snippets;
    const char16_t* keys;
    std::vector<std::pair<qsizetype, const char16_t*>>
        pastes; // snippet index, abbreviation as typed
    const char16_t* keyLogAfter;
};

class TypingTest : public ::testing::TestWithParam<TypingCase>
{};

TEST_P(TypingTest, ExpandsWhenTheKeyLogEqualsAnAbbreviation)
{
    const TypingCase& c = GetParam();
    Typist t(c.expanderMode, c.snippets);
    const fake::FakeDesktop& desktop = t.desktop();
    t.type(QString::fromUtf16(c.keys));
    ASSERT_EQ(desktop.pastes.size(), c.pastes.size());
    for (std::size_t i = 0; i < c.pastes.size(); ++i) {
        EXPECT_EQ(desktop.pastes[i].snippetIndex, c.pastes[i].first);
        EXPECT_EQ(desktop.pastes[i].abbreviation, QString::fromUtf16(c.pastes[i].second));
    }
    EXPECT_EQ(t.keyLog().currentKeyLog(), QString::fromUtf16(c.keyLogAfter));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TypingTest,
    ::testing::Values(
        TypingCase{
            "immediately_at_the_last_character", 0, {{u"abc", 0}}, u"abc", {{0, u"abc"}}, u""},
        TypingCase{"only_after_a_boundary", 0, {{u"abc", 0}}, u"xabc", {}, u"xabc"},
        TypingCase{"pointer_movement_restarts", 0, {{u"abc", 0}}, u"ab🖱c", {}, u"c"},
        TypingCase{"after_space", 1, {{u"abc", 0}}, u"abc␣", {{0, u"abc"}}, u""},
        TypingCase{"longer_word_does_not", 1, {{u"abc", 0}}, u"abcd␣", {}, u""},
        TypingCase{"tab_and_return_are_boundaries",
                   2,
                   {{u"abc", 0}},
                   u"abc⇥abc↵",
                   {{0, u"abc"}, {0, u"abc"}},
                   u""},
        TypingCase{"option_space_is_a_boundary", 1, {{u"abc", 0}}, u"abc⌥␣", {{0, u"abc"}}, u""},
        TypingCase{"backspace_clears_all", 0, {{u"abc", 0}}, u"abx⌫c", {}, u"c"},
        TypingCase{"arrows_clear", 1, {{u"abc", 0}}, u"ab←c␣", {}, u""},
        TypingCase{
            "control_and_command_clear", 0, {{u"abc", 0}}, u"ab^ac⌘zabc", {{0, u"abc"}}, u""},
        TypingCase{"case_must_match_in_mode_0", 0, {{u"Abc", 0}}, u"abc", {}, u"abc"},
        TypingCase{"case_ignored_above_0",
                   1,
                   {{u"abc", 1}, {u"xyz", 2}},
                   u"ABC␣Xyz␣",
                   {{0, u"ABC"}, {1, u"Xyz"}},
                   u""},
        TypingCase{"first_of_equal_snippets",
                   1,
                   {{u"addr", 0}, {u"addr", 0}},
                   u"addr␣",
                   {{0, u"addr"}},
                   u""},
        TypingCase{
            "invalid_snippets_are_skipped", 0, {{u"ab", 0}, {u"abc", 0}}, u"abc", {}, u"abc"},
        TypingCase{"negative_mode_never_compares", -1, {{u"abc", 0}}, u"abc␣abc", {}, u"abc"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(KeyLogTest, NothingExpandsInExceptedApplicationsAndEachComparisonClears)
{
    Typist t(0, {{u"abc", 0}});
    t.desktop().front =
        ApplicationIdentity{QStringLiteral("org.example.textedit"), QStringLiteral("TextEdit"), {}};
    t.keyLog().setExceptions({QStringLiteral("textedit")});
    t.type(QStringLiteral("ab"));
    EXPECT_EQ(t.keyLog().currentKeyLog(), QString()); // cleared at every comparison
    t.type(QStringLiteral("abc"));
    EXPECT_TRUE(t.desktop().pastes.empty());
}

TEST(KeyLogTest, NothingExpandsInTheSystemPreferences)
{
    Typist t(0, {{u"abc", 0}});
    t.desktop().front = ApplicationIdentity{
        QStringLiteral("com.apple.systempreferences"), QStringLiteral("System Preferences"), {}};
    t.type(QStringLiteral("abc"));
    EXPECT_TRUE(t.desktop().pastes.empty());
    EXPECT_EQ(t.keyLog().currentKeyLog(), QString());
}

TEST(KeyLogTest, AFailedExpansionBeeps)
{
    Typist t(1, {{u"abc", 0}});
    t.desktop().pasteSucceeds = false;
    t.type(QStringLiteral("abc␣"));
    EXPECT_EQ(t.desktop().pastes.size(), 1u);
    EXPECT_EQ(t.desktop().beeps, 1);
}

struct ApplicationCase
{
    friend std::ostream& operator<<(std::ostream& os, const ApplicationCase& c)
    {
        return os << c.id.toStdString();
    }
    QString id;
    QString windowClass;
    bool canSelectWords;
    ReplacementMode mode;
    PasteShortcut paste;
};

class ApplicationRulesTest : public ::testing::TestWithParam<ApplicationCase>
{};

TEST_P(ApplicationRulesTest, ChoosesRemovalAndPaste)
{
    const ApplicationCase& c = GetParam();
    Typist t(1, {{u"abc", 0}}, c.canSelectWords);
    t.desktop().front = ApplicationIdentity{c.id, QStringLiteral("App"), c.windowClass};
    t.type(QStringLiteral("abc␣"));
    ASSERT_EQ(t.desktop().pastes.size(), 1u);
    EXPECT_EQ(t.desktop().pastes.front().replacementMode, c.mode);
    EXPECT_EQ(behaviourFor(t.desktop().front, c.canSelectWords).pasteShortcut, c.paste);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ApplicationRulesTest,
    ::testing::Values(ApplicationCase{QStringLiteral("com.apple.Terminal"),
                                      {},
                                      true,
                                      ReplacementModeBackspace,
                                      PasteShortcut::ControlV},
                      ApplicationCase{QStringLiteral("com.apple.TextEdit"),
                                      {},
                                      true,
                                      ReplacementModeSelectWord,
                                      PasteShortcut::ControlV},
                      ApplicationCase{QStringLiteral("com.apple.TextEdit"),
                                      {},
                                      false,
                                      ReplacementModeSelectCharacters,
                                      PasteShortcut::ControlV},
                      ApplicationCase{QStringLiteral("com.microsoft.word"),
                                      {},
                                      true,
                                      ReplacementModeSelectWord,
                                      PasteShortcut::ControlV},
                      ApplicationCase{QStringLiteral("com.barebones.bbedit"),
                                      {},
                                      false,
                                      ReplacementModeSelectCharacters,
                                      PasteShortcut::ControlV},
                      ApplicationCase{QStringLiteral("org.gnome.gedit"),
                                      {},
                                      true,
                                      ReplacementModeSelectCharacters,
                                      PasteShortcut::ControlV},
                      ApplicationCase{QStringLiteral("org.gnome.Terminal"),
                                      {},
                                      true,
                                      ReplacementModeBackspace,
                                      PasteShortcut::ControlShiftV},
                      ApplicationCase{QStringLiteral("org.kde.konsole"),
                                      {},
                                      true,
                                      ReplacementModeBackspace,
                                      PasteShortcut::ControlShiftV},
                      ApplicationCase{QStringLiteral("my-terminal-app"),
                                      {},
                                      true,
                                      ReplacementModeBackspace,
                                      PasteShortcut::ControlShiftV},
                      ApplicationCase{QStringLiteral("xterm"), QStringLiteral("XTerm"), true,
                                      ReplacementModeBackspace, PasteShortcut::ShiftInsert},
                      ApplicationCase{QStringLiteral("urxvt"),
                                      {},
                                      true,
                                      ReplacementModeBackspace,
                                      PasteShortcut::ControlAltV},
                      ApplicationCase{QStringLiteral("emacs"),
                                      {},
                                      true,
                                      ReplacementModeBackspace,
                                      PasteShortcut::ShiftInsert},
                      ApplicationCase{QString(), QStringLiteral("Tk"), true,
                                      ReplacementModeBackspace, PasteShortcut::ControlV},
                      ApplicationCase{QStringLiteral("wish"), QStringLiteral("Tk"), true,
                                      ReplacementModeBackspace, PasteShortcut::ControlV}));

TEST(SnippetMatcherTest, AgreesWithTheLiteralWalkOnRandomLists)
{
    std::mt19937 random(7);
    const QStringList pieces = {QStringLiteral("a"), QStringLiteral("B"), QStringLiteral("c"),
                                QStringLiteral("É"), QStringLiteral("ß")};
    auto word = [&] {
        QString w;
        for (int n = 1 + int(random() % 3); n > 0; --n)
            w += pieces[int(random() % pieces.size())];
        return w;
    };
    for (int round = 0; round < 50; ++round) {
        plist::Array snippets;
        for (int i = 0; i < 40; ++i) {
            plist::Value record = plist::Value::newDictionary();
            setSnippetAbbreviation(*record.dictionary(), word());
            setSnippetAbbreviationMode(*record.dictionary(), int(random() % 3));
            setHasValidSnippetAbbreviation(*record.dictionary(), random() % 4 != 0);
            snippets.append(record);
        }
        SnippetMatcher matcher;
        matcher.rebuild(snippets);
        for (int i = 0; i < 60; ++i) {
            const QString log = word();
            EXPECT_EQ(matcher.match(log, log.toLower()),
                      SnippetMatcher::literalMatch(snippets, log))
                << log.toStdString();
        }
    }
}

} // namespace
