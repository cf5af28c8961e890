#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>
#include <variant>

namespace plist {

class Dictionary;
class Array;
using DictionaryPtr = std::shared_ptr<Dictionary>;
using ArrayPtr = std::shared_ptr<Array>;

// Binary property lists store integers up to 128 bits wide; the platform keeps the
// unsigned 64-bit range above INT64_MAX, so we carry that one flag.
struct Integer
{
    std::int64_t bits = 0;
    bool isUnsigned = false; // bits hold a uint64 value above INT64_MAX

    std::uint64_t unsignedValue() const { return static_cast<std::uint64_t>(bits); }
    bool operator==(const Integer&) const = default;
};

// Absolute time: seconds since 2001-01-01 00:00:00 UTC, as binary property lists store it.
struct Date
{
    double secondsSince2001 = 0;
    bool operator==(const Date& other) const
    {
        return secondsSince2001 == other.secondsSince2001 ||
               (secondsSince2001 != secondsSince2001 &&
                other.secondsSince2001 != other.secondsSince2001);
    }
};

// Object reference of keyed archives (binary property lists only).
struct Uid
{
    std::uint64_t value = 0;
    bool operator==(const Uid&) const = default;
};

// A property-list value. Containers are shared and mutable: copying a Value that
// holds a dictionary or array copies the reference, so records can be found again by
// identity. Leaves are values (QString and QByteArray share their data until written).
class Value
{
public:
    enum class Type
    {
        None,
        Dictionary,
        Array,
        String,
        Data,
        Integer,
        Real,
        Boolean,
        Date,
        Uid
    };

    Value() = default;
    Value(DictionaryPtr d);
    Value(ArrayPtr a);
    Value(const QString& s) : m_v(s) {}
    Value(QString&& s) : m_v(std::move(s)) {}
    Value(const char16_t* s) : m_v(QString::fromUtf16(s)) {}
    Value(const QByteArray& d) : m_v(d) {}
    Value(Integer i) : m_v(i) {}
    Value(double r) : m_v(r) {}
    Value(bool b) : m_v(b) {}
    Value(Date d) : m_v(d) {}
    Value(Uid u) : m_v(u) {}
    // Plain integers are the common case; keep them unambiguous against bool and double.
    template <typename T>
    requires(std::is_integral_v<T> && !std::is_same_v<T, bool>) Value(T i)
        : m_v(Integer{static_cast<std::int64_t>(i), false})
    {}

    static Value newDictionary();
    static Value newArray();

    Type type() const { return static_cast<Type>(m_v.index()); }
    bool isNone() const { return type() == Type::None; }
    bool isDictionary() const { return type() == Type::Dictionary; }
    bool isArray() const { return type() == Type::Array; }
    bool isString() const { return type() == Type::String; }
    bool isData() const { return type() == Type::Data; }
    bool isNumber() const
    {
        return type() == Type::Integer || type() == Type::Real || type() == Type::Boolean;
    }

    // Typed access; each returns null or an empty value when the type differs.
    Dictionary* dictionary() const;
    Array* array() const;
    const DictionaryPtr& dictionaryPtr() const;
    const ArrayPtr& arrayPtr() const;
    QString string() const;
    QByteArray data() const;
    const QString* stringPtr() const { return std::get_if<QString>(&m_v); }
    const QByteArray* dataPtr() const { return std::get_if<QByteArray>(&m_v); }
    Integer integer() const;
    double real() const;
    bool boolean() const;
    Date date() const;
    Uid uid() const;

    // The readings the platform's number and string types give: a number's own value,
    // a string's leading "YES"/"1"/digits, anything else false or 0.
    bool boolValue() const;
    std::int64_t integerValue() const;

    // Same container object, or equal leaves.
    bool isIdenticalTo(const Value& other) const;
    // Deep comparison by contents; dictionaries compare regardless of key order.
    bool operator==(const Value& other) const;

    static const char* typeName(Type t);

private:
    std::variant<std::monostate, DictionaryPtr, ArrayPtr, QString, QByteArray, Integer, double,
                 bool, Date, Uid>
        m_v;
};

} // namespace plist
