#pragma once

#include "model/SettingsDocument.h"

namespace snapwick::xdg {

// $XDG_DATA_HOME when it is an absolute path, else ~/.local/share (the base-directory
// rule): the home of application data, as the application-support folder is elsewhere.
QString dataHome();
SettingsLocation settingsLocation();

} // namespace snapwick::xdg
