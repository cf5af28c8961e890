#pragma once

#include "ExpansionModes.h"
#include "platform/FrontApplication.h"

namespace snapwick {

struct ApplicationBehaviour
{
    bool neverExpands = false; // the system's preferences: nothing is expanded there
    ReplacementMode replacementMode = ReplacementModeSelectCharacters;
    PasteShortcut pasteShortcut = PasteShortcut::ControlV;
};

// What the application in front needs: one table, kept as data, read by the key log
// (how to take the abbreviation out) and by the expansion (how to paste).
ApplicationBehaviour behaviourFor(const std::optional<ApplicationIdentity>& application,
                                  bool canSelectWords);

} // namespace snapwick
