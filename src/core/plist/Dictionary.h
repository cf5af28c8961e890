#pragma once

#include "Value.h"

#include <QHash>
#include <QStringList>
#include <vector>

namespace plist {

// String-keyed dictionary that keeps insertion order. Small dictionaries (snippet
// records have a handful of keys) are searched linearly; large ones get a hash index
// built on demand.
class Dictionary
{
public:
    struct Entry
    {
        QString key;
        Value value;
    };

    qsizetype size() const { return qsizetype(m_entries.size()); }
    bool isEmpty() const { return m_entries.empty(); }
    bool contains(const QString& key) const { return indexOf(key) >= 0; }

    const Value* find(const QString& key) const;
    Value* find(const QString& key);
    // The value for key, or a none value.
    Value value(const QString& key) const;
    QString stringForKey(const QString& key) const;
    Dictionary* dictionaryForKey(const QString& key) const;
    Array* arrayForKey(const QString& key) const;

    // Replaces an existing value in place (its position stays) or appends.
    void set(const QString& key, Value value);
    void remove(const QString& key);
    void reserve(qsizetype n) { m_entries.reserve(std::size_t(n)); }

    // Typed readings and writings of the platform's dictionary extensions.
    bool boolForKey(const QString& key) const;
    std::int64_t integerForKey(const QString& key) const;
    void setBool(bool value, const QString& key);
    void setInteger(std::int64_t value, const QString& key);
    void tryToRemoveObjectForKey(const QString& key) { remove(key); }

    QStringList keys() const;
    const std::vector<Entry>& entries() const { return m_entries; }
    std::vector<Entry>::const_iterator begin() const { return m_entries.begin(); }
    std::vector<Entry>::const_iterator end() const { return m_entries.end(); }

    bool operator==(const Dictionary& other) const;

private:
    qsizetype indexOf(const QString& key) const;

    std::vector<Entry> m_entries;
    mutable QHash<QString, qsizetype> m_index; // valid when non-empty
};

} // namespace plist
