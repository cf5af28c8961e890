#include "Array.h"

#include <iterator>

namespace plist {

void Array::insert(qsizetype index, Value v)
{
    m_values.insert(m_values.begin() + index, std::move(v));
}

void Array::insert(qsizetype index, std::vector<Value>&& values)
{
    m_values.insert(m_values.begin() + index, std::make_move_iterator(values.begin()),
                    std::make_move_iterator(values.end()));
}

void Array::removeAt(qsizetype index)
{
    m_values.erase(m_values.begin() + index);
}

qsizetype Array::indexOfObjectIdenticalTo(const Value& v) const
{
    for (std::size_t i = 0; i < m_values.size(); ++i) {
        if (m_values[i].isIdenticalTo(v))
            return qsizetype(i);
    }
    return -1;
}

} // namespace plist
