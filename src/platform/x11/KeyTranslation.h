#pragma once

#include "platform/KeyEvent.h"

#include <memory>

namespace snapwick::x11 {

// The modifier flags of a key event from the X state mask.
std::uint32_t modifierFlagsFromXState(unsigned state);
// Editing and navigation keys as the platform's function-key characters; Return "\r",
// Tab "\t". None for keys that type a character of their own.
std::optional<char16_t> functionCharacterForKeysym(std::uint32_t keysym);
bool isModifierKeysym(std::uint32_t keysym);
QString textForKeysym(std::uint32_t keysym);

// Dead keys compose as applications compose them, from the locale's compose table.
class Composer
{
public:
    Composer();
    ~Composer();
    enum class Result
    {
        Pass,
        Composing,
        Composed,
        Cancelled
    };
    // Feeds one pressed keysym; with Composed, text holds what the sequence typed.
    Result feed(std::uint32_t keysym, QString* text);
    void reset();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// The key event for one press: keysym with the event's modifiers applied, keysym with
// Shift only, and the state. None for modifier-only presses and while a dead key composes.
std::optional<KeyEvent> keyEventFor(std::uint32_t keysym, std::uint32_t shiftOnlyKeysym,
                                    unsigned state, Composer& composer);

} // namespace snapwick::x11
