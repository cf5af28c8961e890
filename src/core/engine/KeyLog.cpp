#include "KeyLog.h"

#include "model/SnippetRecord.h"

namespace snapwick {

namespace {

bool isEditingKey(char16_t c)
{
    switch (c) {
    case DeleteCharacter:
    case UpArrowFunctionKey:
    case DownArrowFunctionKey:
    case LeftArrowFunctionKey:
    case RightArrowFunctionKey:
    case DeleteFunctionKey:
    case HomeFunctionKey:
    case EndFunctionKey:
    case PageUpFunctionKey:
    case PageDownFunctionKey:
        return true;
    default:
        return false; // Begin (0xF72A) and the F keys go on
    }
}

bool containsWhiteSpace(const QString& s)
{
    return std::any_of(s.begin(), s.end(), [](QChar c) { return c.isSpace(); });
}

bool sameApplication(const std::optional<ApplicationIdentity>& a,
                     const std::optional<ApplicationIdentity>& b)
{
    if (a.has_value() != b.has_value())
        return false;
    return !a || (a->bundleIdentifier == b->bundleIdentifier && a->displayName == b->displayName &&
                  a->windowClass == b->windowClass);
}

} // namespace

KeyLog::KeyLog(Environment environment) : m_env(environment) {}

void KeyLog::setSnippets(plist::ArrayPtr snippets)
{
    m_snippets = std::move(snippets);
    m_matcher.rebuild(m_snippets ? *m_snippets : plist::Array());
}

void KeyLog::setCanSelectWords(bool canSelectWords)
{
    m_canSelectWords = canSelectWords;
    m_frontKnown = false;
}

void KeyLog::setExceptions(const QStringList& exceptions)
{
    m_exceptions = QSet<QString>(exceptions.begin(), exceptions.end());
    m_frontKnown = false;
}

void KeyLog::clearKeyLog()
{
    m_keyLog.clear();
    m_lowerKeyLog.clear();
}

void KeyLog::keyLog(const KeyEvent& event)
{
    if (event.modifierFlags & (ControlKeyMask | CommandKeyMask)) {
        clearKeyLog();
        return;
    }
    if (event.charactersIgnoringModifiers.isEmpty()) {
        clearKeyLog();
        return;
    }
    const QPointF mouse = m_env.pointer.mouseLocation();
    if (mouse.x() != m_oldMouseLocation.x() || mouse.y() != m_oldMouseLocation.y()) {
        clearKeyLog(); // the pointer moved: the insertion point may be elsewhere now
        m_oldMouseLocation = mouse;
    }
    if (containsWhiteSpace(event.charactersIgnoringModifiers)) {
        if (m_expansionMode > 0)
            handle(m_keyLog, m_lowerKeyLog);
        clearKeyLog();
        return;
    }
    if (isEditingKey(event.charactersIgnoringModifiers.front().unicode()) ||
        event.characters.isEmpty()) {
        clearKeyLog();
        return;
    }
    m_keyLog += event.characters;
    m_lowerKeyLog += event.characters.toLower();
    if (m_expansionMode == 0 && handle(m_keyLog, m_lowerKeyLog))
        clearKeyLog();
}

bool KeyLog::handleAbbreviation(const QString& keyLog)
{
    return handle(keyLog, keyLog.toLower());
}

const KeyLog::FrontState& KeyLog::front()
{
    std::optional<ApplicationIdentity> identity = m_env.frontApplication.activeApplication();
    if (m_frontKnown && sameApplication(identity, m_front.identity))
        return m_front;
    m_front.behaviour = behaviourFor(identity, m_canSelectWords);
    m_front.isException = identity && !identity->displayName.isEmpty() &&
                          m_exceptions.contains(identity->displayName.toLower());
    m_front.identity = std::move(identity);
    m_frontKnown = true;
    return m_front;
}

bool KeyLog::handle(const QString& keyLog, const QString& lowerKeyLog)
{
    const FrontState& app = front();
    if (app.behaviour.neverExpands)
        return true;
    if (app.isException) {
        clearKeyLog();
        return false;
    }
    const qsizetype found = m_snippets ? m_matcher.match(keyLog, lowerKeyLog) : -1;
    if (found < 0)
        return false;
    const plist::Dictionary& snippet = *m_snippets->at(found).dictionary();
    const std::optional<QString> typed = keyLog; // the expansion may clear the key log it came from
    if (!m_env.paster.pasteSnippet(snippet, typed,
                                   JVSXSharedExtensions::snippetAbbreviationMode(snippet),
                                   app.behaviour.replacementMode))
        m_env.beeper.beep();
    return true;
}

} // namespace snapwick
