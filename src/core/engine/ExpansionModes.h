#pragma once

namespace snapwick {

enum ExpanderMode
{
    ExpanderModeImmediately = 0,
    ExpanderModeAfterWhiteSpace = 1,
    ExpanderModeAfterWhiteSpaceRemoving = 2
};

// How a typed abbreviation is taken out of the application in front.
enum ReplacementMode
{
    ReplacementModeSelectCharacters = 0,
    ReplacementModeSelectWord = 1,
    ReplacementModeBackspace = 2
};

enum CaseConversionMode
{
    CaseConversionNone = 0,
    CaseConversionUppercaseAll = 1,
    CaseConversionCapitalizeFirst = 2,
    CaseConversionLowercaseFirst = 3,
};

// The keystroke that pastes in the application in front.
enum class PasteShortcut
{
    ControlV,
    ControlShiftV,
    ControlAltV,
    ShiftInsert
};

} // namespace snapwick
