#pragma once

#include "Value.h"

#include <vector>

namespace plist {

class Array
{
public:
    Array() = default;
    explicit Array(std::vector<Value> values) : m_values(std::move(values)) {}

    qsizetype size() const { return qsizetype(m_values.size()); }
    bool isEmpty() const { return m_values.empty(); }
    const Value& at(qsizetype i) const { return m_values[std::size_t(i)]; }
    Value& operator[](qsizetype i) { return m_values[std::size_t(i)]; }

    void append(Value v) { m_values.push_back(std::move(v)); }
    void insert(qsizetype index, Value v);
    // Inserts a whole batch with one move of the tail.
    void insert(qsizetype index, std::vector<Value>&& values);
    void removeAt(qsizetype index);
    void clear() { m_values.clear(); }
    void reserve(qsizetype n) { m_values.reserve(std::size_t(n)); }

    // Index of the element that is the very same object, or -1.
    qsizetype indexOfObjectIdenticalTo(const Value& v) const;

    std::vector<Value>::const_iterator begin() const { return m_values.begin(); }
    std::vector<Value>::const_iterator end() const { return m_values.end(); }
    const std::vector<Value>& values() const { return m_values; }

    bool operator==(const Array& other) const { return m_values == other.m_values; }

private:
    std::vector<Value> m_values;
};

} // namespace plist
