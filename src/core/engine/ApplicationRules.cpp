#include "ApplicationRules.h"

#include <array>

namespace snapwick {

namespace {

enum class Match
{
    Equals,
    Prefix,
    Contains
};
enum class WordSelection
{
    Never,
    WhenAllowed
};

struct Rule
{
    Match match;
    const char16_t* pattern;
    ReplacementMode mode;
    PasteShortcut paste;
    WordSelection words = WordSelection::Never; // mode 1 applies only when words may be selected
    bool neverExpands = false;
};

using M = Match;
constexpr auto kBackspace = ReplacementModeBackspace;
constexpr auto kCharacters = ReplacementModeSelectCharacters;
constexpr auto kWord = ReplacementModeSelectWord;

// First match wins. Terminals cannot select with Shift+Left and paste with their own
// shortcut; Tk text widgets paste without replacing the selection; Emacs and XTerm take
// the primary selection with Shift+Insert.
const Rule kRules[] = {
    {M::Equals, u"com.apple.systempreferences", kCharacters, PasteShortcut::ControlV,
     WordSelection::Never, true},
    {M::Equals, u"com.apple.terminal", kBackspace, PasteShortcut::ControlV},
    {M::Prefix, u"com.apple.", kWord, PasteShortcut::ControlV, WordSelection::WhenAllowed},
    {M::Equals, u"com.microsoft.word", kWord, PasteShortcut::ControlV, WordSelection::WhenAllowed},
    {M::Prefix, u"com.barebones.", kWord, PasteShortcut::ControlV, WordSelection::WhenAllowed},
    {M::Equals, u"xterm", kBackspace, PasteShortcut::ShiftInsert},
    {M::Equals, u"uxterm", kBackspace, PasteShortcut::ShiftInsert},
    {M::Equals, u"urxvt", kBackspace, PasteShortcut::ControlAltV},
    {M::Equals, u"rxvt", kBackspace, PasteShortcut::ControlAltV},
    {M::Prefix, u"rxvt-unicode", kBackspace, PasteShortcut::ControlAltV},
    {M::Equals, u"emacs", kBackspace, PasteShortcut::ShiftInsert},
    {M::Prefix, u"org.gnu.emacs", kBackspace, PasteShortcut::ShiftInsert},
    {M::Equals, u"tk", kBackspace, PasteShortcut::ControlV},
    {M::Equals, u"org.gnome.terminal", kBackspace, PasteShortcut::ControlShiftV},
    {M::Equals, u"gnome-terminal", kBackspace, PasteShortcut::ControlShiftV},
    {M::Equals, u"gnome-terminal-server", kBackspace, PasteShortcut::ControlShiftV},
    {M::Equals, u"org.kde.konsole", kBackspace, PasteShortcut::ControlShiftV},
    {M::Equals, u"konsole", kBackspace, PasteShortcut::ControlShiftV},
    {M::Equals, u"xfce4-terminal", kBackspace, PasteShortcut::ControlShiftV},
    {M::Equals, u"alacritty", kBackspace, PasteShortcut::ControlShiftV},
    {M::Equals, u"org.alacritty", kBackspace, PasteShortcut::ControlShiftV},
    {M::Equals, u"kitty", kBackspace, PasteShortcut::ControlShiftV},
    {M::Equals, u"com.gexperts.tilix", kBackspace, PasteShortcut::ControlShiftV},
    {M::Equals, u"tilix", kBackspace, PasteShortcut::ControlShiftV},
    {M::Equals, u"terminator", kBackspace, PasteShortcut::ControlShiftV},
    {M::Equals, u"org.wezfurlong.wezterm", kBackspace, PasteShortcut::ControlShiftV},
    {M::Equals, u"wezterm", kBackspace, PasteShortcut::ControlShiftV},
    {M::Equals, u"foot", kBackspace, PasteShortcut::ControlShiftV},
    {M::Equals, u"footclient", kBackspace, PasteShortcut::ControlShiftV},
    {M::Equals, u"st", kBackspace, PasteShortcut::ControlShiftV},
    {M::Equals, u"st-256color", kBackspace, PasteShortcut::ControlShiftV},
    {M::Contains, u"terminal", kBackspace, PasteShortcut::ControlShiftV},
};

bool matches(const Rule& rule, const QString& id)
{
    const QStringView pattern(rule.pattern);
    switch (rule.match) {
    case Match::Equals:
        return id == pattern;
    case Match::Prefix:
        return id.startsWith(pattern);
    case Match::Contains:
        return id.contains(pattern);
    }
    return false;
}

ApplicationBehaviour apply(const Rule& rule, bool canSelectWords)
{
    ApplicationBehaviour b;
    b.neverExpands = rule.neverExpands;
    b.pasteShortcut = rule.paste;
    b.replacementMode =
        rule.words == WordSelection::WhenAllowed && !canSelectWords ? kCharacters : rule.mode;
    return b;
}

} // namespace

ApplicationBehaviour behaviourFor(const std::optional<ApplicationIdentity>& application,
                                  bool canSelectWords)
{
    if (!application)
        return {};
    // The id decides; the window class stands in where an application gives no id, and
    // catches the toolkits (Tk) that only the class names.
    for (const QString& id :
         {application->bundleIdentifier.toLower(), application->windowClass.toLower()}) {
        if (id.isEmpty())
            continue;
        for (const Rule& rule : kRules) {
            if (matches(rule, id))
                return apply(rule, canSelectWords);
        }
    }
    return {};
}

} // namespace snapwick
