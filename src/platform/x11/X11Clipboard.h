#pragma once

#include "X11Connection.h"
#include "platform/Pasteboard.h"

#include <QHash>

namespace snapwick::x11 {

// A selection (CLIPBOARD, or PRIMARY) as a clipboard. Reading asks the owner for each
// target and gives up on one after a second; writing takes confirmed ownership and serves
// the requests itself, large data incrementally.
class X11Clipboard : public Pasteboard
{
public:
    static constexpr int kReadTimeoutMs = 1000;

    X11Clipboard(X11Connection& connection, const char* selection);
    ~X11Clipboard() override;

    QStringList types() override;
    std::optional<QByteArray> dataForType(const QString& type) override;
    void declareTypes(const QStringList& types) override;
    bool setData(const QByteArray& data, const QString& type) override;
    bool contentHasBeenRead() override { return m_read; }
    bool waitUntilRead(int timeoutMs) override;

    bool ownsSelection() const;

private:
    struct Item
    {
        QString type;
        std::optional<QByteArray> data;
    };
    struct Transfer; // an incremental send in progress

    void handle(XEvent& event);
    void serve(XEvent& event);
    std::optional<QByteArray> convert(Atom target, Atom* type, int* format);
    std::optional<QByteArray> readProperty(Atom property, Atom* type, int* format,
                                           bool deleteAfter);
    std::optional<QByteArray> readIncrementally(Atom* type, int* format);
    unsigned long serverTime();
    const Item* itemFor(const QString& type) const;
    bool answer(Window requestor, Atom target, Atom property);
    void continueTransfer(XEvent& event);

    X11Connection& m_x;
    Atom m_selection;
    Window m_window;
    std::vector<Item> m_items; // what we serve while we own the selection
    unsigned long m_ownedSince = 0;
    bool m_owner = false;
    bool m_read = true;
    QHash<QString, std::pair<Atom, int>> m_formats; // property type and format of what was read
    std::vector<std::unique_ptr<Transfer>> m_transfers;
};

// The general clipboard, and the primary selection that some programs paste from.
class X11PasteboardServer : public PasteboardServer
{
public:
    explicit X11PasteboardServer(X11Connection& connection);
    Pasteboard* generalPasteboard() override { return &m_clipboard; }
    Pasteboard* primarySelection() override { return &m_primary; }

private:
    X11Clipboard m_clipboard;
    X11Clipboard m_primary;
};

} // namespace snapwick::x11
