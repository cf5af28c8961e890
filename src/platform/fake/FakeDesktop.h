#pragma once

#include "engine/KeyLog.h"
#include "platform/ClipboardText.h"

#include <vector>

namespace snapwick::fake {

// The desktop as the engine sees it, in memory: set what the platform would report,
// read back what the engine asked of it.
class FakeDesktop : public FrontApplication,
                    public PointerLocator,
                    public Beeper,
                    public ClipboardText,
                    public SnippetPaster
{
public:
    struct Paste
    {
        qsizetype snippetIndex;
        QString abbreviation;
        std::int64_t abbreviationMode;
        ReplacementMode replacementMode;
    };

    std::optional<ApplicationIdentity> front = ApplicationIdentity{
        QStringLiteral("org.example.editor"), QStringLiteral("Editor"), QString()};
    QPointF mouse{10, 10};
    std::optional<QString> clipboard;
    bool pasteSucceeds = true;
    int beeps = 0;
    int clipboardReads = 0;
    std::vector<Paste> pastes;
    const plist::Array* snippets = nullptr; // to report which snippet was pasted

    std::optional<ApplicationIdentity> activeApplication() const override { return front; }
    QPointF mouseLocation() const override { return mouse; }
    void beep() override { ++beeps; }
    std::optional<QString> plainText() override
    {
        ++clipboardReads;
        return clipboard;
    }
    bool pasteSnippet(const plist::Dictionary& snippet, const std::optional<QString>& abbreviation,
                      std::int64_t abbreviationMode, ReplacementMode replacementMode) override
    {
        qsizetype index = -1;
        for (qsizetype i = 0; snippets && i < snippets->size(); ++i) {
            if (snippets->at(i).dictionary() == &snippet)
                index = i;
        }
        pastes.push_back(
            {index, abbreviation.value_or(QString()), abbreviationMode, replacementMode});
        return pasteSucceeds;
    }
};

} // namespace snapwick::fake
