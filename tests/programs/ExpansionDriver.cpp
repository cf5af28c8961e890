// The engine with the real X11 backends, for the end-to-end tests: it watches the keys of
// the display, expands the snippets of a settings file and restores the clipboard.
#include "engine/KeyLog.h"
#include "engine/SnippetExpansion.h"
#include "engine/SnippetPreparation.h"
#include "keystrokes/KeyboardSimulator.h"
#include "model/SettingsDocument.h"
#include "sound/CanberraSound.h"
#include "x11/X11Clipboard.h"
#include "x11/X11Connection.h"
#include "x11/X11Desktop.h"
#include "x11/X11KeyMonitor.h"
#include "x11/X11Keyboard.h"

#include <QGuiApplication>
#include <QLocale>
#include <cstdio>

using namespace snapwick;

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen"); // Qt draws nothing here; X is ours alone
    QGuiApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const plist::DictionaryPtr settings =
        JVSXSharedExtensions::deeplyMutableDictionaryWithContentsOfFile(
            QString::fromLocal8Bit(argv[1]));
    if (!settings)
        return 3;
    auto x = x11::X11Connection::open();
    if (!x)
        return 4;
    x11::X11Keyboard keyboard(*x);
    x11::X11Desktop desktop(*x);
    x11::X11PasteboardServer pasteboards(*x);
    JVKSSetPoster(&keyboard);

    const int expanderMode = int(settings->integerForKey(QStringLiteral("Expander Mode")));
    plist::ArrayPtr snippets = settings->value(QStringLiteral("Snippets")).arrayPtr();
    if (!snippets)
        snippets = std::make_shared<plist::Array>();
    const bool canSelectWords = !settings->boolForKey(QStringLiteral("Always Select By Character"));
    prepareSnippets(*snippets, expanderMode, canSelectWords);

    static const CalendarLocale locale = CalendarLocale::fromQLocale(QLocale::system());
    CanberraSound bubble(QStringLiteral(SNAPWICK_BUBBLE_SOUND), QStringLiteral("message"));
    SnippetExpansion expansion({pasteboards, desktop, &bubble,
                                [] { return QDateTime::currentDateTime(); },
                                []() -> const CalendarLocale& { return locale; }});
    expansion.setExpansionMode(expanderMode);
    expansion.setRestorePasteboard(settings->boolForKey(QStringLiteral("Restore Pasteboard")));
    expansion.setAuditoryFeedback(settings->boolForKey(QStringLiteral("Auditory Feedback")));
    KeyLog keyLog({desktop, desktop, desktop, expansion});
    keyLog.setSnippets(snippets);
    keyLog.setExpansionMode(expanderMode);
    keyLog.setCanSelectWords(canSelectWords);
    desktop.onFrontApplicationSwitched([&] { keyLog.clearKeyLog(); });

    x11::X11KeyMonitor monitor(*x, [&](const KeyEvent& e) {
        desktop.checkFocus();
        keyLog.keyLog(e);
    });
    if (!monitor.start())
        return 5;
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}
