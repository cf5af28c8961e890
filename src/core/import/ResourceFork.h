#pragma once

#include <QByteArray>
#include <optional>
#include <vector>

namespace snapwick {

// A classic resource file: header, resource map, type list, reference lists, name list.
// Every offset and length is checked against the fork's size when it is opened; a
// resource whose data lies outside the fork reads as none.
class ResourceFork
{
public:
    struct Resource
    {
        std::int16_t id = 0;
        std::optional<QByteArray> name; // none when the resource has no (readable) name
        std::optional<QByteArray> data; // none when its data block is out of range
    };

    // None when the bytes are not a consistent resource file.
    static std::optional<ResourceFork> parse(QByteArray bytes);

    qsizetype count(const char (&type)[5]) const;
    // The index-th resource of type, counting from 1, as the platform numbers them.
    std::optional<Resource> resource(const char (&type)[5], qsizetype index) const;

private:
    struct Reference
    {
        std::int16_t id;
        std::int32_t nameOffset; // -1: no name
        std::uint32_t dataOffset;
    };
    struct Type
    {
        QByteArray code;
        std::vector<Reference> references;
    };

    const Type* find(const char (&type)[5]) const;

    QByteArray m_bytes;
    std::uint32_t m_dataOffset = 0;
    std::uint32_t m_dataLength = 0;
    std::uint32_t m_nameListStart = 0;
    std::uint32_t m_mapEnd = 0;
    std::vector<Type> m_types;
};

} // namespace snapwick
