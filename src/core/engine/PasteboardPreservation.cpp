#include "PasteboardPreservation.h"

#include <algorithm>

namespace snapwick {

namespace {
constexpr int kRecheckMs = 50;
}

PasteboardPreservation::PasteboardPreservation(PasteboardServer& server) : m_server(server)
{
    m_pasteboardNormalizationTimer.setSingleShot(true);
    QObject::connect(&m_pasteboardNormalizationTimer, &QTimer::timeout,
                     [this] { restoreWhenRead(); });
}

void PasteboardPreservation::backUp(const std::vector<Pasteboard*>& clipboards)
{
    // While a restore is pending the clipboards hold our last replacement, not the user's
    // content: copying them now would put that replacement back in the end. The user's
    // content stays the backup.
    if (isRestorePending() && !m_currentPasteboardBackup.empty())
        return;
    m_currentPasteboardBackup.clear();
    if (!m_restorePasteboard)
        return;
    for (Pasteboard* clipboard : clipboards) {
        auto copy = PrivatePasteboard::pasteboardWithUniqueName();
        JVSXExtensions::duplicateToPasteboard(*clipboard, *copy);
        m_currentPasteboardBackup.push_back({clipboard, std::move(copy)});
    }
}

void PasteboardPreservation::schedulePasteboardNormalization()
{
    stopPasteboardNormalizationTimer();
    m_sinceExpansion.start();
    m_pasteboardNormalizationTimer.start(kRestoreDelayMs);
}

// The classic race of clipboard expanders: restoring before a slow application has read
// the replacement pastes the old clipboard. So the restore waits for the read, within bounds.
void PasteboardPreservation::restoreWhenRead()
{
    const bool read =
        m_currentPasteboardBackup.empty() ||
        std::any_of(m_currentPasteboardBackup.begin(), m_currentPasteboardBackup.end(),
                    [](const Backup& b) { return b.clipboard->contentHasBeenRead(); });
    if (!read && m_sinceExpansion.elapsed() < kLongestWaitMs) {
        m_pasteboardNormalizationTimer.start(kRecheckMs);
        return;
    }
    normalizePasteboard();
}

void PasteboardPreservation::normalizePasteboard()
{
    stopPasteboardNormalizationTimer();
    if (m_currentPasteboardBackup.empty())
        return;
    if (!m_server.generalPasteboard())
        return; // the backup stays held
    for (Backup& b : m_currentPasteboardBackup) {
        if (b.copy->types().isEmpty())
            b.clipboard->declareTypes({}); // it was empty before: leave it empty again
        else
            JVSXExtensions::duplicateToPasteboard(*b.copy, *b.clipboard);
    }
    m_currentPasteboardBackup.clear();
}

void PasteboardPreservation::stopPasteboardNormalizationTimer()
{
    m_pasteboardNormalizationTimer.stop();
}

} // namespace snapwick
