#include "NotifyCommands.h"

#include "Console.h"
#include "dbus/DBusNotificationCenter.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QTimer>
#include <cstdio>

namespace snapwick::cli {

int notifyCommand(const QStringList& args)
{
    if (args.size() != 1)
        return usage(QStringLiteral("notify NAME"));
    DBusNotificationCenter center;
    if (!center.isConnected())
        return fail(QStringLiteral("no session bus"));
    const QString name = args[0].startsWith(kVendorPrefix) ? args[0] : kVendorPrefix + args[0];
    center.post(name);
    QDBusConnection::sessionBus().call(QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"),
        QStringLiteral("GetId"))); // flushed once answered
    return 0;
}

int watchCommand(const QStringList& args)
{
    if (!args.isEmpty())
        return usage(QStringLiteral("watch"));
    DBusNotificationCenter center;
    if (!center.isConnected())
        return fail(QStringLiteral("no session bus"));
    center.observeAll([](const QString& name) {
        std::printf("%s\n", name.toUtf8().constData());
        std::fflush(stdout);
    });
    std::printf("watching\n");
    std::fflush(stdout);
    return QCoreApplication::exec();
}

} // namespace snapwick::cli
