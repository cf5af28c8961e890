#pragma once

#include "X11Connection.h"
#include "platform/Beeper.h"
#include "platform/FrontApplication.h"
#include "platform/PointerLocator.h"

#include <functional>

namespace snapwick::x11 {

// The application in front, followed through the window manager's active window
// (_NET_ACTIVE_WINDOW) or, without one, through the input focus; the pointer; the bell.
class X11Desktop : public FrontApplication, public PointerLocator, public Beeper
{
public:
    explicit X11Desktop(X11Connection& connection);

    std::optional<ApplicationIdentity> activeApplication() const override;
    QPointF mouseLocation() const override;
    void beep() override;

    // Called when another application comes to the front.
    void onFrontApplicationSwitched(std::function<void()> callback)
    {
        m_switched = std::move(callback);
    }
    // Whether the window manager announces the active window (the modern path).
    bool hasActiveWindowSupport() const { return m_ewmh; }
    // Without a window manager that announces it, the focus is looked at when keys come.
    void checkFocus();

private:
    void handle(XEvent& event);
    Window activeWindow() const;
    void refresh();
    std::optional<ApplicationIdentity> identityOf(Window window) const;
    QByteArray property(Window window, const char* name, const char* type) const;

    X11Connection& m_x;
    bool m_ewmh = false;
    Window m_window = 0;
    std::optional<ApplicationIdentity> m_identity;
    std::function<void()> m_switched;
};

// The name a desktop entry gives an application id, or an empty string.
QString desktopEntryName(const QString& applicationId);

} // namespace snapwick::x11
