#pragma once

#include "platform/Pasteboard.h"

#include <QString>

struct ca_context;

namespace snapwick {

// A named sound through libcanberra: our own bundled file, the desktop theme's sound of
// the same event as the fallback. Without a sound server nothing plays, silently.
class CanberraSound : public SoundPlayer
{
public:
    CanberraSound(QString file, QString themeEventId);
    ~CanberraSound() override;

    bool isPlaying() const override;
    void play() override;

private:
    ca_context* m_context = nullptr;
    QString m_file;
    QString m_eventId;
    static constexpr std::uint32_t kPlaybackId = 1;
};

} // namespace snapwick
