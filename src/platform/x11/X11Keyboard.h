#pragma once

#include "X11Connection.h"
#include "platform/KeystrokePoster.h"

#include <vector>

namespace snapwick::x11 {

// Synthetic keys through XTEST. X11 has no safe way to hold back the user's own input
// while we type (a keyboard grab would swallow our XTEST events too), so the sequence is
// kept short and synchronous instead: the user's held modifiers are released first, and
// our events are flushed and processed (XSync) before the expansion goes on.
class X11Keyboard : public KeystrokePoster
{
public:
    explicit X11Keyboard(X11Connection& connection);

    void postKeyboardEvent(char16_t character, std::uint16_t keyCode, bool keyDown) override;
    void setKeystrokeMode(bool on) override;
    std::optional<char16_t> characterForKeyCode(std::uint16_t keyCode) override;

    // The keyboard group in use, kept current from XKB state events.
    int group() const { return m_group; }

private:
    void handle(XEvent& event);
    std::vector<unsigned> heldModifierKeys();

    X11Connection& m_x;
    int m_xkbEventBase = -1;
    int m_group = 0;
};

} // namespace snapwick::x11
