#include "Array.h"
#include "BinaryFormat.h"
#include "Dictionary.h"

#include <QHash>
#include <algorithm>
#include <cstring>
#include <deque>

namespace plist {

namespace {

int bytesFor(std::uint64_t maxValue)
{
    if (maxValue <= 0xFF)
        return 1;
    if (maxValue <= 0xFFFF)
        return 2;
    if (maxValue <= 0xFFFFFFFFu)
        return 4;
    return 8;
}

std::uint64_t doubleBits(double d)
{
    std::uint64_t bits;
    std::memcpy(&bits, &d, 8);
    return bits;
}

// First pass: number every object, sharing equal leaves (keys repeat in every record)
// and the same container object; second pass: write them in number order.
class BinaryEmitter
{
public:
    WriteResult write(const Value& root)
    {
        WriteResult result;
        number(root, 0);
        if (m_error.isEmpty())
            emit();
        result.error = m_error;
        if (result.ok())
            result.bytes = std::move(m_out);
        return result;
    }

private:
    struct Object
    {
        const Value* value;
        std::uint32_t firstRef; // into m_refs, for containers
        std::uint32_t refCount;
    };

    std::uint32_t number(const Value& v, int depth)
    {
        if (!m_error.isEmpty())
            return 0;
        if (depth > kMaxDepth)
            return fail(QStringLiteral("nesting deeper than %1 levels").arg(kMaxDepth));
        switch (v.type()) {
        case Value::Type::None:
            return fail(QStringLiteral("an empty value cannot be written"));
        case Value::Type::Dictionary:
        case Value::Type::Array:
            return container(v, depth);
        case Value::Type::String:
            return shared(m_strings, *v.stringPtr(), v);
        case Value::Type::Integer:
            return shared(m_integers, std::pair(v.integer().bits, v.integer().isUnsigned), v);
        case Value::Type::Real:
            return shared(m_reals, doubleBits(v.real()), v);
        case Value::Type::Date:
            return shared(m_dates, doubleBits(v.date().secondsSince2001), v);
        case Value::Type::Boolean: {
            std::int64_t& slot = m_booleans[v.boolean() ? 1 : 0];
            if (slot < 0)
                slot = add(v);
            return std::uint32_t(slot);
        }
        case Value::Type::Uid:
            return shared(m_uids, v.uid().value, v);
        case Value::Type::Data:
            return add(v);
        }
        return 0;
    }

    std::uint32_t fail(const QString& message)
    {
        if (m_error.isEmpty())
            m_error = message;
        return 0;
    }

    std::uint32_t add(const Value& v)
    {
        m_objects.push_back({&v, 0, 0});
        return std::uint32_t(m_objects.size() - 1);
    }

    template <typename Key>
    std::uint32_t shared(QHash<Key, std::uint32_t>& table, const Key& key, const Value& v)
    {
        auto it = table.constFind(key);
        if (it != table.constEnd())
            return *it;
        const std::uint32_t index = add(v);
        table.insert(key, index);
        return index;
    }

    // Keys are QStrings, not Values: a new one gets a Value of its own to point at.
    std::uint32_t key(const QString& k)
    {
        if (auto it = m_strings.constFind(k); it != m_strings.constEnd())
            return *it;
        m_keyValues.emplace_back(k);
        return shared(m_strings, k, m_keyValues.back());
    }

    std::uint32_t container(const Value& v, int depth)
    {
        const void* identity = v.isDictionary() ? static_cast<const void*>(v.dictionary())
                                                : static_cast<const void*>(v.array());
        if (auto it = m_containers.constFind(identity); it != m_containers.constEnd()) {
            if (m_objects[*it].value == nullptr)
                return fail(QStringLiteral("a container contains itself"));
            return *it;
        }
        const std::uint32_t index = add(v);
        m_containers.insert(identity, index);
        const Value* self = m_objects[index].value;
        m_objects[index].value = nullptr; // marks "being numbered" for cycle detection

        std::vector<std::uint32_t> refs;
        if (const Dictionary* d = v.dictionary()) {
            refs.resize(std::size_t(d->size()) * 2);
            std::size_t i = 0;
            for (const Dictionary::Entry& e : *d) {
                refs[i] = key(e.key);
                refs[std::size_t(d->size()) + i] = number(e.value, depth + 1);
                ++i;
            }
        } else {
            refs.reserve(std::size_t(v.array()->size()));
            for (const Value& element : *v.array())
                refs.push_back(number(element, depth + 1));
        }
        m_objects[index] = {self, std::uint32_t(m_refs.size()), std::uint32_t(refs.size())};
        m_refs.insert(m_refs.end(), refs.begin(), refs.end());
        return index;
    }

    void put(std::uint64_t value, int bytes)
    {
        for (int i = bytes - 1; i >= 0; --i)
            m_out.append(char((value >> (8 * i)) & 0xFF));
    }

    void marker(uchar kind, std::uint64_t length)
    {
        if (length < 15) {
            m_out.append(char(kind << 4 | length));
            return;
        }
        m_out.append(char(kind << 4 | 0x0F));
        integerObject(length, false);
    }

    void integerObject(std::uint64_t bits, bool isUnsigned)
    {
        if (isUnsigned) { // above INT64_MAX: the 16-byte form with a zero high half
            m_out.append(char(0x14));
            put(0, 8);
            put(bits, 8);
            return;
        }
        const int bytes = std::int64_t(bits) < 0 ? 8 : bytesFor(bits);
        m_out.append(char(0x10 | (bytes == 1 ? 0 : bytes == 2 ? 1 : bytes == 4 ? 2 : 3)));
        put(bits, bytes);
    }

    void string(const QString& s)
    {
        const bool ascii =
            std::all_of(s.begin(), s.end(), [](QChar c) { return c.unicode() < 0x80; });
        if (ascii) {
            marker(0x5, std::uint64_t(s.size()));
            m_out.append(s.toLatin1());
            return;
        }
        marker(0x6, std::uint64_t(s.size()));
        const qsizetype start = m_out.size();
        m_out.resize(start + 2 * s.size());
        char* w = m_out.data() + start;
        for (QChar c : s) {
            *w++ = char(c.unicode() >> 8);
            *w++ = char(c.unicode() & 0xFF);
        }
    }

    void object(const Object& o)
    {
        const Value& v = *o.value;
        switch (v.type()) {
        case Value::Type::Dictionary:
        case Value::Type::Array:
            marker(v.isDictionary() ? 0xD : 0xA, v.isDictionary() ? o.refCount / 2 : o.refCount);
            for (std::uint32_t i = 0; i < o.refCount; ++i)
                put(m_refs[o.firstRef + i], m_refSize);
            break;
        case Value::Type::String:
            string(*v.stringPtr());
            break;
        case Value::Type::Data:
            marker(0x4, std::uint64_t(v.dataPtr()->size()));
            m_out.append(*v.dataPtr());
            break;
        case Value::Type::Integer:
            integerObject(std::uint64_t(v.integer().bits), v.integer().isUnsigned);
            break;
        case Value::Type::Real:
            m_out.append(char(0x23));
            put(doubleBits(v.real()), 8);
            break;
        case Value::Type::Date:
            m_out.append(char(0x33));
            put(doubleBits(v.date().secondsSince2001), 8);
            break;
        case Value::Type::Boolean:
            m_out.append(char(v.boolean() ? 0x09 : 0x08));
            break;
        case Value::Type::Uid: {
            const int bytes = bytesFor(v.uid().value);
            m_out.append(char(0x80 | (bytes - 1)));
            put(v.uid().value, bytes);
            break;
        }
        case Value::Type::None:
            break;
        }
    }

    void emit()
    {
        m_refSize = bytesFor(m_objects.size() - 1);
        std::vector<std::uint64_t> offsets;
        offsets.reserve(m_objects.size());
        m_out.reserve(qsizetype(m_objects.size() * 8 + 64));
        m_out.append("bplist00", 8);
        for (const Object& o : m_objects) {
            offsets.push_back(std::uint64_t(m_out.size()));
            object(o);
        }
        const std::uint64_t tableOffset = std::uint64_t(m_out.size());
        const int offsetSize = bytesFor(offsets.empty() ? 0 : offsets.back());
        for (std::uint64_t offset : offsets)
            put(offset, offsetSize);
        m_out.append(6, '\0');
        m_out.append(char(offsetSize));
        m_out.append(char(m_refSize));
        put(m_objects.size(), 8);
        put(0, 8); // the root is numbered first
        put(tableOffset, 8);
    }

    std::vector<Object> m_objects;
    std::vector<std::uint32_t> m_refs;
    std::deque<Value> m_keyValues; // stable addresses for dictionary keys
    QHash<QString, std::uint32_t> m_strings;
    QHash<std::pair<std::int64_t, bool>, std::uint32_t> m_integers;
    QHash<std::uint64_t, std::uint32_t> m_reals;
    QHash<std::uint64_t, std::uint32_t> m_dates;
    std::int64_t m_booleans[2] = {-1, -1};
    QHash<std::uint64_t, std::uint32_t> m_uids;
    QHash<const void*, std::uint32_t> m_containers;
    int m_refSize = 1;
    QByteArray m_out;
    QString m_error;
};

} // namespace

WriteResult writeBinary(const Value& root)
{
    return BinaryEmitter().write(root);
}

} // namespace plist
