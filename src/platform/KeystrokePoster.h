#pragma once

#include <cstdint>
#include <optional>

namespace snapwick {

// Synthetic keyboard events, with key codes in the platform's virtual-key space (Left
// Arrow 123, Backspace 51, V 9, Shift 56, ...); the backend maps them to real keys.
class KeystrokePoster
{
public:
    virtual ~KeystrokePoster() = default;
    virtual void postKeyboardEvent(char16_t character, std::uint16_t keyCode, bool keyDown) = 0;
    // On: the user's own modifiers are released so they do not combine with ours; off:
    // our events are processed before the caller goes on.
    virtual void setKeystrokeMode(bool on) = 0;
    // What the key types without modifiers in the current layout, if one character.
    virtual std::optional<char16_t> characterForKeyCode(std::uint16_t keyCode) = 0;
};

} // namespace snapwick
