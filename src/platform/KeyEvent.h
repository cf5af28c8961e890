#pragma once

#include <QString>
#include <cstdint>

namespace snapwick {

// The platform's modifier bits, as key events carry them at the seam.
enum ModifierMask : std::uint32_t
{
    ShiftKeyMask = 0x20000,
    ControlKeyMask = 0x40000,
    AlternateKeyMask = 0x80000, // Option; Alt on Linux
    CommandKeyMask = 0x100000,  // Command; Super on Linux
};

// Editing and navigation keys arrive as the platform's function-key characters.
enum FunctionKeyCharacter : char16_t
{
    DeleteCharacter = 0x7F,
    UpArrowFunctionKey = 0xF700,
    DownArrowFunctionKey = 0xF701,
    LeftArrowFunctionKey = 0xF702,
    RightArrowFunctionKey = 0xF703,
    DeleteFunctionKey = 0xF728,
    HomeFunctionKey = 0xF729,
    BeginFunctionKey = 0xF72A,
    EndFunctionKey = 0xF72B,
    PageUpFunctionKey = 0xF72C,
    PageDownFunctionKey = 0xF72D,
};

// One key-down (or auto-repeat) as the key monitor reports it.
struct KeyEvent
{
    std::uint32_t modifierFlags = 0;
    QString characters;                  // with the modifiers applied
    QString charactersIgnoringModifiers; // with Shift only
};

} // namespace snapwick
