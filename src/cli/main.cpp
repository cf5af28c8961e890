#include "ArchiveCommand.h"
#include "Console.h"
#include "EngineCommands.h"
#include "ImportCommands.h"
#include "NotifyCommands.h"
#include "PlistCommand.h"
#include "SettingsCommand.h"
#include "dbus/DBusNotificationCenter.h"

#include <QCoreApplication>
#include <functional>

using namespace snapwick::cli;

namespace {

// Tells a running daemon that the settings file changed, as the preferences do.
class DaemonNotifier : public snapwick::SettingsChangeNotifier
{
public:
    void settingsFileChanged() override
    {
        snapwick::DBusNotificationCenter center;
        if (center.isConnected())
            center.post(snapwick::Notification::UpdateDaemon);
    }
};

snapwick::SettingsChangeNotifier& settingsChanged()
{
    static DaemonNotifier notifier;
    return notifier;
}

struct Command
{
    const char16_t* name;
    std::function<int(const QStringList&)> run;
};

const Command kCommands[] = {
    {u"archive", archiveCommand},
    {u"check", checkCommand},
    {u"expand", expandCommand},
    {u"export", exportCommand},
    {u"import", [](const QStringList& args) { return importCommand(args, settingsChanged()); }},
    {u"notify", notifyCommand},
    {u"plist", plistCommand},
    {u"settings", settingsCommand},
    {u"watch", watchCommand},
};

int help()
{
    printOut(QStringLiteral(
        "usage: snapwick COMMAND ...\n"
        "  archive decode FILE\n"
        "  archive encode-text TEXT OUT\n"
        "  check [SETTINGS]\n"
        "  expand TEXT [--date ISO8601] [--locale NAME] [--case 0-3] [--clipboard TEXT]\n"
        "  export [SETTINGS] OUT\n"
        "  import FILE... [--into SETTINGS] [--at INDEX] [--mode 0|1|2]\n"
        "  plist convert --to xml|binary|openstep IN OUT\n"
        "  plist show FILE\n"
        "  settings path\n"));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("snapwick"));
    const QStringList args = QCoreApplication::arguments().mid(1);
    const QString name = args.value(0);
    if (name.isEmpty() || name == u"help" || name == u"--help" || name == u"-h")
        return help();
    for (const Command& command : kCommands) {
        if (name == QStringView(command.name))
            return command.run(args.mid(1));
    }
    return fail(QStringLiteral("unknown command \"%1\" (try snapwick help)").arg(name));
}
