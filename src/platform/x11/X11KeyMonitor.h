#pragma once

#include "KeyTranslation.h"
#include "X11Connection.h"

#include <functional>

class QSocketNotifier;

namespace snapwick::x11 {

// A copy of every key press of every client, from the RECORD extension on a connection
// of its own, in typing order. Key events are translated with the main connection's
// keyboard map, so a layout switch applies to the very next key.
class X11KeyMonitor
{
public:
    using Sink = std::function<void(const KeyEvent&)>;
    X11KeyMonitor(X11Connection& main, Sink sink);
    ~X11KeyMonitor();
    // False when the display cannot be reached or offers no RECORD.
    bool start(const QByteArray& displayName = {});

    static void recordCallback(char* closure, void* data);

private:
    void keyPressed(unsigned keycode, unsigned state);

    X11Connection& m_main;
    Sink m_sink;
    Display* m_data = nullptr;
    unsigned long m_context = 0;
    std::unique_ptr<QSocketNotifier> m_notifier;
    Composer m_composer;
};

} // namespace snapwick::x11
