#pragma once

#include "model/SettingsDocument.h"
#include "plist/Array.h"

#include <QStringList>
#include <functional>

namespace snapwick {

// The daemon's copy of the settings document and what the engine reads from it: loaded in
// full at start and at every change, with the remote snippets of client mode fetched,
// cached in the file and merged behind the user's own.
class DaemonSettings
{
public:
    static constexpr int kClientRetrySeconds = 30;

    struct Hooks
    {
        SettingsLocation location;
        // Told when a fetch stored a different number of remote snippets.
        std::function<void()> remoteSnippetsChanged = [] {};
    };

    explicit DaemonSettings(Hooks hooks);

    // With force false and a document held, the held one; otherwise a full load.
    plist::DictionaryPtr reloadSettings(bool force);
    plist::DictionaryPtr settings() { return reloadSettings(false); }
    plist::Value valueForSetting(const QString& key);
    bool boolForSetting(const QString& key);
    std::int64_t integerForSetting(const QString& key);

    // The fields a load sets.
    int expansionMode() const { return m_expansionMode; }
    bool canSelectWords() const { return m_canSelectWords; }
    bool isClientSnippetsMissing() const { return m_isClientSnippetsMissing; }
    int clientSeparatorIndex() const { return m_clientSeparatorIndex; }
    const QStringList& exceptions() const { return m_exceptions; } // empty: none
    bool restorePasteboard() const { return m_restorePasteboard; }
    // The merged and prepared list the engine matches against.
    plist::ArrayPtr snippets() const;

    static QStringList parseExceptions(const QString& setting);

private:
    void fetchRemoteSnippets(plist::Dictionary& document);
    void merge(plist::Dictionary& document, bool clientMode);

    Hooks m_hooks;
    plist::DictionaryPtr m_document;
    int m_expansionMode = 0;
    bool m_canSelectWords = true;
    bool m_isClientSnippetsMissing = false;
    int m_clientSeparatorIndex = -1;
    QStringList m_exceptions;
    bool m_restorePasteboard = false;
    bool m_shouldWarnAboutMissingRemoteSnippets = true;
};

} // namespace snapwick
