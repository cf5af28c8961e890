#include "XdgPaths.h"

#include <QDir>
#include <QFileInfo>

namespace snapwick::xdg {

QString dataHome()
{
    const QString configured = qEnvironmentVariable("XDG_DATA_HOME");
    if (!configured.isEmpty() && QDir::isAbsolutePath(configured))
        return QDir::cleanPath(configured);
    return QDir::homePath() + QStringLiteral("/.local/share");
}

SettingsLocation settingsLocation()
{
    return SettingsLocation::inSupportDirectory(dataHome());
}

std::optional<QString> JVSXPreferencePanePath(const QString& name)
{
    const QStringList folders{QStringLiteral("/usr/local/share/applications"),
                              dataHome() + QStringLiteral("/applications"),
                              QStringLiteral("/usr/share/applications")};
    for (const QString& folder : folders) {
        const QString path = folder + u'/' + name + QStringLiteral(".desktop");
        if (QFileInfo(path).isFile())
            return path;
    }
    return std::nullopt;
}

} // namespace snapwick::xdg
