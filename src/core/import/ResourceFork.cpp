#include "ResourceFork.h"

#include <QtEndian>

namespace snapwick {

namespace {

constexpr std::uint32_t kHeaderSize = 16;
constexpr std::uint32_t kMapHeaderSize = 28;
constexpr std::uint32_t kTypeEntrySize = 8;
constexpr std::uint32_t kReferenceSize = 12;

std::uint32_t be32(const QByteArray& b, std::uint32_t at)
{
    return qFromBigEndian<quint32>(b.constData() + at);
}
std::uint16_t be16(const QByteArray& b, std::uint32_t at)
{
    return qFromBigEndian<quint16>(b.constData() + at);
}

// [offset, offset + length) lies within [0, size).
bool fits(std::uint64_t offset, std::uint64_t length, std::uint64_t size)
{
    return offset <= size && length <= size - offset;
}

} // namespace

std::optional<ResourceFork> ResourceFork::parse(QByteArray bytes)
{
    const std::uint64_t size = std::uint64_t(bytes.size());
    if (size < kHeaderSize)
        return std::nullopt;
    ResourceFork fork;
    fork.m_dataOffset = be32(bytes, 0);
    const std::uint32_t mapOffset = be32(bytes, 4);
    fork.m_dataLength = be32(bytes, 8);
    const std::uint32_t mapLength = be32(bytes, 12);
    if (!fits(fork.m_dataOffset, fork.m_dataLength, size) || !fits(mapOffset, mapLength, size) ||
        mapLength < kMapHeaderSize)
        return std::nullopt;
    const std::uint32_t typeListStart = mapOffset + be16(bytes, mapOffset + 24);
    fork.m_nameListStart = mapOffset + be16(bytes, mapOffset + 26);
    fork.m_mapEnd = mapOffset + mapLength;
    if (!fits(typeListStart, 2, fork.m_mapEnd) || fork.m_nameListStart > fork.m_mapEnd)
        return std::nullopt;
    const std::uint32_t typeCount =
        (be16(bytes, typeListStart) + 1u) & 0xFFFF; // stored as count - 1
    if (!fits(typeListStart + 2, std::uint64_t(typeCount) * kTypeEntrySize, fork.m_mapEnd))
        return std::nullopt;
    fork.m_types.reserve(typeCount);
    for (std::uint32_t t = 0; t < typeCount; ++t) {
        const std::uint32_t entry = typeListStart + 2 + t * kTypeEntrySize;
        Type type{bytes.mid(entry, 4), {}};
        const std::uint32_t referenceCount = be16(bytes, entry + 4) + 1u;
        const std::uint32_t referencesStart = typeListStart + be16(bytes, entry + 6);
        if (!fits(referencesStart, std::uint64_t(referenceCount) * kReferenceSize, fork.m_mapEnd))
            return std::nullopt;
        type.references.reserve(referenceCount);
        for (std::uint32_t r = 0; r < referenceCount; ++r) {
            const std::uint32_t ref = referencesStart + r * kReferenceSize;
            const auto nameOffset = std::int16_t(be16(bytes, ref + 2));
            type.references.push_back({std::int16_t(be16(bytes, ref)),
                                       nameOffset < 0 ? -1 : std::int32_t(nameOffset),
                                       be32(bytes, ref + 4) & 0x00FFFFFF});
        }
        fork.m_types.push_back(std::move(type));
    }
    fork.m_bytes = std::move(bytes);
    return fork;
}

const ResourceFork::Type* ResourceFork::find(const char (&type)[5]) const
{
    for (const Type& t : m_types) {
        if (t.code == QByteArray(type, 4))
            return &t;
    }
    return nullptr;
}

qsizetype ResourceFork::count(const char (&type)[5]) const
{
    const Type* t = find(type);
    return t ? qsizetype(t->references.size()) : 0;
}

std::optional<ResourceFork::Resource> ResourceFork::resource(const char (&type)[5],
                                                             qsizetype index) const
{
    const Type* t = find(type);
    if (!t || index < 1 || index > qsizetype(t->references.size()))
        return std::nullopt;
    const Reference& ref = t->references[std::size_t(index - 1)];
    Resource r;
    r.id = ref.id;
    const std::uint64_t dataAt = std::uint64_t(m_dataOffset) + ref.dataOffset;
    const std::uint64_t dataEnd = std::uint64_t(m_dataOffset) + m_dataLength;
    if (fits(dataAt, 4, dataEnd)) {
        const std::uint32_t length = be32(m_bytes, std::uint32_t(dataAt));
        if (fits(dataAt + 4, length, dataEnd))
            r.data = m_bytes.mid(qsizetype(dataAt + 4), qsizetype(length));
    }
    if (ref.nameOffset >= 0) {
        const std::uint64_t nameAt = std::uint64_t(m_nameListStart) + std::uint64_t(ref.nameOffset);
        if (fits(nameAt, 1, m_mapEnd)) {
            const auto length = std::uint8_t(m_bytes[qsizetype(nameAt)]);
            if (fits(nameAt + 1, length, m_mapEnd))
                r.name = m_bytes.mid(qsizetype(nameAt + 1), length);
        }
    }
    return r;
}

} // namespace snapwick
