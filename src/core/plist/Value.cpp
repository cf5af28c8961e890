#include "Value.h"

#include "Array.h"
#include "Dictionary.h"

#include <cmath>
#include <limits>

namespace plist {

namespace {

const DictionaryPtr kNoDictionary;
const ArrayPtr kNoArray;

// Leading white space, then an optional sign: where the platform's string readings start.
qsizetype skipSpaceAndSign(const QString& s, bool* negative)
{
    qsizetype i = 0;
    while (i < s.size() && s.at(i).isSpace())
        ++i;
    *negative = false;
    if (i < s.size() && (s.at(i) == u'+' || s.at(i) == u'-')) {
        *negative = s.at(i) == u'-';
        ++i;
    }
    return i;
}

bool stringBoolValue(const QString& s)
{
    bool negative;
    qsizetype i = skipSpaceAndSign(s, &negative);
    while (i < s.size() && s.at(i) == u'0')
        ++i;
    if (i >= s.size())
        return false;
    const char16_t c = s.at(i).unicode();
    return c == u'Y' || c == u'y' || c == u'T' || c == u't' || (c >= u'1' && c <= u'9');
}

std::int64_t stringIntegerValue(const QString& s)
{
    bool negative;
    qsizetype i = skipSpaceAndSign(s, &negative);
    std::uint64_t magnitude = 0;
    const std::uint64_t limit = negative
                                    ? std::uint64_t(std::numeric_limits<std::int64_t>::max()) + 1
                                    : std::uint64_t(std::numeric_limits<std::int64_t>::max());
    for (; i < s.size() && s.at(i) >= u'0' && s.at(i) <= u'9'; ++i) {
        const unsigned digit = s.at(i).unicode() - u'0';
        if (magnitude > (limit - digit) / 10) {
            magnitude = limit;
            break;
        }
        magnitude = magnitude * 10 + digit;
    }
    return negative ? std::int64_t(0 - magnitude) : std::int64_t(magnitude);
}

std::int64_t clampToInt64(double d)
{
    if (std::isnan(d))
        return 0;
    if (d >= 9223372036854775807.0)
        return std::numeric_limits<std::int64_t>::max();
    if (d <= -9223372036854775808.0)
        return std::numeric_limits<std::int64_t>::min();
    return std::int64_t(d);
}

} // namespace

Value::Value(DictionaryPtr d)
{
    if (d)
        m_v = std::move(d);
}

Value::Value(ArrayPtr a)
{
    if (a)
        m_v = std::move(a);
}

Value Value::newDictionary()
{
    return Value(std::make_shared<Dictionary>());
}
Value Value::newArray()
{
    return Value(std::make_shared<Array>());
}

Dictionary* Value::dictionary() const
{
    return dictionaryPtr().get();
}
Array* Value::array() const
{
    return arrayPtr().get();
}

const DictionaryPtr& Value::dictionaryPtr() const
{
    const auto* p = std::get_if<DictionaryPtr>(&m_v);
    return p ? *p : kNoDictionary;
}

const ArrayPtr& Value::arrayPtr() const
{
    const auto* p = std::get_if<ArrayPtr>(&m_v);
    return p ? *p : kNoArray;
}

QString Value::string() const
{
    const auto* p = stringPtr();
    return p ? *p : QString();
}

QByteArray Value::data() const
{
    const auto* p = dataPtr();
    return p ? *p : QByteArray();
}

Integer Value::integer() const
{
    const auto* p = std::get_if<Integer>(&m_v);
    return p ? *p : Integer{};
}

double Value::real() const
{
    const auto* p = std::get_if<double>(&m_v);
    return p ? *p : 0.0;
}

bool Value::boolean() const
{
    const auto* p = std::get_if<bool>(&m_v);
    return p && *p;
}

Date Value::date() const
{
    const auto* p = std::get_if<Date>(&m_v);
    return p ? *p : Date{};
}

Uid Value::uid() const
{
    const auto* p = std::get_if<Uid>(&m_v);
    return p ? *p : Uid{};
}

bool Value::boolValue() const
{
    switch (type()) {
    case Type::Boolean:
        return boolean();
    case Type::Integer:
        return integer().bits != 0;
    case Type::Real:
        return real() != 0.0;
    case Type::String:
        return stringBoolValue(*stringPtr());
    default:
        return false;
    }
}

std::int64_t Value::integerValue() const
{
    switch (type()) {
    case Type::Boolean:
        return boolean() ? 1 : 0;
    case Type::Integer: {
        const Integer i = integer();
        return i.isUnsigned ? std::numeric_limits<std::int64_t>::max() : i.bits;
    }
    case Type::Real:
        return clampToInt64(real());
    case Type::String:
        return stringIntegerValue(*stringPtr());
    default:
        return 0;
    }
}

bool Value::isIdenticalTo(const Value& other) const
{
    if (isDictionary() || isArray())
        return m_v == other.m_v; // compares the shared pointers
    return *this == other;
}

bool Value::operator==(const Value& other) const
{
    if (type() != other.type())
        return false;
    switch (type()) {
    case Type::Dictionary:
        return dictionary() == other.dictionary() || *dictionary() == *other.dictionary();
    case Type::Array:
        return array() == other.array() || *array() == *other.array();
    case Type::Real: // a NaN read back is the same value as the NaN written
        return real() == other.real() || (std::isnan(real()) && std::isnan(other.real()));
    default:
        return m_v == other.m_v;
    }
}

const char* Value::typeName(Type t)
{
    switch (t) {
    case Type::None:
        return "none";
    case Type::Dictionary:
        return "dictionary";
    case Type::Array:
        return "array";
    case Type::String:
        return "string";
    case Type::Data:
        return "data";
    case Type::Integer:
        return "integer";
    case Type::Real:
        return "real";
    case Type::Boolean:
        return "boolean";
    case Type::Date:
        return "date";
    case Type::Uid:
        return "uid";
    }
    return "unknown";
}

} // namespace plist
