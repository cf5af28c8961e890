#pragma once

#include "PrivatePasteboard.h"

#include <QElapsedTimer>
#include <QTimer>

namespace snapwick {

// The user's clipboard, copied aside before an expansion and put back after it.
class PasteboardPreservation
{
public:
    // The restore waits 0.8 s, and also until the application has read the replacement,
    // but never longer than this.
    static constexpr int kRestoreDelayMs = 800;
    static constexpr int kLongestWaitMs = 3000;

    explicit PasteboardPreservation(PasteboardServer& server);

    void setRestorePasteboard(bool on) { m_restorePasteboard = on; }
    bool restorePasteboard() const { return m_restorePasteboard; }

    // Releases an earlier backup; takes a new one of each clipboard only when restoring is on.
    void backUp(const std::vector<Pasteboard*>& clipboards);
    void schedulePasteboardNormalization();
    void normalizePasteboard();
    void stopPasteboardNormalizationTimer();

    bool hasBackup() const { return !m_currentPasteboardBackup.empty(); }
    bool isRestorePending() const { return m_pasteboardNormalizationTimer.isActive(); }

private:
    void restoreWhenRead();

    PasteboardServer& m_server;
    bool m_restorePasteboard = false;
    struct Backup
    {
        Pasteboard* clipboard;
        std::unique_ptr<PrivatePasteboard> copy;
    };
    std::vector<Backup> m_currentPasteboardBackup;
    QTimer m_pasteboardNormalizationTimer;
    QElapsedTimer m_sinceExpansion;
};

} // namespace snapwick
