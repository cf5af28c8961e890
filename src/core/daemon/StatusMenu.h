#pragma once

#include "plist/Array.h"
#include "plist/Dictionary.h"

#include <QString>
#include <optional>

namespace snapwick {

// Where the tray menu's items go; the daemon adds real menu entries, tests record them.
class StatusMenuSink
{
public:
    virtual ~StatusMenuSink() = default;
    virtual int itemCount() const = 0;
    // False when the snippet's picture could not be made: no item then.
    virtual bool addSnippetItem(const plist::DictionaryPtr& snippet, const QString& toolTip) = 0;
    virtual void insertSeparator(int position) = 0;
    virtual void addSeparator() = 0;
    virtual void addPreferencesItem(const QString& title, const QString& panePath) = 0;
    virtual void addDisabledItem(const QString& title) = 0;
};

// "Snippet Menu Item Width", kept to a width a menu can show.
int statusMenuItemWidth(const plist::Dictionary& settings);

// Fills an empty menu: every snippet with a replacement, a separator before the remote
// ones when own ones precede and at least two follow, then the preferences or "(Empty)".
void fillStatusMenu(StatusMenuSink& menu, const plist::Array& snippets, int clientSeparatorIndex,
                    const std::optional<QString>& panePath);

} // namespace snapwick
