#pragma once

#include <QHash>
#include <QObject>
#include <functional>
#include <memory>
#include <vector>

typedef struct _XDisplay Display;
typedef unsigned long XID;
typedef unsigned long Atom;
typedef unsigned long Window;
union _XEvent;
typedef union _XEvent XEvent;

class QSocketNotifier;

namespace snapwick::x11 {

// One connection to the X server, read from the Qt event loop. Events go to every
// registered handler; code that must wait for an answer (a selection owner's data) waits
// here with a time-out while the other events keep flowing.
class X11Connection : public QObject
{
public:
    static std::unique_ptr<X11Connection> open(const QByteArray& displayName = {});
    ~X11Connection() override;

    Display* display() const { return m_display; }
    Window root() const;
    Atom atom(const char* name);
    QByteArray atomName(Atom atom);

    using Handler = std::function<void(XEvent&)>;
    void addHandler(Handler handler) { m_handlers.push_back(std::move(handler)); }
    // Handles what has arrived; true when `until` saw an event it accepts.
    void dispatchPending();
    // Waits up to timeoutMs for an event that `accept` takes (it is dispatched as well).
    bool waitFor(const std::function<bool(XEvent&)>& accept, int timeoutMs);

private:
    explicit X11Connection(Display* display);
    void dispatch(XEvent& event);

    Display* m_display;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::vector<Handler> m_handlers;
    QHash<QByteArray, Atom> m_atoms;
};

} // namespace snapwick::x11
