#pragma once

#include "model/SettingsDocument.h"

#include <optional>

namespace snapwick::xdg {

// $XDG_DATA_HOME when it is an absolute path, else ~/.local/share (the base-directory
// rule): the home of application data, as the application-support folder is elsewhere.
QString dataHome();
SettingsLocation settingsLocation();
// The first NAME.desktop in the system-wide local, the user's, then the distribution's
// applications folder; none when the program is not installed.
std::optional<QString> JVSXPreferencePanePath(const QString& name);

} // namespace snapwick::xdg
