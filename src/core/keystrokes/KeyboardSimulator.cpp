#include "KeyboardSimulator.h"

#include "platform/KeyEvent.h"

using namespace snapwick;

namespace {

KeystrokePoster* thePoster = nullptr;
PasteShortcut thePasteShortcut = PasteShortcut::ControlV;
char16_t singletonJVKSVCharacter = 0;

constexpr std::uint16_t kLastScannedKeyCode = 126;

void post(char16_t character, std::uint16_t keyCode, bool down)
{
    if (thePoster)
        thePoster->postKeyboardEvent(character, keyCode, down);
}

} // namespace

void JVKSSetPoster(KeystrokePoster* poster)
{
    thePoster = poster;
}
void JVKSSetPasteShortcut(PasteShortcut shortcut)
{
    thePasteShortcut = shortcut;
}

bool JVKSGetKeyCodeForCharacter(char16_t character, std::uint16_t* keyCode)
{
    if (!thePoster)
        return false;
    for (std::uint16_t code = 0; code <= kLastScannedKeyCode; ++code) {
        if (thePoster->characterForKeyCode(code) == character) {
            *keyCode = code;
            return true;
        }
    }
    return false;
}

void JVKSSetKeystrokeMode(bool on)
{
    if (thePoster)
        thePoster->setKeystrokeMode(on);
}

void JVKSSetModifierState(std::uint32_t modifiers, bool down)
{
    static const std::pair<std::uint32_t, std::uint16_t> kOrder[] = {
        {ShiftKeyMask, JVKSKeyCodeShift},
        {ControlKeyMask, JVKSKeyCodeControl},
        {AlternateKeyMask, JVKSKeyCodeOption},
        {CommandKeyMask, JVKSKeyCodeCommand}};
    for (const auto& [mask, key] : kOrder) {
        if (modifiers & mask)
            post(0, key, down);
    }
}

void JVKSPostKeystroke(char16_t character, std::uint16_t keyCode)
{
    post(character, keyCode, true);
    post(character, keyCode, false);
}

void JVKSPostKeystrokes(char16_t character, std::uint16_t keyCode, std::uint32_t modifiers,
                        int count)
{
    JVKSSetModifierState(modifiers, true);
    for (int i = 0; i < count; ++i)
        JVKSPostKeystroke(character, keyCode);
    JVKSSetModifierState(modifiers, false);
}

void JVKSPostLeftArrowKeystrokes(std::uint32_t modifiers, int count)
{
    JVKSPostKeystrokes(LeftArrowFunctionKey, JVKSKeyCodeLeftArrow, modifiers, count);
}

void JVKSPostUpArrowKeystrokes(std::uint32_t modifiers, int count)
{
    JVKSPostKeystrokes(UpArrowFunctionKey, JVKSKeyCodeUpArrow, modifiers, count);
}

void JVKSPostRightArrowKeystrokes(std::uint32_t modifiers, int count)
{
    JVKSPostKeystrokes(RightArrowFunctionKey, JVKSKeyCodeRightArrow, modifiers, count);
}

void JVKSPostDownArrowKeystrokes(std::uint32_t modifiers, int count)
{
    JVKSPostKeystrokes(DownArrowFunctionKey, JVKSKeyCodeDownArrow, modifiers, count);
}

void JVKSPostBackspaceKeystrokes(int count)
{
    JVKSPostKeystrokes(0, JVKSKeyCodeBackspace, 0, count);
}

void JVKSPostCommandVKeystroke()
{
    if (singletonJVKSVCharacter == 0)
        singletonJVKSVCharacter = u'v';
    std::uint16_t vKey = JVKSKeyCodeV;
    JVKSGetKeyCodeForCharacter(singletonJVKSVCharacter, &vKey); // looked up anew: layouts change
    switch (thePasteShortcut) {
    case PasteShortcut::ControlV:
        JVKSPostKeystrokes(singletonJVKSVCharacter, vKey, CommandKeyMask, 1);
        break;
    case PasteShortcut::ControlShiftV:
        JVKSPostKeystrokes(singletonJVKSVCharacter, vKey, CommandKeyMask | ShiftKeyMask, 1);
        break;
    case PasteShortcut::ControlAltV:
        post(0, JVKSKeyCodeRightOption, true);
        JVKSPostKeystrokes(singletonJVKSVCharacter, vKey, CommandKeyMask, 1);
        post(0, JVKSKeyCodeRightOption, false);
        break;
    case PasteShortcut::ShiftInsert:
        JVKSPostKeystrokes(0, JVKSKeyCodeHelp, ShiftKeyMask, 1);
        break;
    }
}

void JVKSPostFirstCharacterFromString(const QString& s, std::uint16_t keyCode,
                                      std::uint32_t modifiers)
{
    JVKSPostKeystrokes(s.isEmpty() ? char16_t(0) : s.front().unicode(), keyCode, modifiers, 1);
}
