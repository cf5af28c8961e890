#include "X11Session.h"

#include "model/SettingsDocument.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <X11/Xlib.h>

namespace testsupport {

void pause(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

bool waitUntil(const std::function<bool()>& condition, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < timeoutMs) {
        if (condition())
            return true;
        pause(5);
    }
    return condition();
}

int run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    waitUntil([&] { return p.state() == QProcess::NotRunning; }, 10000);
    return p.exitCode();
}

bool startDaemon(QProcess& daemon, const QString& directory, const plist::DictionaryPtr& settings)
{
    const QString data = directory + QStringLiteral("/data");
    if (!snapwick::writeSettingsDocument(settings,
                                         snapwick::SettingsLocation::inSupportDirectory(data)))
        return false;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), data);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), directory + QStringLiteral("/config"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    daemon.setProcessEnvironment(env);
    daemon.setReadChannel(QProcess::StandardError);
    daemon.start(QStringLiteral(SNAPWICK_DAEMON), {});
    QByteArray seen;
    return waitUntil(
               [&] {
                   seen += daemon.readAllStandardError();
                   return seen.contains("tick\n") || daemon.state() == QProcess::NotRunning;
               },
               10000) &&
           seen.contains("tick\n");
}

bool XServer::start()
{
    // Xvfb picks a free display itself and tells us which (-displayfd), so parallel
    // sessions and servers still shutting down never collide.
    m_server.start(QStringLiteral("Xvfb"),
                   {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                    QStringLiteral("0"), QStringLiteral("1280x800x24"),
                    QStringLiteral("+extension"), QStringLiteral("RECORD"),
                    QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    if (!m_server.waitForStarted(5000))
        return false;
    if (!waitUntil([&] { return m_server.canReadLine() || m_server.state() != QProcess::Running; },
                   10000))
        return false;
    const QByteArray number = m_server.readLine().trimmed();
    if (number.isEmpty())
        return false;
    m_display = QStringLiteral(":") + QString::fromLatin1(number);
    const QByteArray name = m_display.toLatin1();
    const bool up = waitUntil(
        [&] {
            Display* d = XOpenDisplay(name.constData());
            if (d)
                XCloseDisplay(d);
            return d != nullptr;
        },
        5000);
    if (!up)
        return false;
    qputenv("DISPLAY", name);
    return true;
}

XServer::~XServer()
{
    m_server.terminate();
    m_server.waitForFinished(3000);
}

} // namespace testsupport
