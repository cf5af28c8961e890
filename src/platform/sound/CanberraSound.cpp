#include "CanberraSound.h"

#include <canberra.h>

namespace snapwick {

CanberraSound::CanberraSound(QString file, QString themeEventId)
    : m_file(std::move(file)), m_eventId(std::move(themeEventId))
{
    if (ca_context_create(&m_context) != CA_SUCCESS)
        m_context = nullptr;
}

CanberraSound::~CanberraSound()
{
    if (m_context)
        ca_context_destroy(m_context);
}

bool CanberraSound::isPlaying() const
{
    int playing = 0;
    return m_context && ca_context_playing(m_context, kPlaybackId, &playing) == CA_SUCCESS &&
           playing;
}

void CanberraSound::play()
{
    if (!m_context)
        return;
    const QByteArray file = m_file.toLocal8Bit();
    const QByteArray event = m_eventId.toUtf8();
    if (!file.isEmpty() &&
        ca_context_play(m_context, kPlaybackId, CA_PROP_MEDIA_FILENAME, file.constData(),
                        CA_PROP_EVENT_DESCRIPTION, "Snippet expanded", nullptr) == CA_SUCCESS)
        return;
    ca_context_play(m_context, kPlaybackId, CA_PROP_EVENT_ID, event.constData(), nullptr);
}

} // namespace snapwick
