#include "X11KeyMonitor.h"

#include <QSocketNotifier>
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/extensions/record.h>

namespace snapwick::x11 {

X11KeyMonitor::X11KeyMonitor(X11Connection& main, Sink sink) : m_main(main), m_sink(std::move(sink))
{}

X11KeyMonitor::~X11KeyMonitor()
{
    m_notifier.reset();
    if (m_data) {
        if (m_context) {
            XRecordDisableContext(m_main.display(), m_context);
            XRecordFreeContext(m_main.display(), m_context);
            XFlush(m_main.display());
        }
        XCloseDisplay(m_data);
    }
}

bool X11KeyMonitor::start(const QByteArray& displayName)
{
    int major = 0, minor = 0;
    if (!XRecordQueryVersion(m_main.display(), &major, &minor))
        return false;
    m_data = XOpenDisplay(displayName.isEmpty() ? nullptr : displayName.constData());
    if (!m_data)
        return false;
    XRecordRange* range = XRecordAllocRange();
    if (!range)
        return false;
    range->device_events.first = KeyPress;
    range->device_events.last = KeyPress;
    XRecordClientSpec clients = XRecordAllClients;
    m_context = XRecordCreateContext(m_main.display(), 0, &clients, 1, &range, 1);
    XFree(range);
    if (!m_context)
        return false;
    XSync(m_main.display(), False);
    if (!XRecordEnableContextAsync(
            m_data, m_context,
            reinterpret_cast<XRecordInterceptProc>(&X11KeyMonitor::recordCallback),
            reinterpret_cast<XPointer>(this)))
        return false;
    m_notifier = std::make_unique<QSocketNotifier>(ConnectionNumber(m_data), QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated,
                     [this] { XRecordProcessReplies(m_data); });
    XRecordProcessReplies(m_data);
    return true;
}

void X11KeyMonitor::recordCallback(char* closure, void* data)
{
    auto* self = reinterpret_cast<X11KeyMonitor*>(closure);
    auto* intercepted = static_cast<XRecordInterceptData*>(data);
    if (intercepted->category == XRecordFromServer && intercepted->data_len * 4 >= sizeof(xEvent)) {
        const auto* event = reinterpret_cast<const xEvent*>(intercepted->data);
        if (event->u.u.type == KeyPress)
            self->keyPressed(event->u.u.detail, event->u.keyButtonPointer.state);
    }
    XRecordFreeData(intercepted);
}

void X11KeyMonitor::keyPressed(unsigned keycode, unsigned state)
{
    Display* d = m_main.display();
    KeySym withModifiers = NoSymbol, shiftOnly = NoSymbol;
    unsigned consumed;
    XkbLookupKeySym(d, KeyCode(keycode), state, &consumed, &withModifiers);
    const unsigned groupBits = state & (0x3u << 13); // XKB keeps the group in the state
    XkbLookupKeySym(d, KeyCode(keycode), (state & ShiftMask) | groupBits, &consumed, &shiftOnly);
    if (withModifiers == NoSymbol)
        return;
    if (const auto event =
            keyEventFor(std::uint32_t(withModifiers), std::uint32_t(shiftOnly), state, m_composer))
        m_sink(*event);
}

} // namespace snapwick::x11
