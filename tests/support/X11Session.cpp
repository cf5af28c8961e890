#include "X11Session.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

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

bool XServer::start()
{
    for (int n = 90; n < 140; ++n) {
        if (QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)))
            continue;
        m_display = QStringLiteral(":%1").arg(n);
        m_server.start(QStringLiteral("Xvfb"), {m_display, QStringLiteral("-screen"), QStringLiteral("0"),
                                                  QStringLiteral("1280x800x24"), QStringLiteral("+extension"),
                                                  QStringLiteral("RECORD"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        if (!m_server.waitForStarted(5000))
            return false;
        const QByteArray name = m_display.toLatin1();
        const bool up = waitUntil([&] {
            Display* d = XOpenDisplay(name.constData());
            if (d)
                XCloseDisplay(d);
            return d != nullptr;
        }, 5000);
        if (up) {
            qputenv("DISPLAY", name);
            return true;
        }
        m_server.kill();
        m_server.waitForFinished();
    }
    return false;
}

XServer::~XServer()
{
    m_server.terminate();
    m_server.waitForFinished(3000);
}

} // namespace testsupport
