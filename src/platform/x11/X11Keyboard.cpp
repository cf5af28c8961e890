#include "X11Keyboard.h"

#include "KeyTranslation.h"
#include "MacKeyMap.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace snapwick::x11 {

X11Keyboard::X11Keyboard(X11Connection& connection) : m_x(connection)
{
    int opcode, error, major = XkbMajorVersion, minor = XkbMinorVersion;
    if (XkbQueryExtension(m_x.display(), &opcode, &m_xkbEventBase, &error, &major, &minor)) {
        XkbSelectEventDetails(m_x.display(), XkbUseCoreKbd, XkbStateNotify, XkbGroupStateMask,
                              XkbGroupStateMask);
        XkbSelectEvents(m_x.display(), XkbUseCoreKbd, XkbNewKeyboardNotifyMask | XkbMapNotifyMask,
                        XkbNewKeyboardNotifyMask | XkbMapNotifyMask);
        XkbStateRec state;
        if (XkbGetState(m_x.display(), XkbUseCoreKbd, &state) == Success)
            m_group = state.group;
    }
    m_x.addHandler([this](XEvent& e) { handle(e); });
}

// A layout or group change takes effect at once: XKB tells us, nothing polls.
void X11Keyboard::handle(XEvent& event)
{
    if (m_xkbEventBase < 0 || event.type != m_xkbEventBase)
        return;
    const auto* xkb = reinterpret_cast<XkbAnyEvent*>(&event);
    if (xkb->xkb_type == XkbStateNotify) {
        m_group = reinterpret_cast<XkbStateNotifyEvent*>(&event)->group;
    } else if (xkb->xkb_type == XkbNewKeyboardNotify || xkb->xkb_type == XkbMapNotify) {
        XkbRefreshKeyboardMapping(reinterpret_cast<XkbMapNotifyEvent*>(&event));
        XkbStateRec state;
        if (XkbGetState(m_x.display(), XkbUseCoreKbd, &state) == Success)
            m_group = state.group;
    }
}

void X11Keyboard::postKeyboardEvent(char16_t, std::uint16_t keyCode, bool keyDown)
{
    if (const auto code = xKeyCodeForMacKeyCode(keyCode))
        XTestFakeKeyEvent(m_x.display(), *code, keyDown ? True : False, CurrentTime);
}

std::vector<unsigned> X11Keyboard::heldModifierKeys()
{
    char keys[32];
    XQueryKeymap(m_x.display(), keys);
    XModifierKeymap* map = XGetModifierMapping(m_x.display());
    std::vector<unsigned> held;
    if (!map)
        return held;
    for (int i = 0; i < 8 * map->max_keypermod; ++i) {
        const unsigned code = map->modifiermap[i];
        if (i / map->max_keypermod == LockMapIndex || code == 0)
            continue; // Caps Lock is a state, not a held key
        if ((keys[code / 8] >> (code % 8)) & 1)
            held.push_back(code);
    }
    XFreeModifiermap(map);
    return held;
}

// On: the modifiers the user holds are released, so that they do not combine with our
// keys. Off: our keys are processed (XSync) before anything else happens. The released
// modifiers are not pressed again: the server drops the user's own release of a key it
// already sees up, so a modifier let go during the sequence cannot be told from one still
// held, and pressing it again could leave it stuck down.
void X11Keyboard::setKeystrokeMode(bool on)
{
    Display* d = m_x.display();
    if (on) {
        for (unsigned code : heldModifierKeys())
            XTestFakeKeyEvent(d, code, False, CurrentTime);
    }
    XSync(d, False);
}

std::optional<char16_t> X11Keyboard::characterForKeyCode(std::uint16_t keyCode)
{
    const auto code = xKeyCodeForMacKeyCode(keyCode);
    if (!code)
        return std::nullopt;
    const KeySym sym = XkbKeycodeToKeysym(m_x.display(), KeyCode(*code), m_group, 0);
    const QString text = sym == NoSymbol ? QString() : textForKeysym(std::uint32_t(sym));
    if (text.size() != 1)
        return std::nullopt;
    return text.front().unicode();
}

} // namespace snapwick::x11
