#include "JVSXDaemonController.h"

#include "keystrokes/KeyboardSimulator.h"
#include "util/Localization.h"
#include "util/Log.h"
#include "xdg/XdgPaths.h"

#include <QApplication>
#include <QLocale>
#include <QMessageBox>
#include <X11/Xlib.h>

namespace snapwick {

namespace {

JVSXDaemonController* singletonJVSXDaemonController = nullptr;
constexpr int kAccessibilityCheckMs = 60 * 1000;

const CalendarLocale& userCalendar()
{
    static const CalendarLocale singletonUserCalendar =
        CalendarLocale::fromQLocale(QLocale::system());
    return singletonUserCalendar;
}

} // namespace

JVSXDaemonController::JVSXDaemonController(QString programPath, QString bubbleSound)
    : m_programPath(programPath), m_bubble(std::move(bubbleSound), QStringLiteral("message")),
      m_settings({xdg::settingsLocation(),
                  [this] { m_notifications.post(Notification::UpdateRemoteSnippets); }}),
      m_loginItem(std::move(programPath))
{
    if (singletonJVSXDaemonController)
        logLine(QStringLiteral(
            "should never have two main controllers -- please contact the developer!"));
    else
        singletonJVSXDaemonController = this;
    m_axCheck.setSingleShot(true);
    m_clientRetry.setSingleShot(true);
    QObject::connect(&m_axCheck, &QTimer::timeout, [this] { checkAXAPI(); });
    QObject::connect(&m_clientRetry, &QTimer::timeout, [this] { updateParametersForClientPath(); });
}

JVSXDaemonController::~JVSXDaemonController()
{
    cleanUp();
    JVKSSetPoster(nullptr);
    if (singletonJVSXDaemonController == this)
        singletonJVSXDaemonController = nullptr;
}

JVSXDaemonController* JVSXDaemonController::daemonController()
{
    return singletonJVSXDaemonController;
}

bool JVSXDaemonController::applicationDidFinishLaunching()
{
    m_loginItem.setLoginItem(true);
    m_x = x11::X11Connection::open();
    if (m_x) {
        m_keyboard = std::make_unique<x11::X11Keyboard>(*m_x);
        m_desktop = std::make_unique<x11::X11Desktop>(*m_x);
        m_pasteboards = std::make_unique<x11::X11PasteboardServer>(*m_x);
        JVKSSetPoster(m_keyboard.get());
        m_expansion = std::make_unique<SnippetExpansion>(SnippetExpansion::Environment{
            *m_pasteboards, *m_desktop, &m_bubble, [] { return QDateTime::currentDateTime(); },
            []() -> const CalendarLocale& { return userCalendar(); }});
        m_keyLog = std::make_unique<KeyLog>(
            KeyLog::Environment{*m_desktop, *m_desktop, *m_desktop, *m_expansion});
        m_desktop->onFrontApplicationSwitched([this] { m_keyLog->clearKeyLog(); });
        m_monitor = std::make_unique<x11::X11KeyMonitor>(*m_x, [this](const KeyEvent& e) {
            m_desktop->checkFocus();
            m_keyLog->keyLog(e);
        });
        m_monitor->start();
    }
    m_notifications.observe(Notification::UpdateDaemon,
                            [this] { updateParametersForSettingsChange(); });
    m_notifications.observe(Notification::QuitDaemon, [this] { quitDeliberately(); });
    m_notifications.observe(Notification::SnapwickQuestion,
                            [this] { m_notifications.post(Notification::SnapwickAnswer); });
    m_notifications.observe(Notification::ValettoAnswer, [] {
        logLine(QStringLiteral(
            "As you're already running Valetto, you don't need Snapwick, actually. Valetto's "
            "\"Quiet Expansions\" can do everything Snapwick does."));
    });
    m_notifications.post(Notification::ValettoQuestion);
    m_notifications.post(Notification::UpdatePane);
    updateParametersForSettingsChange();
    return true;
}

void JVSXDaemonController::reload()
{
    m_settings.reloadSettings(true);
    updateStatusItem();
    if (!m_keyLog)
        return;
    m_keyLog->setSnippets(m_settings.snippets());
    m_keyLog->setExpansionMode(m_settings.expansionMode());
    m_keyLog->setCanSelectWords(m_settings.canSelectWords());
    m_keyLog->setExceptions(m_settings.exceptions());
    m_expansion->setExpansionMode(m_settings.expansionMode());
    m_expansion->setRestorePasteboard(m_settings.restorePasteboard());
    m_expansion->setAuditoryFeedback(
        m_settings.boolForSetting(QStringLiteral("Auditory Feedback")));
}

void JVSXDaemonController::updateStatusItem()
{
    if (!m_settings.boolForSetting(QStringLiteral("Status Item"))) {
        m_statusItem.reset();
        return;
    }
    if (m_statusItem) {
        m_statusItem->replaceMenu();
        return;
    }
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        logLine(
            QStringLiteral("no system tray yet: the snippet menu shows once a panel offers one"));
    m_statusItem = std::make_unique<JVSXStatusItem>(JVSXStatusItem::MenuSource{
        [this] { return m_settings.snippets(); },
        [this] { return m_settings.clientSeparatorIndex(); },
        [this] { return statusMenuItemWidth(*m_settings.settings()); },
        [this](const plist::DictionaryPtr& snippet) { pasteFromMenuItem(snippet); }});
}

// Validity plays no part here: an unusable abbreviation's snippet can still be pasted.
void JVSXDaemonController::pasteFromMenuItem(const plist::DictionaryPtr& snippet)
{
    const bool pasted =
        snippet && m_expansion &&
        m_expansion->pasteSnippet(*snippet, std::nullopt, 0, ReplacementModeSelectCharacters);
    if (!pasted && m_desktop)
        m_desktop->beep();
}

void JVSXDaemonController::updateParametersForSettingsChange()
{
    cancelDelayedActions();
    reload();
    checkAXAPI();
    if (m_keyLog)
        m_keyLog->clearKeyLog();
}

void JVSXDaemonController::updateParametersForClientPath()
{
    cancelDelayedActions();
    reload();
    checkAXAPI();
}

// Accessibility on X11: the display can be reached and offers XTEST and RECORD.
bool JVSXDaemonController::accessibilityEnabled() const
{
    if (!m_x)
        return false;
    int opcode, event, error;
    return XQueryExtension(m_x->display(), "XTEST", &opcode, &event, &error) &&
           XQueryExtension(m_x->display(), "RECORD", &opcode, &event, &error);
}

void JVSXDaemonController::checkAXAPI()
{
    cancelDelayedActions();
    if (accessibilityEnabled()) {
        m_shouldWarnAboutMissingAXAPI = true;
    } else if (m_shouldWarnAboutMissingAXAPI) {
        m_shouldWarnAboutMissingAXAPI = false;
        if (m_desktop)
            m_desktop->beep();
        if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
            QMessageBox::warning(
                nullptr, JVSXLocalizedString("Snapwick Warning: Assistive devices are disabled"),
                JVSXLocalizedString(
                    "Please go to the \"Universal Access\" preference pane and enable access "
                    "for assistive devices before using Snapwick!") +
                    QStringLiteral("\n\n") +
                    JVSXLocalizedString("Snapwick will deactivate for now."),
                QMessageBox::Ok);
        }
        quitDeliberately();
        return;
    }
    issueDelayedActions();
}

void JVSXDaemonController::issueDelayedActions()
{
    m_axCheck.start(kAccessibilityCheckMs);
    if (m_settings.isClientSnippetsMissing())
        m_clientRetry.start(DaemonSettings::kClientRetrySeconds * 1000);
}

void JVSXDaemonController::cancelDelayedActions()
{
    m_axCheck.stop();
    m_clientRetry.stop();
}

void JVSXDaemonController::quitDeliberately()
{
    m_loginItem.setLoginItem(false);
    QCoreApplication::quit();
}

void JVSXDaemonController::cleanUp()
{
    if (m_cleanedUp)
        return;
    m_cleanedUp = true;
    cancelDelayedActions();
    m_notifications.removeAllObservers();
    m_statusItem.reset();
    m_notifications.post(Notification::UpdatePaneSoon);
    logLine(QStringLiteral("bye"));
}

} // namespace snapwick
