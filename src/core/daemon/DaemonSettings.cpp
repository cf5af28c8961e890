#include "DaemonSettings.h"

#include "engine/SnippetPreparation.h"
#include "import/SnippetImport.h"
#include "util/Log.h"

#include <QFile>

namespace snapwick {

namespace {
const QString kSnippets = QStringLiteral("Snippets");
const QString kRemoteSnippets = QStringLiteral("Remote Snippets");
} // namespace

DaemonSettings::DaemonSettings(Hooks hooks) : m_hooks(std::move(hooks)) {}

plist::DictionaryPtr DaemonSettings::reloadSettings(bool force)
{
    if (!force && m_document)
        return m_document;
    QString why;
    m_document = JVSXSharedExtensions::deeplyMutableDictionaryWithContentsOfFile(
        m_hooks.location.filePath, &why);
    if (!m_document && QFile::exists(m_hooks.location.filePath))
        logLine(
            QStringLiteral("settings could not be read, running without snippets: %1").arg(why));
    plist::Dictionary empty;
    plist::Dictionary& d =
        m_document ? *m_document : empty; // a missing document reads as absent values
    m_expansionMode = int(d.integerForKey(QStringLiteral("Expander Mode")));
    m_canSelectWords = !d.boolForKey(QStringLiteral("Always Select By Character"));
    const bool clientMode =
        d.boolForKey(QStringLiteral("Client Mode")) && d.contains(QStringLiteral("Snippets Path"));
    m_isClientSnippetsMissing = false;
    if (clientMode && m_document)
        fetchRemoteSnippets(d);
    m_exceptions = parseExceptions(d.stringForKey(QStringLiteral("Expander Exceptions")));
    m_restorePasteboard = d.boolForKey(QStringLiteral("Restore Pasteboard"));
    merge(d, clientMode);
    if (plist::Array* list = d.arrayForKey(kSnippets))
        prepareSnippets(*list, m_expansionMode, m_canSelectWords);
    logLine(QStringLiteral("tick"));
    return m_document;
}

void DaemonSettings::fetchRemoteSnippets(plist::Dictionary& document)
{
    const plist::Array* cached = document.arrayForKey(kRemoteSnippets);
    const qsizetype oldCount = cached ? cached->size() : 0;
    auto fetched = std::make_shared<plist::Array>();
    JVSXSharedExtensions::appendSnippetsFromFile(
        *fetched, document.stringForKey(QStringLiteral("Snippets Path")), nullptr,
        document.integerForKey(QStringLiteral("Default Abbreviation Mode")));
    if (fetched->isEmpty()) {
        m_isClientSnippetsMissing = true;
        if (m_shouldWarnAboutMissingRemoteSnippets) {
            logLine(
                QStringLiteral(
                    "could not update remote snippets -- will try again with %1 seconds intervals")
                    .arg(kClientRetrySeconds));
            m_shouldWarnAboutMissingRemoteSnippets = false;
        }
        return;
    }
    document.set(kRemoteSnippets, plist::Value(fetched));
    if (writeSettingsDocument(m_document, m_hooks.location)) {
        if (fetched->size() != oldCount)
            m_hooks.remoteSnippetsChanged();
        logLine(QStringLiteral("updated remote snippets"));
    } else {
        logLine(QStringLiteral("could not save settings after getting remote snippets"));
    }
    m_shouldWarnAboutMissingRemoteSnippets = true;
}

void DaemonSettings::merge(plist::Dictionary& document, bool clientMode)
{
    plist::Array* own = document.arrayForKey(kSnippets);
    const qsizetype ownCount = own ? own->size() : 0;
    m_clientSeparatorIndex = -1;
    if (const plist::Array* remote = document.arrayForKey(kRemoteSnippets)) {
        if (clientMode && own && !remote->isEmpty()) {
            for (const plist::Value& r : *remote)
                own->append(r);
            if (ownCount > 0)
                m_clientSeparatorIndex = int(ownCount);
        }
        document.remove(kRemoteSnippets);
    }
}

plist::ArrayPtr DaemonSettings::snippets() const
{
    const plist::Value v = m_document ? m_document->value(kSnippets) : plist::Value();
    return v.arrayPtr() ? v.arrayPtr() : std::make_shared<plist::Array>();
}

plist::Value DaemonSettings::valueForSetting(const QString& key)
{
    const plist::DictionaryPtr d = settings();
    return d ? d->value(key) : plist::Value();
}

bool DaemonSettings::boolForSetting(const QString& key)
{
    return valueForSetting(key).boolValue();
}

std::int64_t DaemonSettings::integerForSetting(const QString& key)
{
    return valueForSetting(key).integerValue();
}

QStringList DaemonSettings::parseExceptions(const QString& setting)
{
    QStringList names;
    for (const QString& piece : setting.split(u',')) {
        const QString name = piece.toLower().trimmed();
        if (!name.isEmpty())
            names << name;
    }
    return names;
}

} // namespace snapwick
