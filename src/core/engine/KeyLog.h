#pragma once

#include "ApplicationRules.h"
#include "SnippetMatcher.h"
#include "platform/Beeper.h"
#include "platform/KeyEvent.h"
#include "platform/PointerLocator.h"

#include <QSet>

namespace snapwick {

// Where a recognised abbreviation goes: the expansion (removal, paste, restore).
class SnippetPaster
{
public:
    virtual ~SnippetPaster() = default;
    // abbreviation is the key log as typed; none when a snippet is pasted from the menu.
    virtual bool pasteSnippet(const plist::Dictionary& snippet,
                              const std::optional<QString>& abbreviation,
                              std::int64_t abbreviationMode, ReplacementMode replacementMode) = 0;
};

// The daemon controller's key-log side: the text typed since the last word boundary,
// compared with the abbreviations of the valid snippets at the right moment.
class KeyLog
{
public:
    struct Environment
    {
        const FrontApplication& frontApplication;
        const PointerLocator& pointer;
        Beeper& beeper;
        SnippetPaster& paster;
    };

    explicit KeyLog(Environment environment);

    // The settings of the last load. The snippets must carry their "Valid" flags.
    void setSnippets(plist::ArrayPtr snippets);
    void setExpansionMode(int mode) { m_expansionMode = mode; }
    void setCanSelectWords(bool canSelectWords);
    // Lower-cased application names; none or empty: no exceptions.
    void setExceptions(const QStringList& exceptions);

    void keyLog(const KeyEvent& event);
    void clearKeyLog();
    // True when the key log equals a valid snippet's abbreviation (expanded or not), and
    // in the application where nothing is ever expanded.
    bool handleAbbreviation(const QString& keyLog);

    const QString& currentKeyLog() const { return m_keyLog; }

private:
    bool handle(const QString& keyLog, const QString& lowerKeyLog);
    // The application in front and what it needs, worked out once per application.
    struct FrontState
    {
        std::optional<ApplicationIdentity> identity;
        ApplicationBehaviour behaviour;
        bool isException = false;
    };
    const FrontState& front();

    Environment m_env;
    plist::ArrayPtr m_snippets;
    SnippetMatcher m_matcher;
    int m_expansionMode = 0;
    bool m_canSelectWords = true;
    QSet<QString> m_exceptions;
    QString m_keyLog;
    QString m_lowerKeyLog; // kept alongside, so matching lower-cases only what is typed
    QPointF m_oldMouseLocation{-1.0, -1.0};
    FrontState m_front;
    bool m_frontKnown = false;
};

} // namespace snapwick
