#pragma once

#include "JVSXStatusItem.h"
#include "daemon/DaemonSettings.h"
#include "dbus/DBusNotificationCenter.h"
#include "engine/KeyLog.h"
#include "engine/SnippetExpansion.h"
#include "sound/CanberraSound.h"
#include "x11/X11Clipboard.h"
#include "x11/X11Connection.h"
#include "x11/X11Desktop.h"
#include "x11/X11KeyMonitor.h"
#include "x11/X11Keyboard.h"
#include "xdg/AutostartEntry.h"

#include <QTimer>

namespace snapwick {

// The daemon's one controller: it watches the keys, expands, follows the settings file and
// the notifications, and keeps itself among the programs started at login.
class JVSXDaemonController
{
public:
    JVSXDaemonController(QString programPath, QString bubbleSound);
    ~JVSXDaemonController();
    static JVSXDaemonController* daemonController();

    // The start-up steps; false when the display cannot be reached at all.
    bool applicationDidFinishLaunching();
    void updateParametersForSettingsChange();
    void updateParametersForClientPath();
    void checkAXAPI();
    void issueDelayedActions();
    void cancelDelayedActions();
    void quitDeliberately();
    void cleanUp();

private:
    void reload();
    void updateStatusItem();
    void pasteFromMenuItem(const plist::DictionaryPtr& snippet);
    bool accessibilityEnabled() const;

    QString m_programPath;
    std::unique_ptr<x11::X11Connection> m_x;
    std::unique_ptr<x11::X11Keyboard> m_keyboard;
    std::unique_ptr<x11::X11Desktop> m_desktop;
    std::unique_ptr<x11::X11PasteboardServer> m_pasteboards;
    std::unique_ptr<x11::X11KeyMonitor> m_monitor;
    CanberraSound m_bubble;
    DBusNotificationCenter m_notifications;
    DaemonSettings m_settings;
    std::unique_ptr<SnippetExpansion> m_expansion;
    std::unique_ptr<KeyLog> m_keyLog;
    xdg::AutostartEntry m_loginItem;
    std::unique_ptr<JVSXStatusItem> m_statusItem;
    QTimer m_axCheck, m_clientRetry;
    bool m_shouldWarnAboutMissingAXAPI = true;
    bool m_cleanedUp = false;
};

} // namespace snapwick
