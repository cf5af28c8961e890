#include "PasteboardPreservation.h"

namespace snapwick {

namespace {
constexpr int kRecheckMs = 50;
}

PasteboardPreservation::PasteboardPreservation(PasteboardServer& server) : m_server(server)
{
    m_pasteboardNormalizationTimer.setSingleShot(true);
    QObject::connect(&m_pasteboardNormalizationTimer, &QTimer::timeout, [this] { restoreWhenRead(); });
}

void PasteboardPreservation::backUp(Pasteboard& general)
{
    m_currentPasteboardBackup.reset();
    if (!m_restorePasteboard)
        return;
    m_currentPasteboardBackup = PrivatePasteboard::pasteboardWithUniqueName();
    JVSXExtensions::duplicateToPasteboard(general, *m_currentPasteboardBackup);
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
    Pasteboard* general = m_server.generalPasteboard();
    if (general && !general->contentHasBeenRead() && m_sinceExpansion.elapsed() < kLongestWaitMs) {
        m_pasteboardNormalizationTimer.start(kRecheckMs);
        return;
    }
    normalizePasteboard();
}

void PasteboardPreservation::normalizePasteboard()
{
    stopPasteboardNormalizationTimer();
    if (!m_currentPasteboardBackup)
        return;
    Pasteboard* general = m_server.generalPasteboard();
    if (!general)
        return; // the backup stays held
    if (m_currentPasteboardBackup->types().isEmpty())
        general->declareTypes({}); // the clipboard was empty before: leave it empty again
    else
        JVSXExtensions::duplicateToPasteboard(*m_currentPasteboardBackup, *general);
    m_currentPasteboardBackup.reset();
}

void PasteboardPreservation::stopPasteboardNormalizationTimer() { m_pasteboardNormalizationTimer.stop(); }

} // namespace snapwick
