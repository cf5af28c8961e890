#include "engine/SnippetExpansion.h"

#include "../../QtPrinters.h"
#include "engine/SnippetPreparation.h"
#include "fake/FakeDesktop.h"
#include "fake/FakeKeyboard.h"
#include "fake/FakePasteboard.h"
#include "keystrokes/KeyboardSimulator.h"
#include "model/FormattedText.h"
#include "model/SnippetRecord.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

using namespace snapwick;
using namespace JVSXSharedExtensions;

namespace {

class FakeSound : public SoundPlayer
{
public:
    int plays = 0;
    bool playing = false;
    bool isPlaying() const override { return playing; }
    void play() override
    {
        ++plays;
        playing = true;
    }
};

void waitFor(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

class ExpansionTest : public ::testing::Test
{
protected:
    ExpansionTest()
        : m_expansion({m_pasteboard, m_desktop, &m_sound,
                       [] { return QDateTime(QDate(2026, 12, 11), QTime(9, 30)); },
                       []() -> const CalendarLocale& {
                           static const CalendarLocale l =
                               CalendarLocale::fromQLocale(QLocale(QLocale::English));
                           return l;
                       }})
    {
        JVKSSetPoster(&m_keyboard);
    }
    ~ExpansionTest() override { JVKSSetPoster(nullptr); }

    plist::Value snippet(const QString& abbreviation, const QString& text, int expanderMode,
                         text::AttributedStringPtr formatted = nullptr)
    {
        plist::Array list;
        plist::Value record = plist::Value::newDictionary();
        setSnippetAbbreviation(*record.dictionary(), abbreviation);
        setPlainSnippetReplacement(*record.dictionary(), text);
        if (formatted)
            setFormattedSnippetReplacement(*record.dictionary(), formatted);
        list.append(record);
        prepareSnippets(list, expanderMode, true);
        m_expansion.setExpansionMode(expanderMode);
        return record;
    }

    QString expand(const plist::Value& record, const std::optional<QString>& typed,
                   ReplacementMode mode)
    {
        m_keyboard.events.clear();
        EXPECT_TRUE(m_expansion.pasteSnippet(*record.dictionary(), typed, 0, mode));
        return m_keyboard.line();
    }

    QStringList clipboardTypes() { return m_pasteboard.types(); }
    QString clipboardText()
    {
        return QString::fromUtf8(
            m_pasteboard.dataForType(PasteboardType::PlainText).value_or(QByteArray()));
    }

    fake::FakeDesktop m_desktop;
    fake::FakeKeyboard m_keyboard;
    fake::FakePasteboard m_pasteboard;
    FakeSound m_sound;
    SnippetExpansion m_expansion;
};

struct RemovalCase
{
    friend std::ostream& operator<<(std::ostream& os, const RemovalCase& c) { return os << c.name; }
    const char* name;
    int expanderMode;
    const char16_t* text;
    const char16_t* abbreviation;
    ReplacementMode mode;
    const char16_t* keystrokes;
};

class RemovalTest : public ExpansionTest, public ::testing::WithParamInterface<RemovalCase>
{};

TEST_P(RemovalTest, TakesOutTheAbbreviationThenPastes)
{
    const RemovalCase& c = GetParam();
    const plist::Value record =
        snippet(QString::fromUtf16(c.abbreviation), QString::fromUtf16(c.text), c.expanderMode);
    EXPECT_EQ(expand(record, QString::fromUtf16(c.abbreviation), c.mode),
              QString::fromUtf16(c.keystrokes));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RemovalTest,
    ::testing::Values(RemovalCase{"after_space_by_character", 1, u"Hello", u"abc",
                                  ReplacementModeSelectCharacters, u"← S+ ← ← ← S- ⌘+ v ⌘- →"},
                      RemovalCase{"removing_the_space", 1, u"Hello%-", u"abc",
                                  ReplacementModeSelectCharacters, u"S+ ← ← ← ← S- ⌘+ v ⌘-"},
                      RemovalCase{"mode_2_removes_the_space", 2, u"Hello", u"abc",
                                  ReplacementModeSelectCharacters, u"S+ ← ← ← ← S- ⌘+ v ⌘-"},
                      RemovalCase{"mode_2_keeps_it_with_plus", 2, u"Hello%+", u"abc",
                                  ReplacementModeSelectCharacters, u"← S+ ← ← ← S- ⌘+ v ⌘- →"},
                      RemovalCase{"terminal_backspaces", 0, u"Hello", u"abc",
                                  ReplacementModeBackspace, u"⌫ ⌫ ⌫ ⌘+ v ⌘-"},
                      RemovalCase{"terminal_after_space", 1, u"Hello", u"abc",
                                  ReplacementModeBackspace, u"← ⌫ ⌫ ⌫ ⌘+ v ⌘- →"},
                      RemovalCase{"terminal_removing_space", 1, u"Hello%-", u"abc",
                                  ReplacementModeBackspace, u"⌫ ⌫ ⌫ ⌫ ⌘+ v ⌘-"},
                      RemovalCase{"word_selection", 0, u"Hello", u"abc", ReplacementModeSelectWord,
                                  u"S+ O+ ← S- O- ⌘+ v ⌘-"},
                      RemovalCase{"word_selection_needs_letters", 0, u"Hello", u"e.g",
                                  ReplacementModeSelectWord, u"S+ ← ← ← S- ⌘+ v ⌘-"},
                      RemovalCase{"word_selection_with_space", 1, u"Hello%-", u"abc",
                                  ReplacementModeSelectWord, u"S+ ← S- S+ O+ ← S- O- ⌘+ v ⌘-"},
                      RemovalCase{"immediately", 0, u"Hello", u"abc",
                                  ReplacementModeSelectCharacters, u"S+ ← ← ← S- ⌘+ v ⌘-"},
                      RemovalCase{"cursor_marker", 1, u"Dear %|,", u"abc",
                                  ReplacementModeSelectCharacters, u"← S+ ← ← ← S- ⌘+ v ⌘- ←"},
                      RemovalCase{"cursor_list", 1, u"()%<%^", u"abc",
                                  ReplacementModeSelectCharacters, u"← S+ ← ← ← S- ⌘+ v ⌘- ↑ ←"},
                      RemovalCase{"user_perceived_characters", 0, u"x", u"e\u0301\U0001F600",
                                  ReplacementModeSelectCharacters, u"S+ ← ← S- ⌘+ v ⌘-"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ExpansionTest, FromTheMenuNothingIsRemoved)
{
    EXPECT_EQ(expand(snippet(QStringLiteral("abc"), QStringLiteral("Hello"), 1), std::nullopt,
                     ReplacementModeSelectCharacters),
              QStringLiteral("⌘+ v ⌘-"));
    EXPECT_EQ(expand(snippet(QStringLiteral("abc"), QStringLiteral("a%|bc"), 1), std::nullopt,
                     ReplacementModeSelectCharacters),
              QStringLiteral("⌘+ v ⌘- ← ←"));
}

TEST_F(ExpansionTest, PutsEveryFormOnTheClipboardInOrder)
{
    plist::Value plain = snippet(QStringLiteral("d"), QStringLiteral("Dear %|, on %B"), 1);
    expand(plain, QStringLiteral("d"), ReplacementModeSelectCharacters);
    EXPECT_EQ(clipboardTypes(),
              (QStringList{PasteboardType::Transient, PasteboardType::PasswordManagerHint,
                           PasteboardType::PlainText}));
    EXPECT_EQ(clipboardText(), QStringLiteral("Dear , on December"));

    const auto formatted =
        std::make_shared<text::AttributedString>(QStringLiteral("Bold %B"), defaultAttributes());
    expand(snippet(QStringLiteral("f"), QStringLiteral("Bold %B"), 1, formatted),
           QStringLiteral("f"), ReplacementModeSelectCharacters);
    EXPECT_EQ(clipboardTypes(),
              (QStringList{PasteboardType::Transient, PasteboardType::PasswordManagerHint,
                           PasteboardType::PlainText, PasteboardType::Rtf, PasteboardType::Rtfd}));
    EXPECT_TRUE(m_pasteboard.dataForType(PasteboardType::Rtf)->contains("Bold December"));
    EXPECT_TRUE(m_pasteboard.dataForType(PasteboardType::Rtfd)->contains("Bold December"));
}

TEST_F(ExpansionTest, APictureSnippetPastesThePictureAlone)
{
    QImage image(3, 3, QImage::Format_RGB32);
    image.fill(Qt::yellow);
    const auto picture = attributedStringWithAttachedTIFFImage(image);
    ASSERT_TRUE(picture);
    expand(snippet(QStringLiteral("pic"), QString(QChar(0xFFFC)), 1, picture),
           QStringLiteral("pic"), ReplacementModeSelectCharacters);
    EXPECT_EQ(clipboardTypes(),
              (QStringList{PasteboardType::Transient, PasteboardType::PasswordManagerHint,
                           PasteboardType::Tiff, PasteboardType::Png}));
    EXPECT_EQ(QImage::fromData(*m_pasteboard.dataForType(PasteboardType::Png)).size(), QSize(3, 3));
}

TEST_F(ExpansionTest, AnEmptyTextFailsAndNoClipboardMeansNoKeystrokes)
{
    const plist::Value empty = snippet(QStringLiteral("e"), QStringLiteral("%-"), 1);
    EXPECT_FALSE(m_expansion.pasteSnippet(*empty.dictionary(), QStringLiteral("e"), 0,
                                          ReplacementModeSelectCharacters));
    m_pasteboard.available = false;
    EXPECT_EQ(expand(snippet(QStringLiteral("a"), QStringLiteral("x"), 1), QStringLiteral("a"),
                     ReplacementModeSelectCharacters),
              QString());
}

TEST_F(ExpansionTest, PastesWithTheFrontApplicationsShortcut)
{
    const plist::Value record = snippet(QStringLiteral("a"), QStringLiteral("x"), 0);
    const std::pair<const char16_t*, const char16_t*> cases[] = {
        {u"org.gnome.Terminal", u"⌫ S+ ⌘+ v S- ⌘-"},
        {u"urxvt", u"⌫ A+ ⌘+ v ⌘- A-"},
        {u"xterm", u"⌫ S+ Ins S-"}};
    for (const auto& [id, keys] : cases) {
        m_desktop.front = ApplicationIdentity{QString::fromUtf16(id), QStringLiteral("T"), {}};
        EXPECT_EQ(expand(record, QStringLiteral("a"), ReplacementModeBackspace),
                  QString::fromUtf16(keys))
            << QString::fromUtf16(id).toStdString();
    }
}

TEST_F(ExpansionTest, TheSoundPlaysOnceWhileItIsStillPlaying)
{
    m_expansion.setAuditoryFeedback(true);
    const plist::Value record = snippet(QStringLiteral("a"), QStringLiteral("x"), 1);
    expand(record, QStringLiteral("a"), ReplacementModeSelectCharacters);
    expand(record, QStringLiteral("a"), ReplacementModeSelectCharacters);
    EXPECT_EQ(m_sound.plays, 1);
}

TEST_F(ExpansionTest, RestoresTheUsersClipboardAfterTheReplacementWasRead)
{
    m_pasteboard.declareTypes({QStringLiteral("text/plain;charset=utf-8"),
                               QStringLiteral("image/png"), QStringLiteral("x-custom")});
    m_pasteboard.setData("user text", QStringLiteral("text/plain;charset=utf-8"));
    m_pasteboard.setData("\x89PNG", QStringLiteral("image/png"));
    m_pasteboard.setData(QByteArray("\0\1", 2), QStringLiteral("x-custom"));
    const QStringList before = m_pasteboard.types();
    m_expansion.setRestorePasteboard(true);
    m_pasteboard.readByApplication = false; // a slow application: reads only when told
    expand(snippet(QStringLiteral("a"), QStringLiteral("x"), 1), QStringLiteral("a"),
           ReplacementModeSelectCharacters);
    EXPECT_TRUE(m_expansion.preservation().isRestorePending());
    waitFor(1000);
    EXPECT_EQ(clipboardText(), QStringLiteral("x")); // not read yet: the replacement stays
    m_pasteboard.applicationReads();
    waitFor(150);
    EXPECT_EQ(m_pasteboard.types(), before);
    EXPECT_EQ(clipboardText(), QStringLiteral("user text"));
    EXPECT_EQ(*m_pasteboard.dataForType(QStringLiteral("x-custom")), QByteArray("\0\1", 2));
    EXPECT_FALSE(m_expansion.preservation().hasBackup());
}

TEST_F(ExpansionTest, ExpansionsInQuickSuccessionRestoreTheUsersClipboard)
{
    m_pasteboard.declareTypes({PasteboardType::PlainText});
    m_pasteboard.setData("user text", PasteboardType::PlainText);
    m_expansion.setRestorePasteboard(true);
    expand(snippet(QStringLiteral("a"), QStringLiteral("first"), 1), QStringLiteral("a"),
           ReplacementModeSelectCharacters);
    expand(snippet(QStringLiteral("b"), QStringLiteral("second"), 1), QStringLiteral("b"),
           ReplacementModeSelectCharacters);
    waitFor(900);
    EXPECT_EQ(clipboardText(), QStringLiteral("user text"));
}

TEST_F(ExpansionTest, WithoutRestoringTheReplacementStays)
{
    expand(snippet(QStringLiteral("a"), QStringLiteral("x"), 1), QStringLiteral("a"),
           ReplacementModeSelectCharacters);
    EXPECT_FALSE(m_expansion.preservation().isRestorePending());
    EXPECT_FALSE(m_expansion.preservation().hasBackup());
}

TEST_F(ExpansionTest, AnEmptyClipboardIsEmptyAgainAfterwards)
{
    m_pasteboard.declareTypes({});
    m_expansion.setRestorePasteboard(true);
    expand(snippet(QStringLiteral("a"), QStringLiteral("x"), 1), QStringLiteral("a"),
           ReplacementModeSelectCharacters);
    waitFor(900);
    EXPECT_TRUE(m_pasteboard.types().isEmpty());
}

TEST(PasteboardTest, DuplicatesEveryTypeAndSkipsUnreadableData)
{
    fake::FakePasteboard source;
    auto target = PrivatePasteboard::pasteboardWithUniqueName();
    EXPECT_FALSE(JVSXExtensions::duplicateToPasteboard(source, *target)); // no types
    source.declareTypes({QStringLiteral("a"), QStringLiteral("b")});
    source.setData("1", QStringLiteral("a"));
    source.setData("2", QStringLiteral("b"));
    source.unreadableTypes = {QStringLiteral("a")};
    EXPECT_TRUE(JVSXExtensions::duplicateToPasteboard(source, *target));
    EXPECT_EQ(target->types(), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_FALSE(target->dataForType(QStringLiteral("a")));
    source.unreadableTypes = {QStringLiteral("a"), QStringLiteral("b")};
    EXPECT_FALSE(JVSXExtensions::duplicateToPasteboard(source, *target));
    EXPECT_NE(PrivatePasteboard::pasteboardWithUniqueName()->name(), target->name());
}

TEST(KeyboardSimulatorTest, PostsModifiersAroundRunsInAFixedOrder)
{
    fake::FakeKeyboard keyboard;
    JVKSSetPoster(&keyboard);
    JVKSPostLeftArrowKeystrokes(ShiftKeyMask, 3);
    EXPECT_EQ(keyboard.line(), QStringLiteral("S+ ← ← ← S-"));
    keyboard.events.clear();
    JVKSPostRightArrowKeystrokes(ShiftKeyMask | AlternateKeyMask, 0);
    EXPECT_EQ(keyboard.line(), QStringLiteral("S+ O+ S- O-"));
    keyboard.events.clear();
    JVKSPostBackspaceKeystrokes(2);
    EXPECT_EQ(keyboard.line(), QStringLiteral("⌫ ⌫"));

    std::uint16_t code = 0;
    EXPECT_TRUE(JVKSGetKeyCodeForCharacter(u'v', &code));
    EXPECT_EQ(code, 9);
    keyboard.layout = {{47, u'v'}, {9, u'.'}}; // v elsewhere
    EXPECT_TRUE(JVKSGetKeyCodeForCharacter(u'v', &code));
    EXPECT_EQ(code, 47);
    keyboard.layout = {{127, u'v'}}; // never scanned
    code = 5;
    EXPECT_FALSE(JVKSGetKeyCodeForCharacter(u'v', &code));
    EXPECT_EQ(code, 5);
    keyboard.events.clear();
    JVKSSetPasteShortcut(PasteShortcut::ControlV);
    JVKSPostCommandVKeystroke();
    EXPECT_EQ(keyboard.line(), QStringLiteral("⌘+ v ⌘-")); // fell back to key code 9
    JVKSSetPoster(nullptr);
}

} // namespace
