#include "PrivatePasteboard.h"

namespace snapwick {

std::unique_ptr<PrivatePasteboard> PrivatePasteboard::pasteboardWithUniqueName()
{
    static quint64 counter = 0;
    return std::unique_ptr<PrivatePasteboard>(
        new PrivatePasteboard(QStringLiteral("org.snapwick.private.%1").arg(++counter)));
}

QStringList PrivatePasteboard::types()
{
    QStringList t;
    for (const auto& item : m_items)
        t << item.first;
    return t;
}

std::optional<QByteArray> PrivatePasteboard::dataForType(const QString& type)
{
    for (const auto& item : m_items) {
        if (item.first == type)
            return item.second;
    }
    return std::nullopt;
}

void PrivatePasteboard::declareTypes(const QStringList& types)
{
    m_items.clear();
    for (const QString& t : types)
        m_items.emplace_back(t, std::nullopt);
}

bool PrivatePasteboard::setData(const QByteArray& data, const QString& type)
{
    for (auto& item : m_items) {
        if (item.first == type) {
            item.second = data;
            return true;
        }
    }
    return false;
}

} // namespace snapwick

namespace JVSXExtensions {

bool duplicateToPasteboard(snapwick::Pasteboard& source, snapwick::Pasteboard& target)
{
    const QStringList types = source.types();
    if (types.isEmpty())
        return false;
    // The promise time-out of the platform is the general clipboard's own: reading one
    // type from a slow owner gives up after a second there.
    std::vector<std::optional<QByteArray>> data;
    data.reserve(std::size_t(types.size()));
    for (const QString& type : types)
        data.push_back(
            source.dataForType(type)); // read all before declaring: source may be target's owner
    target.declareTypes(types);
    bool copied = false;
    for (qsizetype i = 0; i < types.size(); ++i) {
        if (data[std::size_t(i)])
            copied = target.setData(*data[std::size_t(i)], types[i]) || copied;
    }
    return copied;
}

} // namespace JVSXExtensions
