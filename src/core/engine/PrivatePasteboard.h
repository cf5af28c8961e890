#pragma once

#include "platform/Pasteboard.h"

#include <memory>
#include <vector>

namespace snapwick {

// A clipboard of our own, in memory: the scratch clipboard of an expansion, the backup of
// the user's clipboard.
class PrivatePasteboard : public Pasteboard
{
public:
    // Each with a name no other has, as the platform's private clipboards are made.
    static std::unique_ptr<PrivatePasteboard> pasteboardWithUniqueName();

    const QString& name() const { return m_name; }
    QStringList types() override;
    std::optional<QByteArray> dataForType(const QString& type) override;
    void declareTypes(const QStringList& types) override;
    bool setData(const QByteArray& data, const QString& type) override;

private:
    explicit PrivatePasteboard(QString name) : m_name(std::move(name)) {}

    QString m_name;
    std::vector<std::pair<QString, std::optional<QByteArray>>> m_items;
};

} // namespace snapwick

namespace JVSXExtensions {

// Declares every type of source on target, in order, and copies the data each has; true
// when at least one type was copied.
bool duplicateToPasteboard(snapwick::Pasteboard& source, snapwick::Pasteboard& target);

} // namespace JVSXExtensions
