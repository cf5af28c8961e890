#include "Array.h"
#include "BinaryFormat.h"
#include "Dictionary.h"

#include <cstring>
#include <limits>

namespace plist {

namespace {

constexpr qint64 kHeaderSize = 8;
constexpr qint64 kTrailerSize = 32;
// Shared objects are expanded into separate mutable copies; this bounds what a file
// full of back-references can make us build.
constexpr std::uint64_t kMinNodeBudget = 1u << 22;

std::uint64_t readBigEndian(const uchar* p, int bytes)
{
    std::uint64_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v = (v << 8) | p[i];
    return v;
}

class BinaryParser
{
public:
    explicit BinaryParser(const QByteArray& bytes)
        : m_data(reinterpret_cast<const uchar*>(bytes.constData())), m_size(bytes.size())
    {}

    ReadResult parse()
    {
        ReadResult result;
        result.format = Format::Binary;
        Value root;
        if (readTrailer())
            root = object(m_topObject, 0);
        if (m_error.isEmpty()) {
            result.value = std::move(root);
        } else {
            result.error = m_error;
            result.offset = m_errorOffset;
        }
        return result;
    }

private:
    Value fail(const QString& message, qint64 offset)
    {
        if (m_error.isEmpty()) {
            m_error = message;
            m_errorOffset = offset;
        }
        return Value();
    }

    bool readTrailer()
    {
        if (m_size < kHeaderSize + kTrailerSize || std::memcmp(m_data, "bplist0", 7) != 0) {
            fail(QStringLiteral("not a binary property list"), 0);
            return false;
        }
        const uchar* t = m_data + m_size - kTrailerSize;
        m_offsetSize = t[6];
        m_refSize = t[7];
        m_objectCount = readBigEndian(t + 8, 8);
        m_topObject = readBigEndian(t + 16, 8);
        m_offsetTable = readBigEndian(t + 24, 8);
        const std::uint64_t tableLimit = std::uint64_t(m_size - kTrailerSize);
        if (m_offsetSize < 1 || m_offsetSize > 8 || m_refSize < 1 || m_refSize > 8 ||
            m_objectCount == 0 || m_topObject >= m_objectCount ||
            m_offsetTable < std::uint64_t(kHeaderSize) || m_offsetTable > tableLimit ||
            m_objectCount > (tableLimit - m_offsetTable) / m_offsetSize) {
            fail(QStringLiteral("inconsistent trailer"), m_size - kTrailerSize);
            return false;
        }
        m_leafCache.resize(std::size_t(m_objectCount));
        m_inProgress.assign(std::size_t(m_objectCount), false);
        m_nodeBudget = std::max<std::uint64_t>(kMinNodeBudget, 16 * m_objectCount);
        return true;
    }

    // Bytes available from offset up to the offset table, where objects end.
    std::uint64_t available(std::uint64_t offset) const { return m_offsetTable - offset; }

    std::optional<std::uint64_t> objectOffset(std::uint64_t ref)
    {
        if (ref >= m_objectCount) {
            fail(QStringLiteral("object reference %1 out of range").arg(ref), -1);
            return std::nullopt;
        }
        const std::uint64_t offset =
            readBigEndian(m_data + m_offsetTable + ref * m_offsetSize, m_offsetSize);
        if (offset < std::uint64_t(kHeaderSize) || offset >= m_offsetTable) {
            fail(QStringLiteral("object %1 lies outside the object area").arg(ref), -1);
            return std::nullopt;
        }
        return offset;
    }

    // Length of a data, string or container object: in the marker's low nibble, or an
    // integer object behind it. Advances `pos` to the first byte of the contents.
    std::optional<std::uint64_t> length(uchar info, std::uint64_t& pos)
    {
        if (info != 0x0F)
            return info;
        if (available(pos) < 1 || (m_data[pos] & 0xF0) != 0x10 || (m_data[pos] & 0x0F) > 3) {
            fail(QStringLiteral("bad length"), qint64(pos));
            return std::nullopt;
        }
        const int bytes = 1 << (m_data[pos] & 0x0F);
        ++pos;
        if (available(pos) < std::uint64_t(bytes)) {
            fail(QStringLiteral("truncated length"), qint64(pos));
            return std::nullopt;
        }
        const std::uint64_t n = readBigEndian(m_data + pos, bytes);
        pos += std::uint64_t(bytes);
        return n;
    }

    bool spend()
    {
        if (m_nodeBudget == 0) {
            fail(QStringLiteral("too many objects (shared references expand beyond the limit)"),
                 -1);
            return false;
        }
        --m_nodeBudget;
        return true;
    }

    Value object(std::uint64_t ref, int depth)
    {
        if (depth > kMaxDepth)
            return fail(QStringLiteral("nesting deeper than %1 levels").arg(kMaxDepth), -1);
        const auto offset = objectOffset(ref);
        if (!offset || !spend())
            return Value();
        if (!m_leafCache[ref].isNone())
            return m_leafCache[ref];
        const uchar marker = m_data[*offset];
        const uchar kind = marker >> 4;
        if (kind == 0xA || kind == 0xB || kind == 0xC || kind == 0xD)
            return container(ref, *offset, depth);
        Value leaf = scalar(marker, *offset);
        if (m_error.isEmpty())
            m_leafCache[ref] = leaf;
        return leaf;
    }

    Value scalar(uchar marker, std::uint64_t offset)
    {
        const uchar info = marker & 0x0F;
        std::uint64_t pos = offset + 1;
        const qint64 at = qint64(offset);
        switch (marker >> 4) {
        case 0x0:
            if (marker == 0x08 || marker == 0x09)
                return Value(marker == 0x09);
            return fail(QStringLiteral("null or fill object is not a property-list value"), at);
        case 0x1:
            return integer(info, pos);
        case 0x2:
            return real(info, pos);
        case 0x3:
            if (marker != 0x33 || available(pos) < 8)
                return fail(QStringLiteral("bad date"), at);
            return Value(Date{bitsToDouble(readBigEndian(m_data + pos, 8))});
        case 0x4: {
            const auto n = length(info, pos);
            if (!n || *n > available(pos))
                return fail(QStringLiteral("data runs past the end"), at);
            return Value(QByteArray(reinterpret_cast<const char*>(m_data + pos), qsizetype(*n)));
        }
        case 0x5: {
            const auto n = length(info, pos);
            if (!n || *n > available(pos))
                return fail(QStringLiteral("string runs past the end"), at);
            return Value(
                QString::fromLatin1(reinterpret_cast<const char*>(m_data + pos), qsizetype(*n)));
        }
        case 0x6: {
            const auto n = length(info, pos);
            if (!n || *n > available(pos) / 2)
                return fail(QStringLiteral("string runs past the end"), at);
            QString s(qsizetype(*n), Qt::Uninitialized);
            char16_t* w = reinterpret_cast<char16_t*>(s.data());
            for (std::uint64_t i = 0; i < *n; ++i)
                w[i] = char16_t(m_data[pos + 2 * i] << 8 | m_data[pos + 2 * i + 1]);
            return Value(std::move(s));
        }
        case 0x7: {
            const auto n = length(info, pos);
            if (!n || *n > available(pos))
                return fail(QStringLiteral("string runs past the end"), at);
            return Value(
                QString::fromUtf8(reinterpret_cast<const char*>(m_data + pos), qsizetype(*n)));
        }
        case 0x8:
            if (available(pos) < std::uint64_t(info) + 1 || info > 7)
                return fail(QStringLiteral("bad UID"), at);
            return Value(Uid{readBigEndian(m_data + pos, info + 1)});
        default:
            return fail(
                QStringLiteral("unknown object type 0x%1").arg(marker, 2, 16, QLatin1Char('0')),
                at);
        }
    }

    Value integer(uchar info, std::uint64_t pos)
    {
        if (info > 4 || available(pos) < (1u << info))
            return fail(QStringLiteral("bad integer"), qint64(pos) - 1);
        const int bytes = 1 << info;
        if (bytes < 8) // 1, 2 and 4 bytes are unsigned
            return Value(Integer{std::int64_t(readBigEndian(m_data + pos, bytes)), false});
        if (bytes == 8)
            return Value(Integer{std::int64_t(readBigEndian(m_data + pos, 8)), false});
        const std::uint64_t high = readBigEndian(m_data + pos, 8);
        const std::uint64_t low = readBigEndian(m_data + pos + 8, 8);
        if (high == 0)
            return Value(Integer{std::int64_t(low), low > std::uint64_t(INT64_MAX)});
        if (high == ~std::uint64_t(0) && std::int64_t(low) < 0)
            return Value(Integer{std::int64_t(low), false});
        return fail(QStringLiteral("integer wider than 64 bits"), qint64(pos) - 1);
    }

    Value real(uchar info, std::uint64_t pos)
    {
        if (info == 2 && available(pos) >= 4) {
            const auto bits = std::uint32_t(readBigEndian(m_data + pos, 4));
            float f;
            std::memcpy(&f, &bits, 4);
            return Value(double(f));
        }
        if (info == 3 && available(pos) >= 8)
            return Value(bitsToDouble(readBigEndian(m_data + pos, 8)));
        return fail(QStringLiteral("bad real"), qint64(pos) - 1);
    }

    static double bitsToDouble(std::uint64_t bits)
    {
        double d;
        std::memcpy(&d, &bits, 8);
        return d;
    }

    Value container(std::uint64_t ref, std::uint64_t offset, int depth)
    {
        const uchar marker = m_data[offset];
        std::uint64_t pos = offset + 1;
        const auto count = length(marker & 0x0F, pos);
        const bool isDictionary = (marker >> 4) == 0xD;
        const std::uint64_t refsPerEntry = isDictionary ? 2 : 1;
        if (!count || *count > available(pos) / m_refSize / refsPerEntry)
            return fail(QStringLiteral("container runs past the end"), qint64(offset));
        if (m_inProgress[ref])
            return fail(QStringLiteral("a container contains itself"), qint64(offset));
        m_inProgress[ref] = true;
        Value result = isDictionary ? dictionary(*count, pos, depth) : array(*count, pos, depth);
        m_inProgress[ref] = false;
        return result;
    }

    std::uint64_t refAt(std::uint64_t pos, std::uint64_t i) const
    {
        return readBigEndian(m_data + pos + i * m_refSize, m_refSize);
    }

    Value array(std::uint64_t count, std::uint64_t pos, int depth)
    {
        std::vector<Value> values;
        values.reserve(std::size_t(count));
        for (std::uint64_t i = 0; i < count; ++i) {
            Value v = object(refAt(pos, i), depth + 1);
            if (!m_error.isEmpty())
                return Value();
            values.push_back(std::move(v));
        }
        return Value(std::make_shared<Array>(std::move(values)));
    }

    Value dictionary(std::uint64_t count, std::uint64_t pos, int depth)
    {
        auto dict = std::make_shared<Dictionary>();
        dict->reserve(qsizetype(count));
        for (std::uint64_t i = 0; i < count; ++i) {
            const Value key = object(refAt(pos, i), depth + 1);
            if (!m_error.isEmpty())
                return Value();
            if (!key.isString())
                return fail(QStringLiteral("dictionary key is not a string"), qint64(pos));
            Value v = object(refAt(pos, count + i), depth + 1);
            if (!m_error.isEmpty())
                return Value();
            dict->set(*key.stringPtr(), std::move(v));
        }
        return Value(std::move(dict));
    }

    const uchar* m_data;
    qint64 m_size;
    int m_offsetSize = 0;
    int m_refSize = 0;
    std::uint64_t m_objectCount = 0;
    std::uint64_t m_topObject = 0;
    std::uint64_t m_offsetTable = 0;
    std::uint64_t m_nodeBudget = 0;
    std::vector<Value> m_leafCache; // leaves are immutable values, decoded once
    std::vector<bool> m_inProgress; // containers on the current path, to refuse cycles
    QString m_error;
    qint64 m_errorOffset = -1;
};

} // namespace

ReadResult readBinary(const QByteArray& bytes)
{
    return BinaryParser(bytes).parse();
}

} // namespace plist
