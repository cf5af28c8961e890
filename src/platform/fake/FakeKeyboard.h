#pragma once

#include "platform/KeystrokePoster.h"

#include <QHash>
#include <QStringList>

namespace snapwick::fake {

// Records synthetic keystrokes as a readable line: a key pressed and released is its
// character or name ("v", "←"), a modifier held is "S+" ... "S-" (S Shift, C Control, O Option,
// ⌘ Command, A right Option).
class FakeKeyboard : public KeystrokePoster
{
public:
    QStringList events;
    int modeSwitches = 0;
    QHash<std::uint16_t, char16_t> layout{
        {9, u'v'}, {0, u'a'}, {11, u'b'}}; // key code -> character

    void postKeyboardEvent(char16_t character, std::uint16_t keyCode, bool keyDown) override
    {
        const bool printable = character >= u' ' && character < 0x7F;
        const QString name = printable ? QString(QChar(character)) : nameOf(keyCode);
        if (isModifier(keyCode)) {
            events << name + (keyDown ? u'+' : u'-');
        } else if (keyDown) {
            events << name;
        }
    }
    void setKeystrokeMode(bool) override { ++modeSwitches; }
    std::optional<char16_t> characterForKeyCode(std::uint16_t keyCode) override
    {
        auto it = layout.constFind(keyCode);
        return it == layout.constEnd() ? std::nullopt : std::optional(*it);
    }

    QString line() const { return events.join(u' '); }

private:
    static bool isModifier(std::uint16_t k)
    {
        return k == 55 || k == 56 || k == 58 || k == 59 || k == 61;
    }
    static QString nameOf(std::uint16_t k)
    {
        switch (k) {
        case 55:
            return QStringLiteral("⌘");
        case 56:
            return QStringLiteral("S");
        case 58:
            return QStringLiteral("O");
        case 59:
            return QStringLiteral("C");
        case 61:
            return QStringLiteral("A");
        case 123:
            return QStringLiteral("←");
        case 124:
            return QStringLiteral("→");
        case 125:
            return QStringLiteral("↓");
        case 126:
            return QStringLiteral("↑");
        case 51:
            return QStringLiteral("⌫");
        case 114:
            return QStringLiteral("Ins");
        default:
            return QStringLiteral("k%1").arg(k);
        }
    }
};

} // namespace snapwick::fake
