// snapwickdaemon: watches the keys of the X11 session and expands snippets; no windows.
#include "JVSXDaemonController.h"
#include "util/Log.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <syslog.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    [[maybe_unused]] auto n = ::write(signalPipe[1], "x", 1);
}

void logToSystem()
{
    openlog("snapwickdaemon", LOG_PID, LOG_USER);
    const bool terminal = isatty(STDERR_FILENO);
    snapwick::setLogSink([terminal](const QString& line) {
        syslog(LOG_NOTICE, "%s", line.toUtf8().constData());
        std::fprintf(stderr, "%s\n", line.toUtf8().constData());
        (void)terminal;
    });
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    logToSystem();
    // One daemon per session: a second start finds the first and leaves it be.
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected() && !bus.registerService(QStringLiteral("org.snapwick.Daemon")))
        return 0;
    // A session bus that goes away ends the daemon, cleanly.
    bus.connect(QString(), QStringLiteral("/org/freedesktop/DBus/Local"),
                QStringLiteral("org.freedesktop.DBus.Local"), QStringLiteral("Disconnected"), &app,
                SLOT(quit()));
    // Logout (SIGTERM) and interruption end it too, staying among the login items.
    if (::pipe(signalPipe) == 0) {
        std::signal(SIGTERM, onSignal);
        std::signal(SIGINT, onSignal);
    }
    QSocketNotifier signals(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signals, &QSocketNotifier::activated, &app, &QCoreApplication::quit);

    // Installed as PREFIX/lib/snapwick/snapwickdaemon, with its sound in PREFIX/share/snapwick.
    const QString bubble = QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../../share/snapwick/sounds/Bubble.wav");
    snapwick::JVSXDaemonController controller(QCoreApplication::applicationFilePath(), bubble);
    controller.applicationDidFinishLaunching();
    const int status = app.exec();
    controller.cleanUp();
    return status;
}
