#include "FlatFileWrapper.h"

#include <QtEndian>

namespace text {

namespace {

constexpr char kMagic[] = "rtfd";
constexpr quint32 kVersion = 3;
constexpr quint32 kRegularFile = 1;
constexpr quint32 kDefaultMode = 0644;

void putU32(QByteArray& out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

void putBlock(QByteArray& out, const QByteArray& contents)
{
    putU32(out, kRegularFile);
    putU32(out, quint32(contents.size()));
    out.append(contents);
}

// Per-file attributes: modification time and mode, as the platform keeps them in ".".
QByteArray attributesEntry(const std::vector<FileWrapper>& files)
{
    QByteArray a;
    putU32(a, quint32(files.size()));
    for (const FileWrapper& f : files) {
        const QByteArray name = f.preferredFilename.toUtf8();
        putU32(a, quint32(name.size()));
        a.append(name);
        putU32(a, 16);
        putU32(a, 0); // modification time unknown
        putU32(a, kDefaultMode);
        putU32(a, 0);
        putU32(a, 0);
    }
    return a;
}

class FlatReader
{
public:
    explicit FlatReader(const QByteArray& b) : m_b(b) {}

    std::optional<quint32> u32()
    {
        if (m_b.size() - m_pos < 4)
            return std::nullopt;
        const quint32 v = qFromLittleEndian<quint32>(m_b.constData() + m_pos);
        m_pos += 4;
        return v;
    }

    std::optional<QByteArray> bytes(quint32 n)
    {
        if (quint64(m_b.size() - m_pos) < n)
            return std::nullopt;
        QByteArray out = m_b.mid(m_pos, qsizetype(n));
        m_pos += qsizetype(n);
        return out;
    }

    qsizetype remaining() const { return m_b.size() - m_pos; }

private:
    const QByteArray& m_b;
    qsizetype m_pos = 0;
};

} // namespace

QByteArray serializeFlatDirectory(const FlatDirectory& directory)
{
    QByteArray out(kMagic, 4);
    putU32(out, 0);
    putU32(out, kVersion);
    putU32(out, quint32(directory.files.size() + 1));
    QList<QByteArray> blocks;
    for (const FileWrapper& f : directory.files) {
        const QByteArray name = f.preferredFilename.toUtf8();
        putU32(out, quint32(name.size()));
        out.append(name);
    }
    putU32(out, 1);
    out.append('.');
    auto block = [](const QByteArray& contents) {
        QByteArray b;
        putBlock(b, contents);
        return b;
    };
    for (const FileWrapper& f : directory.files)
        blocks.append(block(f.contents));
    blocks.append(block(attributesEntry(directory.files)));
    for (const QByteArray& b : blocks)
        putU32(out, quint32(b.size()));
    for (const QByteArray& b : blocks)
        out.append(b);
    return out;
}

std::optional<FlatDirectory> parseFlatDirectory(const QByteArray& bytes)
{
    if (!bytes.startsWith(kMagic))
        return std::nullopt;
    FlatReader r(bytes);
    r.bytes(4);
    if (!r.u32() || !r.u32())
        return std::nullopt;
    const auto count = r.u32();
    if (!count || *count > quint32(r.remaining() / 8)) // each entry needs a name length and a size
        return std::nullopt;
    std::vector<QString> names;
    for (quint32 i = 0; i < *count; ++i) {
        const auto length = r.u32();
        const auto name = length ? r.bytes(*length) : std::nullopt;
        if (!name)
            return std::nullopt;
        names.push_back(QString::fromUtf8(*name));
    }
    std::vector<quint32> sizes;
    for (quint32 i = 0; i < *count; ++i) {
        const auto size = r.u32();
        if (!size)
            return std::nullopt;
        sizes.push_back(*size);
    }
    FlatDirectory directory;
    for (quint32 i = 0; i < *count; ++i) {
        const auto block = r.bytes(sizes[i]);
        if (!block || block->size() < 8)
            return std::nullopt;
        const quint32 length = qFromLittleEndian<quint32>(block->constData() + 4);
        if (length > quint32(block->size() - 8))
            return std::nullopt;
        if (names[i] != u".")
            directory.files.push_back({names[i], block->mid(8, qsizetype(length))});
    }
    return directory;
}

} // namespace text
