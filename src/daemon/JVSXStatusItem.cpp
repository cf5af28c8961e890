#include "JVSXStatusItem.h"

#include "StatusMenuPicture.h"
#include "dbus/StatusNotifierHost.h"
#include "model/SnippetRecord.h"
#include "util/Localization.h"
#include "util/Log.h"
#include "xdg/XdgPaths.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPalette>
#include <QProcess>
#include <QUrl>
#include <QWidgetAction>

namespace snapwick {

namespace {

constexpr int kIconSize = 22;
constexpr int kPreviewCharacters = 40;

QIcon iconNamed(const QString& name)
{
    return QIcon(QPixmap::fromImage(JVSXSharedExtensions::statusItemPicture(name, kIconSize)));
}

bool panelIsDark()
{
    return QGuiApplication::palette().color(QPalette::Window).lightness() < 128;
}

QString textItemTitle(const plist::DictionaryPtr& snippet, const QString& toolTip)
{
    QString preview = toolTip.simplified();
    if (preview.size() > kPreviewCharacters)
        preview = preview.left(kPreviewCharacters - 1) + QChar(0x2026);
    const QString abbreviation = JVSXSharedExtensions::snippetAbbreviation(*snippet);
    return abbreviation.isEmpty() ? preview : abbreviation + QStringLiteral(" \u2014 ") + preview;
}

// A desktop entry is launched, not opened as a document.
void launch(const QString& path)
{
    if (!QProcess::startDetached(QStringLiteral("gio"), {QStringLiteral("launch"), path}))
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

// A menu entry that is a picture: a click chooses it as a plain entry's click would. Only a
// press inside the entry counts, so the release of the click that opened the menu, which
// lands on the first entry, chooses nothing.
class PictureEntry : public QLabel
{
public:
    PictureEntry(const QImage& picture, QWidgetAction& action) : m_action(action)
    {
        setPixmap(QPixmap::fromImage(picture));
        setContentsMargins(2, 0, 2, 0);
    }

protected:
    void mousePressEvent(QMouseEvent*) override { m_pressed = true; }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        const bool chosen = m_pressed && rect().contains(event->position().toPoint());
        m_pressed = false;
        if (chosen)
            m_action.trigger();
    }

private:
    QWidgetAction& m_action;
    bool m_pressed = false;
};

// The colour scheme arrives as a new application palette.
class PaletteWatcher : public QObject
{
public:
    explicit PaletteWatcher(std::function<void()> changed) : m_changed(std::move(changed))
    {
        QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == QCoreApplication::instance() &&
            event->type() == QEvent::ApplicationPaletteChange)
            m_changed();
        return false;
    }

private:
    std::function<void()> m_changed;
};

} // namespace

JVSXStatusItem::JVSXStatusItem(MenuSource source) : m_source(std::move(source))
{
    m_menuDrawnByHost = statusNotifierHostPresent();
    if (m_menuDrawnByHost)
        logLine(
            QStringLiteral("the panel draws the tray menu itself: snippets are listed as text"));
    m_paletteWatcher = std::make_unique<PaletteWatcher>([this] { changeColorVariant(); });
    changeColorVariant();
    replaceMenu();
    m_icon.show();
}

JVSXStatusItem::~JVSXStatusItem() = default;

void JVSXStatusItem::replaceMenu()
{
    auto menu = std::make_unique<QMenu>(JVSXLocalizedString("Snapwick"));
    QObject::connect(menu.get(), &QMenu::aboutToShow, [this] { menuNeedsUpdate(); });
    m_icon.setContextMenu(menu.get());
    m_menu = std::move(menu);
}

void JVSXStatusItem::changeColorVariant()
{
    m_icon.setIcon(iconNamed(panelIsDark() ? QStringLiteral("JVSXStatusItemGraphite")
                                           : QStringLiteral("JVSXStatusItemAqua")));
}

void JVSXStatusItem::menuNeedsUpdate()
{
    const plist::ArrayPtr snippets = m_source.snippets();
    fillStatusMenu(*this, snippets ? *snippets : plist::Array(), m_source.clientSeparatorIndex(),
                   xdg::JVSXPreferencePanePath(QStringLiteral("Snapwick")));
}

int JVSXStatusItem::itemCount() const
{
    return int(m_menu->actions().size());
}

QAction* JVSXStatusItem::snippetAction(const plist::DictionaryPtr& snippet, const QString& toolTip)
{
    if (m_menuDrawnByHost)
        return new QAction(textItemTitle(snippet, toolTip), m_menu.get());
    const QImage picture = JVSXSharedExtensions::statusMenuItemPicture(
        *snippet, m_source.itemWidth(), m_menu->devicePixelRatioF());
    if (picture.isNull())
        return nullptr;
    auto* action = new QWidgetAction(m_menu.get());
    auto* entry = new PictureEntry(picture, *action);
    entry->setToolTip(toolTip);
    action->setDefaultWidget(entry);
    QObject::connect(action, &QAction::triggered, m_menu.get(), &QMenu::close);
    return action;
}

bool JVSXStatusItem::addSnippetItem(const plist::DictionaryPtr& snippet, const QString& toolTip)
{
    QAction* action = snippetAction(snippet, toolTip);
    if (!action)
        return false;
    action->setToolTip(toolTip);
    QObject::connect(action, &QAction::triggered, [this, snippet] { m_source.paste(snippet); });
    m_menu->addAction(action);
    return true;
}

void JVSXStatusItem::insertSeparator(int position)
{
    m_menu->insertSeparator(m_menu->actions().at(position));
}

void JVSXStatusItem::addSeparator()
{
    m_menu->addSeparator();
}

void JVSXStatusItem::addPreferencesItem(const QString& title, const QString& panePath)
{
    QAction* action = m_menu->addAction(title);
    QObject::connect(action, &QAction::triggered, [panePath] { launch(panePath); });
}

void JVSXStatusItem::addDisabledItem(const QString& title)
{
    m_menu->addAction(title)->setEnabled(false);
}

} // namespace snapwick
