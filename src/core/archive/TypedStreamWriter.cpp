#include "TypedStream.h"

#include <QHash>
#include <cmath>
#include <cstring>
#include <set>

namespace archive {

namespace {

constexpr char kNew = char(0x84);
constexpr char kNil = char(0x85);
constexpr char kEnd = char(0x86);
constexpr char kFloat = char(0x83);
constexpr std::int64_t kReferenceBase = -110;
constexpr int kMaxDepth = 256;

class StreamEmitter
{
public:
    QByteArray encode(const std::vector<ArchivedGroup>& groups)
    {
        m_out.append("\x04\x0bstreamtyped", 13);
        integer(1000); // system version
        for (const ArchivedGroup& g : groups)
            group(g, 0);
        return m_failed ? QByteArray() : m_out;
    }

private:
    void little(std::uint64_t v, int bytes)
    {
        for (int i = 0; i < bytes; ++i)
            m_out.append(char((v >> (8 * i)) & 0xFF));
    }

    // The smallest signed form, as the platform writes every integer type.
    void integer(std::int64_t v)
    {
        if (v >= -110 && v <= 127) {
            m_out.append(char(v));
        } else if (v >= INT16_MIN && v <= INT16_MAX) {
            m_out.append(char(0x81));
            little(std::uint64_t(v), 2);
        } else if (v >= INT32_MIN && v <= INT32_MAX) {
            m_out.append(char(0x82));
            little(std::uint64_t(v), 4);
        } else {
            m_out.append(char(0x87));
            little(std::uint64_t(v), 8);
        }
    }

    void reference(qsizetype index) { integer(std::int64_t(index) + kReferenceBase); }

    void sharedString(const QByteArray& s)
    {
        if (s.isNull()) {
            m_out.append(kNil);
            return;
        }
        if (auto it = m_shared.constFind(s); it != m_shared.constEnd()) {
            reference(*it);
            return;
        }
        m_shared.insert(s, m_shared.size());
        m_out.append(kNew);
        integer(s.size());
        m_out.append(s);
    }

    // C strings are objects too, shared by content: the first is written, later ones refer to it.
    void cString(const QByteArray& s)
    {
        if (auto it = m_cStrings.constFind(s); it != m_cStrings.constEnd()) {
            reference(*it);
            return;
        }
        m_out.append(kNew);
        sharedString(s);
        m_cStrings.insert(s, m_objectCount++);
    }

    void group(const ArchivedGroup& g, int depth)
    {
        sharedString(g.types);
        for (const ArchivedValue& v : g.values)
            value(v, depth);
    }

    void value(const ArchivedValue& v, int depth)
    {
        if (depth > kMaxDepth) {
            m_failed = true;
            return;
        }
        switch (v.kind) {
        case ArchivedValue::Kind::Integer:
            if (v.type == 'c' || v.type == 'C' || v.type == 'B')
                m_out.append(char(v.integer));
            else
                integer(v.integer);
            return;
        case ArchivedValue::Kind::Real:
            real(v.real, v.type == 'f');
            return;
        case ArchivedValue::Kind::Bytes:
            integer(v.bytes.size());
            m_out.append(v.bytes);
            return;
        case ArchivedValue::Kind::CString:
            if (v.type == ':') {
                sharedString(v.isNull ? QByteArray() : v.bytes);
            } else if (v.isNull) {
                m_out.append(kNil);
            } else {
                cString(v.bytes.isNull() ? QByteArray("") : v.bytes);
            }
            return;
        case ArchivedValue::Kind::Class:
            classChain(v.classChain, 0);
            return;
        case ArchivedValue::Kind::Object:
            if (v.isEnclosingReference())
                enclosing(v.enclosing.lock());
            else
                object(v.object, depth);
            return;
        case ArchivedValue::Kind::Aggregate:
            if (v.elements.empty() && !v.bytes.isEmpty())
                m_out.append(v.bytes); // "[Nc]": raw bytes
            for (const ArchivedValue& e : v.elements)
                value(e, depth + 1);
            return;
        }
    }

    void real(double d, bool single)
    {
        // Integral values go as integers, as the platform writes them; also the large ones,
        // which a float could not carry exactly.
        if (std::isfinite(d) && d == std::trunc(d) && d >= -9223372036854775808.0 &&
            d < 9223372036854775808.0) {
            integer(std::int64_t(d));
            return;
        }
        m_out.append(kFloat);
        if (single) {
            const float f = float(d);
            std::uint32_t bits;
            std::memcpy(&bits, &f, 4);
            little(bits, 4);
        } else {
            std::uint64_t bits;
            std::memcpy(&bits, &d, 8);
            little(bits, 8);
        }
    }

    void classChain(const std::vector<ArchivedClass>& chain, std::size_t i)
    {
        for (; i < chain.size(); ++i) {
            const QByteArray key = classKey(chain, i);
            if (auto it = m_classes.constFind(key); it != m_classes.constEnd()) {
                reference(*it);
                return;
            }
            m_out.append(kNew);
            sharedString(chain[i].name);
            integer(chain[i].version);
            m_classes.insert(key, m_objectCount++);
        }
        m_out.append(kNil);
    }

    // A reference back to an object being written around this one.
    void enclosing(const ObjectPtr& o)
    {
        auto it = o ? m_objects.constFind(o.get()) : m_objects.constEnd();
        if (it == m_objects.constEnd() || !m_inProgress.count(o.get())) {
            m_failed = true;
            return;
        }
        reference(*it);
    }

    void object(const ObjectPtr& o, int depth)
    {
        if (!o) {
            m_out.append(kNil);
            return;
        }
        if (auto it = m_objects.constFind(o.get()); it != m_objects.constEnd()) {
            if (m_inProgress.count(o.get()))
                m_failed = true; // strong references never point outwards; see enclosing()
            reference(*it);
            return;
        }
        m_out.append(kNew);
        m_objects.insert(o.get(), m_objectCount++);
        m_inProgress.insert(o.get());
        classChain(o->classChain, 0);
        for (const ArchivedGroup& g : o->groups)
            group(g, depth + 1);
        m_out.append(kEnd);
        m_inProgress.erase(o.get());
    }

    QByteArray m_out;
    QHash<QByteArray, qsizetype> m_shared;
    // A class is shared with an earlier one only when it and all its superclasses agree in
    // name and version: a graph that mixes versions (never the platform's own) still comes
    // back as it went in.
    static QByteArray classKey(const std::vector<ArchivedClass>& chain, std::size_t from)
    {
        QByteArray key;
        for (std::size_t i = from; i < chain.size(); ++i)
            key += chain[i].name + ':' + QByteArray::number(chain[i].version) + '/';
        return key;
    }
    QHash<QByteArray, qsizetype> m_classes;
    QHash<QByteArray, qsizetype> m_cStrings;
    QHash<const ArchivedObject*, qsizetype> m_objects;
    std::set<const ArchivedObject*> m_inProgress;
    qsizetype m_objectCount = 0;
    bool m_failed = false;
};

} // namespace

QByteArray encodeTypedStream(const std::vector<ArchivedGroup>& groups)
{
    return StreamEmitter().encode(groups);
}

QByteArray encodeRootObject(const ObjectPtr& root)
{
    ArchivedGroup g{QByteArrayLiteral("@"), {ArchivedValue::objectValue(root)}};
    return encodeTypedStream({g});
}

} // namespace archive
