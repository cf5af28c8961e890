#pragma once

#include "engine/ExpansionModes.h"
#include "platform/KeystrokePoster.h"

#include <QString>

// Synthetic keystrokes in the platform's virtual-key codes. The poster is installed once
// at start-up; without one nothing is posted.
void JVKSSetPoster(snapwick::KeystrokePoster* poster);
// How the application in front pastes; JVKSPostCommandVKeystroke posts that shortcut.
void JVKSSetPasteShortcut(snapwick::PasteShortcut shortcut);

enum JVKSKeyCode : std::uint16_t
{
    JVKSKeyCodeV = 9,
    JVKSKeyCodeBackspace = 51,
    JVKSKeyCodeCommand = 55,
    JVKSKeyCodeShift = 56,
    JVKSKeyCodeOption = 58,
    JVKSKeyCodeControl = 59,
    JVKSKeyCodeRightOption = 61, // Alt where Option stands for Control
    JVKSKeyCodeHelp = 114,       // Insert on PC keyboards
    JVKSKeyCodeLeftArrow = 123,
    JVKSKeyCodeRightArrow = 124,
    JVKSKeyCodeDownArrow = 125,
    JVKSKeyCodeUpArrow = 126,
};

bool JVKSGetKeyCodeForCharacter(char16_t character, std::uint16_t* keyCode);
void JVKSSetKeystrokeMode(bool on);
void JVKSSetModifierState(std::uint32_t modifiers, bool down);
void JVKSPostKeystroke(char16_t character, std::uint16_t keyCode);
void JVKSPostKeystrokes(char16_t character, std::uint16_t keyCode, std::uint32_t modifiers,
                        int count);
void JVKSPostLeftArrowKeystrokes(std::uint32_t modifiers, int count);
void JVKSPostUpArrowKeystrokes(std::uint32_t modifiers, int count);
void JVKSPostRightArrowKeystrokes(std::uint32_t modifiers, int count);
void JVKSPostDownArrowKeystrokes(std::uint32_t modifiers, int count);
void JVKSPostBackspaceKeystrokes(int count);
void JVKSPostCommandVKeystroke();
void JVKSPostFirstCharacterFromString(const QString& s, std::uint16_t keyCode,
                                      std::uint32_t modifiers);
