#pragma once

#include "plist/Dictionary.h"

#include <QProcess>
#include <QString>
#include <functional>

namespace testsupport {

// Keeps the Qt event loop turning for ms: X clients of this process go on being served.
void pause(int ms);
bool waitUntil(const std::function<bool()>& condition, int timeoutMs);
// Runs a program to its end while this process keeps serving the X clients it owns.
int run(const QString& program, const QStringList& args);

// Starts the real daemon with `settings` as its settings file, in a home of its own under
// `directory`, and waits until it is ready to expand.
bool startDaemon(QProcess& daemon, const QString& directory, const plist::DictionaryPtr& settings);

// An X server of our own (Xvfb with RECORD and XTEST) on a free display; DISPLAY points
// at it while it runs.
class XServer
{
public:
    bool start();
    ~XServer();
    const QString& display() const { return m_display; }

private:
    QProcess m_server;
    QString m_display;
};

} // namespace testsupport
