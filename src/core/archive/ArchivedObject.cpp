#include "ArchivedObject.h"

namespace archive {

ArchivedValue ArchivedValue::integerValue(char type, std::int64_t v)
{
    ArchivedValue a;
    a.kind = Kind::Integer;
    a.type = type;
    a.integer = v;
    return a;
}

ArchivedValue ArchivedValue::realValue(char type, double v)
{
    ArchivedValue a;
    a.kind = Kind::Real;
    a.type = type;
    a.real = v;
    return a;
}

ArchivedValue ArchivedValue::objectValue(ObjectPtr o)
{
    ArchivedValue a;
    a.kind = Kind::Object;
    a.type = '@';
    a.isNull = !o;
    a.object = std::move(o);
    return a;
}

ArchivedValue ArchivedValue::bytesValue(QByteArray b)
{
    ArchivedValue a;
    a.kind = Kind::Bytes;
    a.type = '+';
    a.bytes = std::move(b);
    return a;
}

ArchivedValue ArchivedValue::cStringValue(QByteArray s)
{
    ArchivedValue a;
    a.kind = Kind::CString;
    a.type = '*';
    a.bytes = std::move(s);
    return a;
}

ArchivedValue ArchivedValue::byteArray(const QByteArray& b)
{
    ArchivedValue a;
    a.kind = Kind::Aggregate;
    a.type = '[';
    a.bytes = b;
    a.aggregateType = "[" + QByteArray::number(b.size()) + "c]";
    return a;
}

bool ArchivedValue::operator==(const ArchivedValue& other) const
{
    if (kind != other.kind || type != other.type || isNull != other.isNull)
        return false;
    switch (kind) {
    case Kind::Integer:
        return integer == other.integer;
    case Kind::Real:
        return real == other.real || (real != real && other.real != other.real);
    case Kind::CString:
    case Kind::Bytes:
        return bytes == other.bytes;
    case Kind::Object:
        if (isEnclosingReference() ||
            other.isEnclosingReference()) // compared where they point from
            return isEnclosingReference() == other.isEnclosingReference() &&
                   enclosing.lock()->className() == other.enclosing.lock()->className();
        return object == other.object || (object && other.object && *object == *other.object);
    case Kind::Class:
        return classChain == other.classChain;
    case Kind::Aggregate:
        return aggregateType == other.aggregateType && bytes == other.bytes &&
               elements == other.elements;
    }
    return false;
}

const QByteArray& ArchivedObject::className() const
{
    static const QByteArray none;
    return classChain.empty() ? none : classChain.front().name;
}

bool ArchivedObject::isKindOf(const char* name) const
{
    for (const ArchivedClass& c : classChain) {
        if (c.name == name)
            return true;
    }
    return false;
}

bool ArchivedObject::operator==(const ArchivedObject& other) const
{
    return classChain == other.classChain && groups == other.groups;
}

} // namespace archive
