#pragma once

#include "CalendarFormat.h"
#include "KeyLog.h"
#include "PasteboardPreservation.h"
#include "platform/ClipboardText.h"

#include <functional>

namespace snapwick {

// The clipboard types of an expansion, in the order they are declared.
namespace PasteboardType {
inline const QString Transient = QStringLiteral("org.snapwick.TransientPasteboardType");
// Asks clipboard managers not to record what is only passing through.
inline const QString PasswordManagerHint = QStringLiteral("x-kde-passwordManagerHint");
inline const QString PlainText = QStringLiteral("text/plain;charset=utf-8");
inline const QString Rtf = QStringLiteral("text/rtf");
inline const QString Rtfd = QStringLiteral("text/html");
inline const QString Pdf = QStringLiteral("application/pdf");
inline const QString Pict = QStringLiteral("image/x-pict");
inline const QString PostScript = QStringLiteral("application/postscript");
inline const QString Tiff = QStringLiteral("image/tiff");
inline const QString Png = QStringLiteral("image/png");
} // namespace PasteboardType

// One expansion end to end: the final replacement on the clipboard in every form it has,
// the typed abbreviation taken out by keystrokes, the paste, the cursor placed, the sound,
// and the user's clipboard put back later.
class SnippetExpansion : public SnippetPaster
{
public:
    struct Environment
    {
        PasteboardServer& pasteboards;
        const FrontApplication& frontApplication;
        SoundPlayer* bubble; // may be null
        std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };
        std::function<const CalendarLocale&()> locale;
    };

    explicit SnippetExpansion(Environment environment);

    void setExpansionMode(int mode) { m_expansionMode = mode; }
    void setAuditoryFeedback(bool on) { m_auditoryFeedback = on; }
    void setRestorePasteboard(bool on) { m_preservation.setRestorePasteboard(on); }
    PasteboardPreservation& preservation() { return m_preservation; }

    bool pasteSnippet(const plist::Dictionary& snippet, const std::optional<QString>& abbreviation,
                      std::int64_t abbreviationMode, ReplacementMode replacementMode) override;

    // The clipboard content of an expansion, type by type in declaration order.
    using Content = std::vector<std::pair<QString, QByteArray>>;
    struct Replacement
    {
        Content content;
        qsizetype cursorFromEnd = -1; // characters after "%|" in the final text, or -1
    };
    Replacement buildReplacement(const plist::Dictionary& snippet,
                                 const std::optional<QString>& abbreviation,
                                 std::int64_t abbreviationMode, ClipboardText* clipboardText) const;

    // How long the expansion waits for the application to fetch what it pastes.
    static constexpr int kPasteFetchWaitMs = 250;

private:
    void waitForPaste(const std::vector<Pasteboard*>& clipboards);
    void removeAbbreviation(const plist::Dictionary& snippet, int characters, ReplacementMode mode,
                            bool* movedBeforeWhiteSpace);
    void placeCursor(const plist::Dictionary& snippet, qsizetype cursorFromEnd,
                     bool movedBeforeWhiteSpace);

    Environment m_env;
    PasteboardPreservation m_preservation;
    int m_expansionMode = 0;
    bool m_auditoryFeedback = false;
};

// Keystrokes walk over what the user sees: one per grapheme cluster.
int userPerceivedLength(const QString& s);

} // namespace snapwick
