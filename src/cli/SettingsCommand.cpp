#include "SettingsCommand.h"

#include "Console.h"
#include "xdg/XdgPaths.h"

namespace snapwick::cli {

int settingsCommand(const QStringList& args)
{
    if (args != QStringList{QStringLiteral("path")})
        return usage(QStringLiteral("settings path"));
    printOut(xdg::settingsLocation().filePath + u'\n');
    return 0;
}

} // namespace snapwick::cli
