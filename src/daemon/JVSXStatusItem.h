#pragma once

#include "daemon/StatusMenu.h"

#include <QMenu>
#include <QSystemTrayIcon>
#include <functional>

namespace snapwick {

// The tray icon and its snippet menu. The menu is made anew by every settings load and
// filled the first time it opens afterwards.
class JVSXStatusItem : public StatusMenuSink
{
public:
    struct MenuSource
    {
        std::function<plist::ArrayPtr()> snippets;
        std::function<int()> clientSeparatorIndex;
        std::function<int()> itemWidth;
        std::function<void(const plist::DictionaryPtr&)> paste;
    };

    explicit JVSXStatusItem(MenuSource source);
    ~JVSXStatusItem() override;

    void replaceMenu();
    // Light panels get the coloured icon, dark ones the pale one.
    void changeColorVariant();

    int itemCount() const override;
    bool addSnippetItem(const plist::DictionaryPtr& snippet, const QString& toolTip) override;
    void insertSeparator(int position) override;
    void addSeparator() override;
    void addPreferencesItem(const QString& title, const QString& panePath) override;
    void addDisabledItem(const QString& title) override;

private:
    void menuNeedsUpdate();
    QAction* snippetAction(const plist::DictionaryPtr& snippet, const QString& toolTip);

    MenuSource m_source;
    QSystemTrayIcon m_icon;
    std::unique_ptr<QMenu> m_menu;
    std::unique_ptr<QObject> m_paletteWatcher;
    bool m_menuDrawnByHost = false;
};

} // namespace snapwick
