#pragma once

#include <QString>
#include <functional>

namespace snapwick {

// Named notifications between the programs of the logged-in user, carrying no data.
class NotificationCenter
{
public:
    virtual ~NotificationCenter() = default;
    virtual void post(const QString& name) = 0;
    virtual void observe(const QString& name, std::function<void()> action) = 0;
    virtual void removeAllObservers() = 0;
};

// The vendor prefix that opens every notification name.
inline const QString kVendorPrefix = QStringLiteral("org.snapwick");

namespace Notification {
inline const QString UpdateDaemon = kVendorPrefix + QStringLiteral(".Snapwick: Update Daemon");
inline const QString QuitDaemon = kVendorPrefix + QStringLiteral(".Snapwick: Quit Daemon");
inline const QString UpdatePane = kVendorPrefix + QStringLiteral(".Snapwick: Update Pane");
inline const QString UpdatePaneSoon = kVendorPrefix + QStringLiteral(".Snapwick: Update Pane Soon");
inline const QString UpdateRemoteSnippets =
    kVendorPrefix + QStringLiteral(".Snapwick: Update Remote Snippets");
inline const QString ValettoQuestion = kVendorPrefix + QStringLiteral(".Snapwick: Valetto?");
inline const QString ValettoAnswer = kVendorPrefix + QStringLiteral(".Snapwick: Valetto!");
inline const QString SnapwickQuestion = kVendorPrefix + QStringLiteral(".Snapwick: Snapwick?");
inline const QString SnapwickAnswer = kVendorPrefix + QStringLiteral(".Snapwick: Snapwick!");
} // namespace Notification

} // namespace snapwick
