#include "Foundation.h"

#include "plist/Array.h"
#include "plist/Dictionary.h"

namespace archive::foundation {

namespace {

const ArchivedClass kObject{"NSObject", 0};
const ArchivedClass kString{"NSString", 1};
const ArchivedClass kMutableString{"NSMutableString", 1};
const ArchivedClass kValue{"NSValue", 0};
const ArchivedClass kNumber{"NSNumber", 0};
const ArchivedClass kData{"NSData", 0};
const ArchivedClass kDictionary{"NSDictionary", 0};
const ArchivedClass kArray{"NSArray", 0};
const ArchivedClass kDate{"NSDate", 0};

const ArchivedValue* firstValue(const ArchivedObject& o, std::size_t g)
{
    if (g >= o.groups.size() || o.groups[g].values.empty())
        return nullptr;
    return &o.groups[g].values.front();
}

} // namespace

ObjectPtr makeObject(std::initializer_list<ArchivedClass> chain, std::vector<ArchivedGroup> groups)
{
    auto o = std::make_shared<ArchivedObject>();
    o->classChain.assign(chain.begin(), chain.end());
    o->groups = std::move(groups);
    return o;
}

ArchivedGroup group(const char* types, std::vector<ArchivedValue> values)
{
    return ArchivedGroup{QByteArray(types), std::move(values)};
}

ArchivedGroup objectGroup(ObjectPtr o)
{
    return group("@", {ArchivedValue::objectValue(std::move(o))});
}

ObjectPtr makeString(const QString& s, bool isMutable)
{
    ArchivedGroup contents = group("+", {ArchivedValue::bytesValue(s.toUtf8())});
    if (isMutable)
        return makeObject({kMutableString, kString, kObject}, {contents});
    return makeObject({kString, kObject}, {contents});
}

ObjectPtr makeData(const QByteArray& bytes)
{
    return makeObject({kData, kObject},
                      {group("i", {ArchivedValue::integerValue('i', bytes.size())}),
                       ArchivedGroup{"[" + QByteArray::number(bytes.size()) + "c]",
                                     {ArchivedValue::byteArray(bytes)}}});
}

namespace {
ObjectPtr makeNumber(const char* type, ArchivedValue v)
{
    return makeObject({kNumber, kValue, kObject},
                      {group("*", {ArchivedValue::cStringValue(type)}), group(type, {v})});
}
} // namespace

ObjectPtr makeInteger(std::int64_t v)
{
    return makeNumber("q", ArchivedValue::integerValue('q', v));
}

ObjectPtr makeReal(double v)
{
    return makeNumber("d", ArchivedValue::realValue('d', v));
}

ObjectPtr makeDictionary(const std::vector<std::pair<ObjectPtr, ObjectPtr>>& entries)
{
    std::vector<ArchivedGroup> groups{
        group("i", {ArchivedValue::integerValue('i', qint64(entries.size()))})};
    for (const auto& [key, value] : entries) {
        groups.push_back(objectGroup(key));
        groups.push_back(objectGroup(value));
    }
    return makeObject({kDictionary, kObject}, std::move(groups));
}

ObjectPtr makeFromPropertyList(const plist::Value& v)
{
    switch (v.type()) {
    case plist::Value::Type::String:
        return makeString(v.string());
    case plist::Value::Type::Data:
        return makeData(v.data());
    case plist::Value::Type::Integer:
        return makeInteger(v.integer().bits);
    case plist::Value::Type::Real:
        return makeReal(v.real());
    case plist::Value::Type::Boolean:
        return makeNumber("c", ArchivedValue::integerValue('c', v.boolean() ? 1 : 0));
    case plist::Value::Type::Date:
        return makeObject({kDate, kObject},
                          {group("d", {ArchivedValue::realValue('d', v.date().secondsSince2001)})});
    case plist::Value::Type::Array: {
        std::vector<ArchivedGroup> groups{
            group("i", {ArchivedValue::integerValue('i', v.array()->size())})};
        for (const plist::Value& e : *v.array())
            groups.push_back(objectGroup(makeFromPropertyList(e)));
        return makeObject({kArray, kObject}, std::move(groups));
    }
    case plist::Value::Type::Dictionary: {
        std::vector<std::pair<ObjectPtr, ObjectPtr>> entries;
        for (const auto& e : *v.dictionary())
            entries.emplace_back(makeString(e.key), makeFromPropertyList(e.value));
        return makeDictionary(entries);
    }
    default:
        return nullptr;
    }
}

std::optional<QString> stringValue(const ArchivedObject& o)
{
    const ArchivedValue* v = firstValue(o, 0);
    if (!o.isKindOf("NSString") || !v || v->kind != ArchivedValue::Kind::Bytes)
        return std::nullopt;
    return QString::fromUtf8(v->bytes);
}

std::optional<QByteArray> dataValue(const ArchivedObject& o)
{
    const ArchivedValue* bytes = firstValue(o, 1);
    if (!o.isKindOf("NSData") || !bytes || bytes->kind != ArchivedValue::Kind::Aggregate)
        return std::nullopt;
    return bytes->bytes;
}

std::optional<std::vector<std::pair<ObjectPtr, ObjectPtr>>>
dictionaryEntries(const ArchivedObject& o)
{
    const auto count = integerAt(o, 0);
    if (!o.isKindOf("NSDictionary") || !count || *count < 0 ||
        o.groups.size() != std::size_t(1 + 2 * *count))
        return std::nullopt;
    std::vector<std::pair<ObjectPtr, ObjectPtr>> entries;
    for (std::int64_t i = 0; i < *count; ++i)
        entries.emplace_back(objectAt(o, std::size_t(1 + 2 * i)),
                             objectAt(o, std::size_t(2 + 2 * i)));
    return entries;
}

std::optional<std::vector<ObjectPtr>> arrayElements(const ArchivedObject& o)
{
    const auto count = integerAt(o, 0);
    if (!(o.isKindOf("NSArray") || o.isKindOf("NSSet")) || !count || *count < 0 ||
        o.groups.size() != std::size_t(1 + *count))
        return std::nullopt;
    std::vector<ObjectPtr> elements;
    for (std::int64_t i = 0; i < *count; ++i)
        elements.push_back(objectAt(o, std::size_t(1 + i)));
    return elements;
}

std::optional<Number> numberValue(const ArchivedObject& o)
{
    const ArchivedValue* type = firstValue(o, 0);
    const ArchivedValue* value = firstValue(o, 1);
    if (!o.isKindOf("NSValue") || !type || type->kind != ArchivedValue::Kind::CString || !value)
        return std::nullopt;
    return Number{type->bytes, *value};
}

std::optional<double> dateValue(const ArchivedObject& o)
{
    if (!o.isKindOf("NSDate"))
        return std::nullopt;
    return realAt(o, 0);
}

std::optional<Url> urlValue(const ArchivedObject& o)
{
    const auto relative = integerAt(o, 0);
    if (!o.isKindOf("NSURL") || !relative)
        return std::nullopt;
    const ObjectPtr base = *relative ? objectAt(o, 1) : nullptr;
    const ObjectPtr string = objectAt(o, *relative ? 2 : 1);
    const auto s = string ? stringValue(*string) : std::nullopt;
    if (!s)
        return std::nullopt;
    return Url{*s, base};
}

std::optional<std::int64_t> integerAt(const ArchivedObject& o, std::size_t g)
{
    const ArchivedValue* v = firstValue(o, g);
    if (!v || v->kind != ArchivedValue::Kind::Integer)
        return std::nullopt;
    return v->integer;
}

std::optional<double> realAt(const ArchivedObject& o, std::size_t g, std::size_t index)
{
    if (g >= o.groups.size() || index >= o.groups[g].values.size())
        return std::nullopt;
    const ArchivedValue& v = o.groups[g].values[index];
    if (v.kind == ArchivedValue::Kind::Real)
        return v.real;
    if (v.kind == ArchivedValue::Kind::Integer)
        return double(v.integer);
    return std::nullopt;
}

ObjectPtr objectAt(const ArchivedObject& o, std::size_t g)
{
    const ArchivedValue* v = firstValue(o, g);
    return v && v->kind == ArchivedValue::Kind::Object ? v->object : nullptr;
}

} // namespace archive::foundation
