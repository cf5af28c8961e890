#pragma once

#include <QByteArray>
#include <QStringList>
#include <optional>

namespace snapwick {

// A clipboard: an ordered list of types, each with its data.
class Pasteboard
{
public:
    virtual ~Pasteboard() = default;
    virtual QStringList types() = 0;
    // None when the owner gives no data for the type (in time).
    virtual std::optional<QByteArray> dataForType(const QString& type) = 0;
    // Declares the types, in order, with no data yet: the previous content is gone.
    virtual void declareTypes(const QStringList& types) = 0;
    virtual bool setData(const QByteArray& data, const QString& type) = 0;
    // For the general clipboard: whether an application has fetched the content since it was
    // last declared. A clipboard that cannot tell says yes.
    virtual bool contentHasBeenRead() { return true; }
    // Serves the clipboard until an application has fetched the content or the time is up.
    virtual bool waitUntilRead(int /*timeoutMs*/) { return contentHasBeenRead(); }
};

// The system's general clipboard; null when there is none to be had.
class PasteboardServer
{
public:
    virtual ~PasteboardServer() = default;
    virtual Pasteboard* generalPasteboard() = 0;
    // The selection that Shift+Insert pastes from where the system has one (X11's PRIMARY).
    virtual Pasteboard* primarySelection() { return nullptr; }
};

class SoundPlayer
{
public:
    virtual ~SoundPlayer() = default;
    virtual bool isPlaying() const = 0;
    virtual void play() = 0;
};

} // namespace snapwick
