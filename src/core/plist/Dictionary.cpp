#include "Dictionary.h"

#include "Array.h"

namespace plist {

namespace {
// Below this size a linear scan beats hashing the key.
constexpr std::size_t kIndexThreshold = 12;
} // namespace

qsizetype Dictionary::indexOf(const QString& key) const
{
    if (m_entries.size() < kIndexThreshold) {
        for (std::size_t i = 0; i < m_entries.size(); ++i) {
            if (m_entries[i].key == key)
                return qsizetype(i);
        }
        return -1;
    }
    if (m_index.isEmpty()) {
        m_index.reserve(qsizetype(m_entries.size()));
        for (std::size_t i = 0; i < m_entries.size(); ++i)
            m_index.insert(m_entries[i].key, qsizetype(i));
    }
    return m_index.value(key, -1);
}

const Value* Dictionary::find(const QString& key) const
{
    const qsizetype i = indexOf(key);
    return i < 0 ? nullptr : &m_entries[std::size_t(i)].value;
}

Value* Dictionary::find(const QString& key)
{
    const qsizetype i = indexOf(key);
    return i < 0 ? nullptr : &m_entries[std::size_t(i)].value;
}

Value Dictionary::value(const QString& key) const
{
    const Value* v = find(key);
    return v ? *v : Value();
}

QString Dictionary::stringForKey(const QString& key) const
{
    const Value* v = find(key);
    return v ? v->string() : QString();
}

Dictionary* Dictionary::dictionaryForKey(const QString& key) const
{
    const Value* v = find(key);
    return v ? v->dictionary() : nullptr;
}

Array* Dictionary::arrayForKey(const QString& key) const
{
    const Value* v = find(key);
    return v ? v->array() : nullptr;
}

void Dictionary::set(const QString& key, Value value)
{
    if (Value* existing = find(key)) {
        *existing = std::move(value);
        return;
    }
    m_entries.push_back({key, std::move(value)});
    if (!m_index.isEmpty())
        m_index.insert(key, qsizetype(m_entries.size() - 1));
}

void Dictionary::remove(const QString& key)
{
    const qsizetype i = indexOf(key);
    if (i < 0)
        return;
    m_entries.erase(m_entries.begin() + i);
    m_index.clear(); // positions after i moved; rebuilt on the next large lookup
}

bool Dictionary::boolForKey(const QString& key) const
{
    const Value* v = find(key);
    return v && v->boolValue();
}

std::int64_t Dictionary::integerForKey(const QString& key) const
{
    const Value* v = find(key);
    return v ? v->integerValue() : 0;
}

void Dictionary::setBool(bool value, const QString& key)
{
    set(key, Value(value));
}

void Dictionary::setInteger(std::int64_t value, const QString& key)
{
    set(key, Value(value));
}

QStringList Dictionary::keys() const
{
    QStringList result;
    result.reserve(size());
    for (const Entry& e : m_entries)
        result.append(e.key);
    return result;
}

bool Dictionary::operator==(const Dictionary& other) const
{
    if (size() != other.size())
        return false;
    for (const Entry& e : m_entries) {
        const Value* theirs = other.find(e.key);
        if (!theirs || !(*theirs == e.value))
            return false;
    }
    return true;
}

} // namespace plist
