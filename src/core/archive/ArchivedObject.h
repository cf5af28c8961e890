#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

// The object graph of a typed-stream archive, as generic as the format itself: every
// object is its class chain and the value groups its class wrote. Classes we model get
// their meaning in Foundation.h; any other object is kept as it is and written back.
namespace archive {

struct ArchivedObject;
using ObjectPtr = std::shared_ptr<ArchivedObject>;

struct ArchivedClass
{
    QByteArray name;
    std::int64_t version = 0;
    bool operator==(const ArchivedClass&) const = default;
};

// One value of a group, tagged with its type code from the group's type string.
struct ArchivedValue
{
    enum class Kind
    {
        Integer,
        Real,
        CString,
        Bytes,
        Object,
        Class,
        Aggregate
    };

    Kind kind = Kind::Integer;
    char type = 'i'; // 'c','C','s','S','i','I','l','L','q','Q','f','d','*','+','@','#',':','[','{'
    std::int64_t integer = 0; // Integer (unsigned types hold their bit pattern)
    double real = 0;          // Real
    QByteArray bytes;         // CString, Bytes; null CString/Class/Object: isNull
    ObjectPtr object;         // Object (null for nil and for enclosing)
    // An object that refers to one of the objects it is inside of (a view to its window,
    // say): held weakly, so the graph owns no cycle.
    std::weak_ptr<ArchivedObject> enclosing;
    std::vector<ArchivedClass> classChain; // Class, most derived first
    std::vector<ArchivedValue> elements;   // Aggregate: array elements or struct fields
    QByteArray aggregateType;              // Aggregate: its type encoding, "[4c]", "{?=ff}"
    bool isNull = false;

    bool isEnclosingReference() const { return kind == Kind::Object && !object && !isNull; }

    static ArchivedValue integerValue(char type, std::int64_t v);
    static ArchivedValue realValue(char type, double v);
    static ArchivedValue objectValue(ObjectPtr o);
    static ArchivedValue bytesValue(QByteArray b);       // '+'
    static ArchivedValue cStringValue(QByteArray s);     // '*'
    static ArchivedValue byteArray(const QByteArray& b); // "[Nc]"

    bool operator==(const ArchivedValue& other) const;
};

// Values written by one encodeValuesOfObjCTypes: call, with their type string.
struct ArchivedGroup
{
    QByteArray types;
    std::vector<ArchivedValue> values;
    bool operator==(const ArchivedGroup&) const = default;
};

struct ArchivedObject
{
    std::vector<ArchivedClass> classChain; // most derived first
    std::vector<ArchivedGroup> groups;

    const QByteArray& className() const;
    bool isKindOf(const char* name) const;
    // Compares contents, following object references (archives are acyclic).
    bool operator==(const ArchivedObject& other) const;
};

} // namespace archive
