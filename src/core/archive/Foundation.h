#pragma once

#include "ArchivedObject.h"
#include "plist/Value.h"

#include <optional>

// The Foundation classes of the platform's archives: how they are written, and what they
// hold. Builders give objects as the platform's archiver writes them; readers give none
// when an object is not of the class or not in the expected layout.
namespace archive::foundation {

ObjectPtr makeObject(std::initializer_list<ArchivedClass> chain, std::vector<ArchivedGroup> groups);
ArchivedGroup group(const char* types, std::vector<ArchivedValue> values);
ArchivedGroup objectGroup(ObjectPtr o);

ObjectPtr makeString(const QString& s, bool isMutable = false);
ObjectPtr makeData(const QByteArray& bytes);
ObjectPtr makeInteger(std::int64_t v);
ObjectPtr makeReal(double v);
ObjectPtr makeDictionary(const std::vector<std::pair<ObjectPtr, ObjectPtr>>& entries);
// Property-list values map onto strings, numbers, data, dates, arrays and dictionaries.
ObjectPtr makeFromPropertyList(const plist::Value& v);

std::optional<QString> stringValue(const ArchivedObject& o);
std::optional<QByteArray> dataValue(const ArchivedObject& o);
// Entries in archive order; keys and values are any objects.
std::optional<std::vector<std::pair<ObjectPtr, ObjectPtr>>>
dictionaryEntries(const ArchivedObject& o);
std::optional<std::vector<ObjectPtr>> arrayElements(const ArchivedObject& o); // NSArray, NSSet
struct Number
{
    QByteArray type; // the type code the number was archived with: "i", "q", "d", "c", ...
    ArchivedValue value;
};
std::optional<Number> numberValue(const ArchivedObject& o);
std::optional<double> dateValue(const ArchivedObject& o); // seconds since 2001
struct Url
{
    QString string;
    ObjectPtr base; // null when absolute
};
std::optional<Url> urlValue(const ArchivedObject& o);

// The first integer of the group at index, or none.
std::optional<std::int64_t> integerAt(const ArchivedObject& o, std::size_t group);
std::optional<double> realAt(const ArchivedObject& o, std::size_t group, std::size_t value = 0);
ObjectPtr objectAt(const ArchivedObject& o, std::size_t group);

} // namespace archive::foundation
