#include "SnippetExpansion.h"

#include "Placeholders.h"
#include "keystrokes/KeyboardSimulator.h"
#include "model/FormattedText.h"
#include "model/SnippetRecord.h"
#include "platform/KeyEvent.h"
#include "text/Html.h"
#include "text/Rtf.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QImageWriter>
#include <QTextBoundaryFinder>

namespace snapwick {

using namespace JVSXSharedExtensions;

namespace {

QByteArray encodedPicture(const QImage& image, const char* format)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    return writer.write(image) ? buffer.data() : QByteArray();
}

// The picture of a picture-only snippet: one character, one attached picture.
std::optional<QImage> onlyPicture(const QString& plain, const text::AttributedStringPtr& formatted)
{
    if (!formatted || plain.size() != 1)
        return std::nullopt;
    const QList<QImage> images = attachedImages(*formatted);
    if (images.size() != 1)
        return std::nullopt;
    return images.front();
}

// The general clipboard's plain text, for the clipboard placeholder; read at most once.
class GeneralClipboardText : public ClipboardText
{
public:
    explicit GeneralClipboardText(PasteboardServer& server) : m_server(server) {}
    std::optional<QString> plainText() override
    {
        Pasteboard* general = m_server.generalPasteboard();
        const auto data = general ? general->dataForType(PasteboardType::PlainText) : std::nullopt;
        return data ? std::optional(QString::fromUtf8(*data)) : std::nullopt;
    }

private:
    PasteboardServer& m_server;
};

} // namespace

int userPerceivedLength(const QString& s)
{
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, s);
    int count = 0;
    while (graphemes.toNextBoundary() > 0)
        ++count;
    return count;
}

SnippetExpansion::SnippetExpansion(Environment environment)
    : m_env(std::move(environment)), m_preservation(m_env.pasteboards)
{}

SnippetExpansion::Replacement SnippetExpansion::buildReplacement(
    const plist::Dictionary& snippet, const std::optional<QString>& abbreviation,
    std::int64_t abbreviationMode, ClipboardText* clipboardText) const
{
    Replacement r;
    r.content.emplace_back(PasteboardType::Transient, QByteArray());
    r.content.emplace_back(PasteboardType::PasswordManagerHint, QByteArrayLiteral("secret"));
    const QString plain = plainSnippetReplacement(snippet);
    text::AttributedStringPtr formatted = formattedSnippetReplacement(snippet);

    if (const auto picture = onlyPicture(plain, formatted)) {
        const QByteArray tiff = encodedPicture(*picture, "tiff");
        if (!tiff.isEmpty()) {
            r.content.emplace_back(PasteboardType::Tiff, tiff);
            r.content.emplace_back(PasteboardType::Png, encodedPicture(*picture, "png"));
            return r;
        }
    }
    const int caseMode = JVSXExtensions::caseConversionModeFor(abbreviationMode, abbreviation);
    const QDateTime moment = m_env.now(); // one moment for both texts
    const CalendarLocale& locale = m_env.locale();
    QString finalText = JVSXExtensions::stringByReplacingDateFormattersWithDate(
        plain, moment, locale, caseMode, clipboardText);
    const qsizetype cursor = finalText.indexOf(u"%|");
    if (cursor >= 0) {
        finalText.remove(cursor, 2);
        r.cursorFromEnd = userPerceivedLength(finalText.mid(cursor));
    }
    r.content.emplace_back(PasteboardType::PlainText, finalText.toUtf8());
    if (formatted) {
        auto substituted = std::make_shared<text::AttributedString>(*formatted);
        JVSXExtensions::replaceDateFormattersWithDate(*substituted, moment, locale, caseMode,
                                                      clipboardText);
        text::AttributedStringPtr finalFormatted = substituted;
        if (cursor >= 0)
            finalFormatted = JVSXExtensions::attributedStringByDeletingFirstOccurenceString(
                finalFormatted, QStringLiteral("%|"));
        r.content.emplace_back(PasteboardType::Rtf, text::rtfFromAttributedString(*finalFormatted));
        r.content.emplace_back(PasteboardType::Rtfd,
                               text::htmlFromAttributedString(*finalFormatted));
    }
    return r;
}

bool SnippetExpansion::pasteSnippet(const plist::Dictionary& snippet,
                                    const std::optional<QString>& abbreviation,
                                    std::int64_t abbreviationMode, ReplacementMode replacementMode)
{
    if (plainSnippetReplacement(snippet).isEmpty())
        return false;
    const auto scratch = PrivatePasteboard::pasteboardWithUniqueName();
    GeneralClipboardText clipboardText(m_env.pasteboards);
    const Replacement replacement =
        buildReplacement(snippet, abbreviation, abbreviationMode, &clipboardText);
    QStringList types;
    for (const auto& [type, data] : replacement.content)
        types << type;
    scratch->declareTypes(types);
    for (const auto& [type, data] : replacement.content)
        scratch->setData(data, type);

    const ApplicationBehaviour behaviour =
        behaviourFor(m_env.frontApplication.activeApplication(), true);
    Pasteboard* general = m_env.pasteboards.generalPasteboard();
    if (!general)
        return true;
    // Programs that paste with Shift+Insert take the primary selection: it gets the
    // replacement too, and its own content back afterwards.
    std::vector<Pasteboard*> clipboards{general};
    if (Pasteboard* primary = m_env.pasteboards.primarySelection();
        primary && behaviour.pasteShortcut == PasteShortcut::ShiftInsert)
        clipboards.push_back(primary);
    m_preservation.backUp(clipboards);
    if (!JVSXExtensions::duplicateToPasteboard(*scratch, *general))
        return true;
    if (clipboards.size() > 1)
        JVSXExtensions::duplicateToPasteboard(*scratch, *clipboards[1]);

    JVKSSetPasteShortcut(behaviour.pasteShortcut);
    JVKSSetKeystrokeMode(true);
    bool movedBeforeWhiteSpace = false;
    if (abbreviation)
        removeAbbreviation(snippet, userPerceivedLength(*abbreviation), replacementMode,
                           &movedBeforeWhiteSpace);
    JVKSPostCommandVKeystroke();
    // Many programs fetch the pasted data asynchronously: a cursor key sent before they have
    // it would land before the paste. So the paste is served first, within bounds.
    waitForPaste(clipboards);
    placeCursor(snippet, replacement.cursorFromEnd, movedBeforeWhiteSpace);
    JVKSSetKeystrokeMode(false);

    if (m_auditoryFeedback && m_env.bubble && !m_env.bubble->isPlaying())
        m_env.bubble->play();
    if (m_preservation.restorePasteboard())
        m_preservation.schedulePasteboardNormalization();
    return true;
}

void SnippetExpansion::waitForPaste(const std::vector<Pasteboard*>& clipboards)
{
    constexpr int kSliceMs = 2; // every clipboard in turn, so that whichever is read ends the wait
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < kPasteFetchWaitMs) {
        for (Pasteboard* c : clipboards) {
            if (c->waitUntilRead(kSliceMs))
                return;
        }
    }
}

void SnippetExpansion::removeAbbreviation(const plist::Dictionary& snippet, int n,
                                          ReplacementMode mode, bool* movedBeforeWhiteSpace)
{
    const bool byCharacter = snippet.contains(SnippetKey::SelectsByCharacter);
    const auto selectWord = [&] {
        if (byCharacter)
            JVKSPostLeftArrowKeystrokes(ShiftKeyMask, n);
        else
            JVKSPostLeftArrowKeystrokes(ShiftKeyMask | AlternateKeyMask, 1);
    };
    const int m = mode == ReplacementModeSelectWord || mode == ReplacementModeBackspace
                      ? mode
                      : ReplacementModeSelectCharacters;
    // The abbreviation alone, from where the cursor stands.
    const auto removeTyped = [&] {
        if (m == ReplacementModeSelectCharacters)
            JVKSPostLeftArrowKeystrokes(ShiftKeyMask, n);
        else if (m == ReplacementModeSelectWord)
            selectWord();
        else
            JVKSPostBackspaceKeystrokes(n);
    };
    if (m_expansionMode <= 0) {
        removeTyped();
        return;
    }
    if (!snippet.contains(SnippetKey::RemovesWhiteSpace)) {
        JVKSPostLeftArrowKeystrokes(0, 1); // in front of the white space, which stays
        removeTyped();
        *movedBeforeWhiteSpace = true;
        return;
    }
    if (m == ReplacementModeSelectCharacters) {
        JVKSPostLeftArrowKeystrokes(ShiftKeyMask, n + 1);
    } else if (m == ReplacementModeSelectWord) {
        JVKSPostLeftArrowKeystrokes(ShiftKeyMask, 1);
        selectWord();
    } else {
        JVKSPostBackspaceKeystrokes(n + 1);
    }
}

void SnippetExpansion::placeCursor(const plist::Dictionary& snippet, qsizetype cursorFromEnd,
                                   bool movedBeforeWhiteSpace)
{
    if (cursorFromEnd >= 0) {
        if (cursorFromEnd >= 1)
            JVKSPostLeftArrowKeystrokes(0, int(cursorFromEnd));
        return;
    }
    if (const plist::Array* moves = snippet.arrayForKey(SnippetKey::Cursor)) {
        for (const plist::Value& move : *moves) {
            const QString m = move.string();
            if (m == u"<")
                JVKSPostLeftArrowKeystrokes(0, 1);
            else if (m == u"^")
                JVKSPostUpArrowKeystrokes(0, 1);
            else if (m == u">")
                JVKSPostRightArrowKeystrokes(0, 1);
            else
                JVKSPostDownArrowKeystrokes(0, 1);
        }
        return;
    }
    if (movedBeforeWhiteSpace)
        JVKSPostRightArrowKeystrokes(0, 1);
}

} // namespace snapwick
