#pragma once

namespace snapwick {

// Told after a writer has replaced the settings file, so that the other side reloads.
class SettingsChangeNotifier
{
public:
    virtual ~SettingsChangeNotifier() = default;
    virtual void settingsFileChanged() = 0;
};

} // namespace snapwick
