#pragma once

#include <QString>

namespace snapwick::xdg {

// The login item as an XDG autostart entry: $XDG_CONFIG_HOME/autostart/snapwickdaemon.desktop
// whose Exec is the daemon's full path. An entry is ours when its Exec is that path, with
// the home directory written in full or as "~".
class AutostartEntry
{
public:
    explicit AutostartEntry(QString programPath);
    static QString entryPath();

    bool isLoginItem() const;
    // Adding writes the entry when it is not there; removing takes it away when it is ours.
    bool setLoginItem(bool wanted);

private:
    QString m_program;
};

} // namespace snapwick::xdg
