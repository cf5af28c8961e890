#include "StatusMenu.h"

#include "model/SnippetRecord.h"
#include "util/Localization.h"

#include <algorithm>

namespace snapwick {

namespace {

constexpr int kDefaultItemWidth = 220;
constexpr int kNarrowestItem = 100;
constexpr int kWidestItem = 1000;

} // namespace

int statusMenuItemWidth(const plist::Dictionary& settings)
{
    static const QString key = QStringLiteral("Snippet Menu Item Width");
    if (!settings.contains(key))
        return kDefaultItemWidth;
    return int(std::clamp<std::int64_t>(settings.integerForKey(key), kNarrowestItem, kWidestItem));
}

void fillStatusMenu(StatusMenuSink& menu, const plist::Array& snippets, int clientSeparatorIndex,
                    const std::optional<QString>& panePath)
{
    if (menu.itemCount() > 0)
        return;
    int separatorPosition = -1;
    for (int i = 0; i < int(snippets.size()); ++i) {
        if (i == clientSeparatorIndex)
            separatorPosition = menu.itemCount();
        const plist::DictionaryPtr snippet = snippets.at(i).dictionaryPtr();
        if (!snippet)
            continue;
        const QString text = JVSXSharedExtensions::plainSnippetReplacement(*snippet);
        if (!text.isEmpty())
            menu.addSnippetItem(snippet, text);
    }
    if (separatorPosition > 0 && separatorPosition < menu.itemCount() - 1)
        menu.insertSeparator(separatorPosition);
    if (panePath) {
        if (menu.itemCount() > 0)
            menu.addSeparator();
        menu.addPreferencesItem(JVSXLocalizedString("Snapwick Preferences..."), *panePath);
    }
    if (menu.itemCount() == 0)
        menu.addDisabledItem(JVSXLocalizedString("(Empty)"));
}

} // namespace snapwick
