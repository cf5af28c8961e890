#pragma once

#include "platform/NotificationCenter.h"

#include <QHash>
#include <QObject>

namespace snapwick {

// Notifications as the session bus signal Notification(s name) on /org/snapwick/Notifications,
// interface org.snapwick.Notifications, the argument being the full name.
class DBusNotificationCenter : public QObject, public NotificationCenter
{
    Q_OBJECT

public:
    DBusNotificationCenter();
    bool isConnected() const;

    void post(const QString& name) override;
    void observe(const QString& name, std::function<void()> action) override;
    void removeAllObservers() override;

    // Every notification, whatever its name (for `snapwick watch`).
    void observeAll(std::function<void(const QString&)> action) { m_all = std::move(action); }

private Q_SLOTS:
    void received(const QString& name);

private:
    QMultiHash<QString, std::function<void()>> m_observers;
    std::function<void(const QString&)> m_all;
};

} // namespace snapwick
