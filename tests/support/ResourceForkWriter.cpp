#include "ResourceForkWriter.h"

#include <QMap>
#include <QtEndian>

namespace testsupport {

namespace {

void be32(QByteArray& out, quint32 v)
{
    char b[4];
    qToBigEndian(v, b);
    out.append(b, 4);
}

void be16(QByteArray& out, quint16 v)
{
    char b[2];
    qToBigEndian(v, b);
    out.append(b, 2);
}

} // namespace

QByteArray writeResourceFork(const QList<ResourceSpec>& resources)
{
    QByteArray data, names;
    QMap<QByteArray, QList<int>> byType;
    QList<quint32> dataOffsets;
    QList<int> nameOffsets;
    for (int i = 0; i < resources.size(); ++i) {
        const ResourceSpec& r = resources[i];
        byType[r.type].append(i);
        dataOffsets.append(quint32(data.size()));
        be32(data, quint32(r.data.size()));
        data.append(r.data);
        if (r.name) {
            nameOffsets.append(int(names.size()));
            names.append(char(r.name->size()));
            names.append(*r.name);
        } else {
            nameOffsets.append(-1);
        }
    }
    const quint32 dataOffset = 256; // as the platform lays it out: header, reserved space, data
    QByteArray typeList;
    be16(typeList, quint16(byType.size() - 1));
    QByteArray references;
    const int typeListSize = 2 + 8 * int(byType.size());
    for (auto it = byType.begin(); it != byType.end(); ++it) {
        typeList.append(it.key().left(4));
        be16(typeList, quint16(it.value().size() - 1));
        be16(typeList, quint16(typeListSize + references.size()));
        for (int i : it.value()) {
            be16(references, quint16(resources[i].id));
            be16(references, quint16(std::int16_t(nameOffsets[i])));
            be32(references, dataOffsets[i] & 0x00FFFFFF);
            be32(references, 0);
        }
    }
    QByteArray map(16, '\0'); // copy of the header, unused here
    be32(map, 0);             // next map
    be16(map, 0);             // file reference
    be16(map, 0);             // attributes
    be16(map, 28);            // type list offset
    be16(map, quint16(28 + typeList.size() + references.size()));
    map += typeList + references + names;

    QByteArray out;
    be32(out, dataOffset);
    be32(out, dataOffset + quint32(data.size()));
    be32(out, quint32(data.size()));
    be32(out, quint32(map.size()));
    out.append(QByteArray(int(dataOffset) - 16, '\0'));
    return out + data + map;
}

QByteArray writeAppleContainer(const QByteArray& resourceFork,
                               const std::optional<QByteArray>& dataFork)
{
    QByteArray out;
    be32(out, dataFork ? 0x00051600 : 0x00051607);
    be32(out, 0x00020000);
    out.append(QByteArray(16, '\0'));
    const quint16 entries = dataFork ? 2 : 1;
    be16(out, entries);
    quint32 offset = 26 + 12 * entries;
    if (dataFork) {
        be32(out, 1);
        be32(out, offset);
        be32(out, quint32(dataFork->size()));
        offset += quint32(dataFork->size());
    }
    be32(out, 2);
    be32(out, offset);
    be32(out, quint32(resourceFork.size()));
    if (dataFork)
        out += *dataFork;
    return out + resourceFork;
}

} // namespace testsupport
