#include "XdgPaths.h"

#include <QDir>

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

} // namespace snapwick::xdg
