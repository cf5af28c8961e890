#include "X11Connection.h"

#include <QAbstractEventDispatcher>
#include <QElapsedTimer>
#include <QSocketNotifier>
#include <X11/Xlib.h>
#include <poll.h>

namespace snapwick::x11 {

std::unique_ptr<X11Connection> X11Connection::open(const QByteArray& displayName)
{
    Display* d = XOpenDisplay(displayName.isEmpty() ? nullptr : displayName.constData());
    if (!d)
        return nullptr;
    return std::unique_ptr<X11Connection>(new X11Connection(d));
}

X11Connection::X11Connection(Display* display) : m_display(display)
{
    m_notifier =
        std::make_unique<QSocketNotifier>(ConnectionNumber(display), QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, this,
                     [this] { dispatchPending(); });
    // Any round trip (a property read, a pointer query) may pull events into Xlib's queue
    // while the socket is left empty, and then nothing would wake us for them. So the
    // queue is drained every time the event loop is about to wait.
    if (auto* dispatcher = QAbstractEventDispatcher::instance())
        QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this,
                         [this] { dispatchPending(); });
}

X11Connection::~X11Connection()
{
    m_notifier.reset();
    XCloseDisplay(m_display);
}

Window X11Connection::root() const
{
    return DefaultRootWindow(m_display);
}

Atom X11Connection::atom(const char* name)
{
    const QByteArray key(name);
    auto it = m_atoms.constFind(key);
    if (it != m_atoms.constEnd())
        return *it;
    const Atom a = XInternAtom(m_display, name, False);
    m_atoms.insert(key, a);
    return a;
}

QByteArray X11Connection::atomName(Atom a)
{
    if (a == None)
        return {};
    char* name = XGetAtomName(m_display, a);
    QByteArray out(name ? name : "");
    if (name)
        XFree(name);
    return out;
}

void X11Connection::dispatch(XEvent& event)
{
    for (const Handler& h : m_handlers)
        h(event);
}

void X11Connection::dispatchPending()
{
    while (XEventsQueued(m_display, QueuedAfterFlush) > 0) {
        XEvent event;
        XNextEvent(m_display, &event);
        dispatch(event);
    }
}

bool X11Connection::waitFor(const std::function<bool(XEvent&)>& accept, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    XFlush(m_display);
    while (true) {
        while (XPending(m_display) > 0) {
            XEvent event;
            XNextEvent(m_display, &event);
            const bool accepted = accept(event);
            dispatch(event);
            if (accepted)
                return true;
        }
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0)
            return false;
        pollfd fd{ConnectionNumber(m_display), POLLIN, 0};
        ::poll(&fd, 1, int(left));
    }
}

} // namespace snapwick::x11
