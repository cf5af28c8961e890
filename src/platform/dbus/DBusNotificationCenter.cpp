#include "DBusNotificationCenter.h"

#include <QDBusConnection>
#include <QDBusMessage>

namespace snapwick {

namespace {
const QString kPath = QStringLiteral("/org/snapwick/Notifications");
const QString kInterface = QStringLiteral("org.snapwick.Notifications");
const QString kSignal = QStringLiteral("Notification");
} // namespace

DBusNotificationCenter::DBusNotificationCenter()
{
    QDBusConnection::sessionBus().connect(QString(), kPath, kInterface, kSignal, this,
                                          SLOT(received(QString)));
}

bool DBusNotificationCenter::isConnected() const
{
    return QDBusConnection::sessionBus().isConnected();
}

void DBusNotificationCenter::post(const QString& name)
{
    QDBusMessage signal = QDBusMessage::createSignal(kPath, kInterface, kSignal);
    signal << name;
    QDBusConnection::sessionBus().send(signal);
}

void DBusNotificationCenter::observe(const QString& name, std::function<void()> action)
{
    m_observers.insert(name, std::move(action));
}

void DBusNotificationCenter::removeAllObservers()
{
    m_observers.clear();
    m_all = nullptr;
}

void DBusNotificationCenter::received(const QString& name)
{
    if (m_all)
        m_all(name);
    const auto actions = m_observers.values(name); // an action may change the observers
    for (const auto& action : actions)
        action();
}

} // namespace snapwick
