#include "AppleDouble.h"

#include <QtEndian>

namespace snapwick {

namespace {

constexpr quint32 kAppleSingle = 0x00051600;
constexpr quint32 kAppleDouble = 0x00051607;
constexpr quint32 kResourceForkEntry = 2;
constexpr qsizetype kHeaderSize = 26; // magic, version, 16 bytes filler, entry count
constexpr qsizetype kEntrySize = 12;

} // namespace

bool isAppleContainer(const QByteArray& bytes)
{
    if (bytes.size() < kHeaderSize)
        return false;
    const quint32 magic = qFromBigEndian<quint32>(bytes.constData());
    return magic == kAppleSingle || magic == kAppleDouble;
}

std::optional<QByteArray> resourceForkOfAppleContainer(const QByteArray& bytes)
{
    if (!isAppleContainer(bytes))
        return std::nullopt;
    const quint16 entries = qFromBigEndian<quint16>(bytes.constData() + 24);
    if (entries > (bytes.size() - kHeaderSize) / kEntrySize)
        return std::nullopt;
    for (quint16 i = 0; i < entries; ++i) {
        const char* entry = bytes.constData() + kHeaderSize + i * kEntrySize;
        if (qFromBigEndian<quint32>(entry) != kResourceForkEntry)
            continue;
        const quint64 offset = qFromBigEndian<quint32>(entry + 4);
        const quint64 length = qFromBigEndian<quint32>(entry + 8);
        if (offset > quint64(bytes.size()) || length > quint64(bytes.size()) - offset)
            return std::nullopt;
        return bytes.mid(qsizetype(offset), qsizetype(length));
    }
    return std::nullopt;
}

} // namespace snapwick
