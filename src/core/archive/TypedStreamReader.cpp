#include "TypedStream.h"

#include <cstring>
#include <optional>
#include <set>
#include <variant>

namespace archive {

namespace {

// Head bytes, read as signed 8-bit numbers.
constexpr int kInt16 = -127; // 0x81
constexpr int kInt32 = -126; // 0x82
constexpr int kFloat = -125; // 0x83
constexpr int kNew = -124;   // 0x84
constexpr int kNil = -123;   // 0x85
constexpr int kEnd = -122;   // 0x86
constexpr int kInt64 = -121; // 0x87
constexpr int kReservedLow = -128;
constexpr int kReservedHigh = -111;  // 0x80..0x91 are tags, not literal numbers
constexpr int kReferenceBase = -110; // 0x92 stands for index 0
constexpr int kMaxDepth = 256;

bool isTag(int head)
{
    return head >= kReservedLow && head <= kReservedHigh;
}

struct ClassEntry
{
    std::vector<ArchivedClass> chain;
};
struct CStringEntry
{
    QByteArray bytes;
};
using TableEntry = std::variant<ObjectPtr, ClassEntry, CStringEntry>;

class StreamParser
{
public:
    explicit StreamParser(const QByteArray& bytes)
        : m_data(reinterpret_cast<const uchar*>(bytes.constData())), m_size(bytes.size())
    {}

    DecodeResult parse()
    {
        DecodeResult result;
        if (header()) {
            while (ok() && m_pos < m_size)
                result.groups.push_back(group(0));
            if (ok() && result.groups.empty())
                fail(QStringLiteral("archive holds no values"));
        }
        if (!ok()) {
            result.groups.clear();
            result.error = m_error;
            result.offset = m_pos;
        }
        return result;
    }

private:
    bool ok() const { return m_error.isEmpty(); }

    void fail(const QString& message)
    {
        if (ok())
            m_error = message;
    }

    bool header()
    {
        if (m_size < 2 || m_data[0] != 4 || m_data[1] != 11 || m_size < 13) {
            fail(QStringLiteral("not a typed-stream archive"));
            return false;
        }
        if (std::memcmp(m_data + 2, "streamtyped", 11) == 0) {
            m_bigEndian = false;
        } else if (std::memcmp(m_data + 2, "typedstream", 11) == 0) {
            m_bigEndian = true;
        } else {
            fail(QStringLiteral("not a typed-stream archive"));
            return false;
        }
        m_pos = 13;
        integer(); // system version
        return ok();
    }

    int byte()
    {
        if (m_pos >= m_size) {
            fail(QStringLiteral("archive ends early"));
            return kEnd;
        }
        return int(std::int8_t(m_data[m_pos++]));
    }

    int peek() const { return m_pos < m_size ? int(std::int8_t(m_data[m_pos])) : kEnd; }

    std::uint64_t fixed(int bytes)
    {
        if (m_size - m_pos < bytes) {
            fail(QStringLiteral("archive ends early"));
            m_pos = m_size;
            return 0;
        }
        std::uint64_t v = 0;
        for (int i = 0; i < bytes; ++i) {
            const int shift = m_bigEndian ? 8 * (bytes - 1 - i) : 8 * i;
            v |= std::uint64_t(m_data[m_pos + i]) << shift;
        }
        m_pos += bytes;
        return v;
    }

    std::int64_t integerAfter(int head)
    {
        switch (head) {
        case kInt16:
            return std::int16_t(fixed(2));
        case kInt32:
            return std::int32_t(fixed(4));
        case kInt64:
            return std::int64_t(fixed(8));
        default:
            if (isTag(head))
                fail(QStringLiteral("tag 0x%1 where a number belongs").arg(head & 0xFF, 2, 16));
            return head;
        }
    }

    std::int64_t integer() { return integerAfter(byte()); }

    // A length or count: never more than the bytes left, so nothing is allocated for a lie.
    qsizetype length(qint64 bytesPerElement = 1)
    {
        const std::int64_t n = integer();
        if (n < 0 || n > (m_size - m_pos) / bytesPerElement) {
            fail(QStringLiteral("length %1 runs past the end").arg(n));
            return 0;
        }
        return qsizetype(n);
    }

    qsizetype referenceAfter(int head, qsizetype tableSize)
    {
        const std::int64_t index = integerAfter(head) - kReferenceBase;
        if (ok() && (index < 0 || index >= tableSize)) {
            fail(QStringLiteral("reference %1 out of range").arg(index));
            return -1;
        }
        return ok() ? qsizetype(index) : -1;
    }

    // Type strings, class names and C-string contents live in the shared-string table.
    std::optional<QByteArray> sharedString()
    {
        const int head = byte();
        if (head == kNil)
            return QByteArray(); // null
        if (head == kNew) {
            const qsizetype n = length();
            if (!ok())
                return std::nullopt;
            m_shared.emplace_back(reinterpret_cast<const char*>(m_data + m_pos), n);
            m_pos += n;
            return m_shared.back();
        }
        const qsizetype index = referenceAfter(head, qsizetype(m_shared.size()));
        if (index < 0)
            return std::nullopt;
        return m_shared[std::size_t(index)];
    }

    ArchivedGroup group(int depth)
    {
        ArchivedGroup g;
        const auto types = sharedString();
        if (!types || types->isEmpty()) {
            fail(QStringLiteral("missing type string"));
            return g;
        }
        g.types = *types;
        qsizetype pos = 0;
        while (ok() && pos < g.types.size())
            g.values.push_back(value(g.types, pos, depth));
        return g;
    }

    // Reads one value of the type that starts at types[pos]; advances pos past it.
    ArchivedValue value(const QByteArray& types, qsizetype& pos, int depth)
    {
        ArchivedValue v;
        if (depth > kMaxDepth) {
            fail(QStringLiteral("nesting deeper than %1 levels").arg(kMaxDepth));
            return v;
        }
        while (pos < types.size() && std::strchr("rnNoORV", types[pos]))
            ++pos; // type qualifiers (const, in, out, ...) carry no data
        if (pos >= types.size()) {
            fail(QStringLiteral("type string \"%1\" ends early").arg(QString::fromLatin1(types)));
            return v;
        }
        const char t = types[pos++];
        v.type = t;
        switch (t) {
        case 'c':
        case 'C':
        case 'B':
            v.kind = ArchivedValue::Kind::Integer;
            v.integer = t == 'c' ? std::int8_t(fixed(1)) : std::int64_t(fixed(1));
            return v;
        case 's':
        case 'S':
        case 'i':
        case 'I':
        case 'l':
        case 'L':
        case 'q':
        case 'Q':
            v.kind = ArchivedValue::Kind::Integer;
            v.integer = integer();
            return v;
        case 'f':
        case 'd':
            v.kind = ArchivedValue::Kind::Real;
            v.real = real(t == 'f');
            return v;
        case '+':
            v.kind = ArchivedValue::Kind::Bytes;
            v.bytes = rawBytes(length());
            return v;
        case '*':
            cString(v);
            return v;
        case ':': {
            v.kind = ArchivedValue::Kind::CString;
            const auto s = sharedString();
            v.isNull = !s || s->isNull();
            v.bytes = s.value_or(QByteArray());
            return v;
        }
        case '@':
            object(v, depth);
            return v;
        case '#':
            v.kind = ArchivedValue::Kind::Class;
            v.classChain = classChain();
            v.isNull = v.classChain.empty();
            return v;
        case '[':
            array(v, types, pos, depth);
            return v;
        case '{':
            structure(v, types, pos, depth);
            return v;
        default:
            fail(QStringLiteral("unsupported type '%1'").arg(QChar::fromLatin1(t)));
            return v;
        }
    }

    QByteArray rawBytes(qsizetype n)
    {
        if (!ok())
            return {};
        QByteArray b(reinterpret_cast<const char*>(m_data + m_pos), n);
        m_pos += n;
        return b;
    }

    double real(bool single)
    {
        const int head = byte();
        if (head != kFloat)
            return double(integerAfter(head)); // integral values are written as integers
        if (single) {
            const auto bits = std::uint32_t(fixed(4));
            float f;
            std::memcpy(&f, &bits, 4);
            return f;
        }
        const std::uint64_t bits = fixed(8);
        double d;
        std::memcpy(&d, &bits, 8);
        return d;
    }

    void cString(ArchivedValue& v)
    {
        v.kind = ArchivedValue::Kind::CString;
        const int head = byte();
        if (head == kNil) {
            v.isNull = true;
            return;
        }
        if (head == kNew) {
            const auto s = sharedString();
            if (!s)
                return;
            v.bytes = *s;
            m_table.emplace_back(CStringEntry{*s});
            return;
        }
        const qsizetype index = referenceAfter(head, qsizetype(m_table.size()));
        if (index < 0)
            return;
        if (const auto* c = std::get_if<CStringEntry>(&m_table[std::size_t(index)]))
            v.bytes = c->bytes;
        else
            fail(QStringLiteral("reference to a non-string where a C string belongs"));
    }

    std::vector<ArchivedClass> classChain()
    {
        std::vector<ArchivedClass> chain;
        std::vector<std::size_t> opened; // table entries of the classes new here
        while (ok()) {
            if (int(chain.size()) > kMaxDepth) {
                fail(QStringLiteral("class chain too long"));
                break;
            }
            const int head = byte();
            if (head == kNil)
                break;
            if (head != kNew) {
                const qsizetype index = referenceAfter(head, qsizetype(m_table.size()));
                if (index < 0)
                    break;
                const auto* c = std::get_if<ClassEntry>(&m_table[std::size_t(index)]);
                if (!c) {
                    fail(QStringLiteral("reference to a non-class where a class belongs"));
                    break;
                }
                chain.insert(chain.end(), c->chain.begin(), c->chain.end());
                break;
            }
            const auto name = sharedString();
            if (!name || name->isEmpty()) {
                fail(QStringLiteral("class without a name"));
                break;
            }
            const std::int64_t version = integer();
            chain.push_back({*name, version});
            m_table.emplace_back(ClassEntry{});
            opened.push_back(m_table.size() - 1);
        }
        // Every class entry opened here holds the chain from itself to the root class.
        for (std::size_t i = 0; i < opened.size(); ++i) {
            auto& entry = std::get<ClassEntry>(m_table[opened[i]]);
            entry.chain.assign(chain.begin() + qsizetype(i), chain.end());
        }
        return chain;
    }

    void object(ArchivedValue& v, int depth)
    {
        v.kind = ArchivedValue::Kind::Object;
        const int head = byte();
        if (head == kNil) {
            v.isNull = true;
            return;
        }
        if (head != kNew) {
            const qsizetype index = referenceAfter(head, qsizetype(m_table.size()));
            if (index < 0)
                return;
            const auto* o = std::get_if<ObjectPtr>(&m_table[std::size_t(index)]);
            if (!o) {
                fail(QStringLiteral("reference to a non-object where an object belongs"));
            } else if (m_inProgress.count(o->get())) {
                v.enclosing = *o;
            } else {
                v.object = *o;
            }
            return;
        }
        auto obj = std::make_shared<ArchivedObject>();
        m_table.emplace_back(obj);
        m_inProgress.insert(obj.get());
        obj->classChain = classChain();
        if (ok() && obj->classChain.empty())
            fail(QStringLiteral("object without a class"));
        while (ok() && peek() != kEnd)
            obj->groups.push_back(group(depth + 1));
        byte(); // the end-of-object tag
        m_inProgress.erase(obj.get());
        v.object = std::move(obj);
    }

    void array(ArchivedValue& v, const QByteArray& types, qsizetype& pos, int depth)
    {
        v.kind = ArchivedValue::Kind::Aggregate;
        const qsizetype start = pos - 1;
        qsizetype count = 0;
        while (pos < types.size() && types[pos] >= '0' && types[pos] <= '9' && count <= m_size)
            count = count * 10 + (types[pos++] - '0');
        if (count > m_size - m_pos) { // every element takes at least one byte
            fail(QStringLiteral("array of %1 elements runs past the end").arg(count));
            return;
        }
        if (pos < types.size() && (types[pos] == 'c' || types[pos] == 'C') &&
            pos + 1 < types.size() && types[pos + 1] == ']') {
            v.bytes = rawBytes(count); // byte arrays are stored raw
            pos += 2;
        } else {
            const qsizetype elementType = pos;
            for (qsizetype i = 0; i < count && ok(); ++i) {
                pos = elementType;
                v.elements.push_back(value(types, pos, depth + 1));
            }
            if (count == 0)
                skipType(types, pos);
            if (pos >= types.size() || types[pos] != ']') {
                fail(QStringLiteral("malformed array type"));
                return;
            }
            ++pos;
        }
        v.aggregateType = types.mid(start, pos - start);
    }

    void structure(ArchivedValue& v, const QByteArray& types, qsizetype& pos, int depth)
    {
        v.kind = ArchivedValue::Kind::Aggregate;
        const qsizetype start = pos - 1;
        const qsizetype equals = types.indexOf('=', pos);
        const qsizetype close = types.indexOf('}', pos);
        if (equals >= 0 && (close < 0 || equals < close))
            pos = equals + 1; // past the struct's name
        while (ok() && pos < types.size() && types[pos] != '}')
            v.elements.push_back(value(types, pos, depth + 1));
        if (pos >= types.size()) {
            fail(QStringLiteral("malformed struct type"));
            return;
        }
        ++pos;
        v.aggregateType = types.mid(start, pos - start);
    }

    // Steps over one type encoding without reading data (for empty arrays).
    void skipType(const QByteArray& types, qsizetype& pos)
    {
        int nesting = 0;
        do {
            if (pos >= types.size())
                return;
            const char c = types[pos++];
            if (c == '[' || c == '{')
                ++nesting;
            else if (c == ']' || c == '}')
                --nesting;
        } while (nesting > 0);
    }

    const uchar* m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
    bool m_bigEndian = false;
    std::vector<QByteArray> m_shared;
    std::vector<TableEntry> m_table;
    std::set<const ArchivedObject*> m_inProgress;
    QString m_error;
};

} // namespace

const ArchivedValue* DecodeResult::root() const
{
    return groups.empty() || groups.front().values.empty() ? nullptr
                                                           : &groups.front().values.front();
}

DecodeResult decodeTypedStream(const QByteArray& bytes)
{
    return StreamParser(bytes).parse();
}

} // namespace archive
