#include "AutostartEntry.h"

#include "util/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace snapwick::xdg {

namespace {

QString configHome()
{
    const QString configured = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!configured.isEmpty() && QDir::isAbsolutePath(configured))
        return configured;
    return QDir::homePath() + QStringLiteral("/.config");
}

QString execOf(const QByteArray& entry)
{
    for (const QByteArray& line : entry.split('\n')) {
        if (line.startsWith("Exec="))
            return QString::fromUtf8(line.mid(5)).trimmed();
    }
    return {};
}

} // namespace

AutostartEntry::AutostartEntry(QString programPath) : m_program(std::move(programPath)) {}

QString AutostartEntry::entryPath()
{
    return configHome() + QStringLiteral("/autostart/snapwickdaemon.desktop");
}

bool AutostartEntry::isLoginItem() const
{
    QFile f(entryPath());
    if (!f.open(QIODevice::ReadOnly))
        return false;
    QString exec = execOf(f.read(64 * 1024));
    if (exec.startsWith(u"~/"))
        exec = QDir::homePath() + exec.mid(1);
    return exec == m_program;
}

bool AutostartEntry::setLoginItem(bool wanted)
{
    if (isLoginItem() == wanted)
        return true;
    if (!wanted)
        return QFile::remove(entryPath());
    if (!QDir().mkpath(QFileInfo(entryPath()).path()))
        return false;
    const QByteArray entry = "[Desktop Entry]\nType=Application\nName=Snapwick\nComment=Expands "
                             "your snippets as you type\n"
                             "Exec=" +
                             m_program.toUtf8() +
                             "\nNoDisplay=true\nX-GNOME-Autostart-enabled=true\n";
    return writeFileAtomically(entryPath(), entry);
}

} // namespace snapwick::xdg
