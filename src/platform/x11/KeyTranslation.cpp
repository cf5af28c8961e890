#include "KeyTranslation.h"

#include <QByteArray>
#include <clocale>
#include <xkbcommon/xkbcommon-compose.h>
#include <xkbcommon/xkbcommon.h>

namespace snapwick::x11 {

namespace {
// X state bits.
constexpr unsigned kShift = 1u << 0, kControl = 1u << 2, kMod1 = 1u << 3, kMod4 = 1u << 6;
} // namespace

std::uint32_t modifierFlagsFromXState(unsigned state)
{
    std::uint32_t flags = 0;
    if (state & kShift)
        flags |= ShiftKeyMask;
    if (state & kControl)
        flags |= ControlKeyMask;
    if (state & kMod1)
        flags |= AlternateKeyMask;
    if (state & kMod4)
        flags |= CommandKeyMask;
    return flags;
}

std::optional<char16_t> functionCharacterForKeysym(std::uint32_t keysym)
{
    switch (keysym) {
    case XKB_KEY_BackSpace:
        return DeleteCharacter;
    case XKB_KEY_Up:
    case XKB_KEY_KP_Up:
        return UpArrowFunctionKey;
    case XKB_KEY_Down:
    case XKB_KEY_KP_Down:
        return DownArrowFunctionKey;
    case XKB_KEY_Left:
    case XKB_KEY_KP_Left:
        return LeftArrowFunctionKey;
    case XKB_KEY_Right:
    case XKB_KEY_KP_Right:
        return RightArrowFunctionKey;
    case XKB_KEY_Delete:
    case XKB_KEY_KP_Delete:
        return DeleteFunctionKey;
    case XKB_KEY_Home:
    case XKB_KEY_KP_Home:
        return HomeFunctionKey;
    case XKB_KEY_Begin:
    case XKB_KEY_KP_Begin:
        return BeginFunctionKey;
    case XKB_KEY_End:
    case XKB_KEY_KP_End:
        return EndFunctionKey;
    case XKB_KEY_Prior:
    case XKB_KEY_KP_Prior:
        return PageUpFunctionKey;
    case XKB_KEY_Next:
    case XKB_KEY_KP_Next:
        return PageDownFunctionKey;
    case XKB_KEY_Return:
    case XKB_KEY_KP_Enter:
        return u'\r';
    case XKB_KEY_Tab:
    case XKB_KEY_ISO_Left_Tab:
        return u'\t';
    case XKB_KEY_Escape:
        return 0x1B;
    default:
        if (keysym >= XKB_KEY_F1 && keysym <= XKB_KEY_F35)
            return char16_t(0xF704 + (keysym - XKB_KEY_F1)); // the platform's F1 onwards
        return std::nullopt;
    }
}

bool isModifierKeysym(std::uint32_t keysym)
{
    return (keysym >= XKB_KEY_Shift_L && keysym <= XKB_KEY_Hyper_R) ||
           (keysym >= XKB_KEY_ISO_Lock && keysym <= XKB_KEY_ISO_Level5_Lock) ||
           keysym == XKB_KEY_Mode_switch || keysym == XKB_KEY_Num_Lock;
}

QString textForKeysym(std::uint32_t keysym)
{
    if (const auto f = functionCharacterForKeysym(keysym))
        return QString(QChar(*f));
    const std::uint32_t ucs = xkb_keysym_to_utf32(keysym);
    return ucs ? QString::fromUcs4(reinterpret_cast<const char32_t*>(&ucs), 1) : QString();
}

struct Composer::Impl
{
    xkb_context* context = nullptr;
    xkb_compose_table* table = nullptr;
    xkb_compose_state* state = nullptr;
};

Composer::Composer() : d(std::make_unique<Impl>())
{
    d->context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    const char* locale = std::setlocale(LC_CTYPE, nullptr);
    if (!locale || QByteArray(locale) == "C" || QByteArray(locale) == "POSIX")
        locale =
            "en_US.UTF-8"; // the C locale has no compose table; this one has the common sequences
    if (d->context)
        d->table =
            xkb_compose_table_new_from_locale(d->context, locale, XKB_COMPOSE_COMPILE_NO_FLAGS);
    if (d->table)
        d->state = xkb_compose_state_new(d->table, XKB_COMPOSE_STATE_NO_FLAGS);
}

Composer::~Composer()
{
    xkb_compose_state_unref(d->state);
    xkb_compose_table_unref(d->table);
    xkb_context_unref(d->context);
}

Composer::Result Composer::feed(std::uint32_t keysym, QString* text)
{
    if (!d->state || xkb_compose_state_feed(d->state, keysym) == XKB_COMPOSE_FEED_IGNORED)
        return Result::Pass;
    switch (xkb_compose_state_get_status(d->state)) {
    case XKB_COMPOSE_COMPOSING:
        return Result::Composing;
    case XKB_COMPOSE_COMPOSED: {
        char buffer[64];
        const int n = xkb_compose_state_get_utf8(d->state, buffer, sizeof buffer);
        *text = QString::fromUtf8(buffer, std::max(0, std::min(n, int(sizeof buffer) - 1)));
        xkb_compose_state_reset(d->state);
        return Result::Composed;
    }
    case XKB_COMPOSE_CANCELLED:
        xkb_compose_state_reset(d->state);
        return Result::Cancelled;
    case XKB_COMPOSE_NOTHING:
        break;
    }
    return Result::Pass;
}

void Composer::reset()
{
    if (d->state)
        xkb_compose_state_reset(d->state);
}

std::optional<KeyEvent> keyEventFor(std::uint32_t keysym, std::uint32_t shiftOnlyKeysym,
                                    unsigned state, Composer& composer)
{
    if (isModifierKeysym(keysym))
        return std::nullopt;
    KeyEvent e;
    e.modifierFlags = modifierFlagsFromXState(state);
    QString composed;
    switch (composer.feed(keysym, &composed)) {
    case Composer::Result::Composing:
        return std::nullopt; // the application shows nothing yet either
    case Composer::Result::Composed:
        e.characters = composed;
        e.charactersIgnoringModifiers = composed;
        return e;
    case Composer::Result::Cancelled:
    case Composer::Result::Pass:
        break;
    }
    e.characters = textForKeysym(keysym);
    e.charactersIgnoringModifiers = textForKeysym(shiftOnlyKeysym);
    return e;
}

} // namespace snapwick::x11
