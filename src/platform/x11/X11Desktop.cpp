#include "X11Desktop.h"

#include <QSettings>
#include <QStandardPaths>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace snapwick::x11 {

X11Desktop::X11Desktop(X11Connection& connection) : m_x(connection)
{
    XSelectInput(m_x.display(), m_x.root(), PropertyChangeMask);
    const QByteArray supported = property(m_x.root(), "_NET_SUPPORTED", "ATOM");
    const auto* atoms = reinterpret_cast<const long*>(supported.constData());
    const Atom active = m_x.atom("_NET_ACTIVE_WINDOW");
    for (qsizetype i = 0; i < supported.size() / qsizetype(sizeof(long)); ++i)
        m_ewmh = m_ewmh || Atom(atoms[i]) == active;
    m_x.addHandler([this](XEvent& e) { handle(e); });
    refresh();
}

QByteArray X11Desktop::property(Window window, const char* name, const char* type) const
{
    Atom actualType;
    int format;
    unsigned long items, remaining;
    unsigned char* data = nullptr;
    const Atom wanted = type ? m_x.atom(type) : AnyPropertyType;
    if (XGetWindowProperty(m_x.display(), window, m_x.atom(name), 0, 1024, False, wanted,
                           &actualType, &format, &items, &remaining, &data) != Success ||
        !data)
        return {};
    const int unit = format == 32 ? int(sizeof(long)) : format / 8;
    QByteArray out(reinterpret_cast<const char*>(data), qsizetype(items) * unit);
    XFree(data);
    return out;
}

Window X11Desktop::activeWindow() const
{
    if (m_ewmh) {
        const QByteArray w = property(m_x.root(), "_NET_ACTIVE_WINDOW", "WINDOW");
        return w.size() >= qsizetype(sizeof(long))
                   ? Window(*reinterpret_cast<const long*>(w.constData()))
                   : 0;
    }
    Window focus = 0;
    int revert;
    XGetInputFocus(m_x.display(), &focus, &revert);
    if (focus == PointerRoot || focus == None) { // keys go to the window under the pointer
        Window root, child = 0;
        int x, y, wx, wy;
        unsigned mask;
        XQueryPointer(m_x.display(), m_x.root(), &root, &child, &x, &y, &wx, &wy, &mask);
        return child;
    }
    return focus;
}

std::optional<ApplicationIdentity> X11Desktop::identityOf(Window window) const
{
    // The focus may sit on a child window: walk up to the one that names its application.
    for (int depth = 0; window != 0 && window != m_x.root() && depth < 16; ++depth) {
        const QByteArray wmClass = property(window, "WM_CLASS", "STRING");
        if (!wmClass.isEmpty()) {
            const QList<QByteArray> parts = wmClass.split('\0');
            ApplicationIdentity id;
            id.windowClass = QString::fromLocal8Bit(parts.value(1, parts.value(0)));
            QString appId =
                QString::fromUtf8(property(window, "_GTK_APPLICATION_ID", "UTF8_STRING"));
            if (appId.isEmpty())
                appId =
                    QString::fromUtf8(property(window, "_KDE_NET_WM_DESKTOP_FILE", "UTF8_STRING"));
            if (appId.isEmpty())
                appId = id.windowClass;
            id.bundleIdentifier = appId.toLower();
            id.displayName = desktopEntryName(appId);
            if (id.displayName.isEmpty())
                id.displayName = id.windowClass;
            return id;
        }
        Window root, parent = 0, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(m_x.display(), window, &root, &parent, &children, &count))
            break;
        if (children)
            XFree(children);
        window = parent;
    }
    return std::nullopt;
}

void X11Desktop::refresh()
{
    const Window w = activeWindow();
    if (w == m_window && m_identity)
        return;
    const bool switched = w != m_window;
    m_window = w;
    m_identity = identityOf(w);
    if (switched && m_switched)
        m_switched();
}

void X11Desktop::checkFocus()
{
    if (!m_ewmh)
        refresh();
}

void X11Desktop::handle(XEvent& event)
{
    if (event.type == PropertyNotify && event.xproperty.window == m_x.root() &&
        event.xproperty.atom == m_x.atom("_NET_ACTIVE_WINDOW"))
        refresh();
}

std::optional<ApplicationIdentity> X11Desktop::activeApplication() const
{
    return m_identity;
}

QPointF X11Desktop::mouseLocation() const
{
    Window root, child;
    int x = 0, y = 0, wx, wy;
    unsigned mask;
    XQueryPointer(m_x.display(), m_x.root(), &root, &child, &x, &y, &wx, &wy, &mask);
    return QPointF(x, y);
}

void X11Desktop::beep()
{
    XBell(m_x.display(), 0);
    XFlush(m_x.display());
}

QString desktopEntryName(const QString& applicationId)
{
    if (applicationId.isEmpty())
        return {};
    const QString file = QStandardPaths::locate(QStandardPaths::ApplicationsLocation,
                                                applicationId + QStringLiteral(".desktop"));
    if (file.isEmpty())
        return {};
    QSettings entry(file, QSettings::IniFormat);
    return entry.value(QStringLiteral("Desktop Entry/Name")).toString();
}

} // namespace snapwick::x11
