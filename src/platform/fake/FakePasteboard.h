#pragma once

#include "engine/PrivatePasteboard.h"

namespace snapwick::fake {

// The general clipboard in memory, with an application that reads it when told to.
class FakePasteboard : public PasteboardServer, public Pasteboard
{
public:
    bool available = true;
    bool readByApplication = true; // whether the content counts as fetched once set
    QStringList unreadableTypes;   // an owner that never answers for these

    Pasteboard* generalPasteboard() override { return available ? this : nullptr; }

    QStringList types() override { return m_board->types(); }
    std::optional<QByteArray> dataForType(const QString& type) override
    {
        if (unreadableTypes.contains(type))
            return std::nullopt;
        return m_board->dataForType(type);
    }
    void declareTypes(const QStringList& types) override
    {
        m_board->declareTypes(types);
        m_read = false;
    }
    bool setData(const QByteArray& data, const QString& type) override
    {
        return m_board->setData(data, type);
    }
    bool contentHasBeenRead() override { return m_read || readByApplication; }
    void applicationReads() { m_read = true; }

private:
    std::unique_ptr<PrivatePasteboard> m_board = PrivatePasteboard::pasteboardWithUniqueName();
    bool m_read = false;
};

} // namespace snapwick::fake
