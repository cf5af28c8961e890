#include "AttributedString.h"

namespace text {

namespace {

const Attributes& noAttributes()
{
    static const Attributes empty;
    return empty;
}

std::shared_ptr<const Attributes> share(const Attributes& a)
{
    return std::make_shared<const Attributes>(a);
}

} // namespace

AttributedString::AttributedString(const QString& s, const Attributes& attributes) : m_string(s)
{
    if (!s.isEmpty())
        m_runs.push_back({s.size(), share(attributes)});
}

const Attributes& AttributedString::attributesAt(qsizetype index, qsizetype* runStart,
                                                 qsizetype* runLength) const
{
    qsizetype start = 0;
    for (const Run& run : m_runs) {
        if (index < start + run.length) {
            if (runStart)
                *runStart = start;
            if (runLength)
                *runLength = run.length;
            return *run.attributes;
        }
        start += run.length;
    }
    if (runStart)
        *runStart = length();
    if (runLength)
        *runLength = 0;
    return noAttributes();
}

std::size_t AttributedString::splitAt(qsizetype index)
{
    qsizetype start = 0;
    for (std::size_t i = 0; i < m_runs.size(); ++i) {
        if (index == start)
            return i;
        if (index < start + m_runs[i].length) {
            const Run tail{start + m_runs[i].length - index, m_runs[i].attributes};
            m_runs[i].length = index - start;
            m_runs.insert(m_runs.begin() + qsizetype(i) + 1, tail);
            return i + 1;
        }
        start += m_runs[i].length;
    }
    return m_runs.size();
}

void AttributedString::merge()
{
    std::vector<Run> runs = std::move(m_runs);
    m_runs.clear();
    m_runs.reserve(runs.size());
    for (const Run& run : runs)
        appendRun(run);
}

bool AttributedString::clampRange(qsizetype& start, qsizetype& len) const
{
    start = std::clamp<qsizetype>(start, 0, length());
    len = std::clamp<qsizetype>(len, 0, length() - start);
    return len > 0;
}

template <typename Change>
void AttributedString::changeRange(qsizetype start, qsizetype len, Change change)
{
    if (!clampRange(start, len))
        return;
    const std::size_t first = splitAt(start);
    const std::size_t last = splitAt(start + len);
    for (std::size_t i = first; i < last; ++i) {
        Attributes a = *m_runs[i].attributes;
        change(a);
        m_runs[i].attributes = share(a);
    }
    merge();
}

void AttributedString::setAttributes(const Attributes& attributes, qsizetype start, qsizetype len)
{
    changeRange(start, len, [&](Attributes& a) { a = attributes; });
}

void AttributedString::addAttribute(const QString& name, const AttributeValue& value,
                                    qsizetype start, qsizetype len)
{
    changeRange(start, len, [&](Attributes& a) { a.set(name, value); });
}

void AttributedString::addAttributes(const Attributes& attributes, qsizetype start, qsizetype len)
{
    changeRange(start, len, [&](Attributes& a) {
        for (auto it = attributes.values().begin(); it != attributes.values().end(); ++it)
            a.set(it.key(), it.value());
    });
}

void AttributedString::appendRun(const Run& run)
{
    if (run.length == 0)
        return;
    if (!m_runs.empty() && (m_runs.back().attributes == run.attributes ||
                            m_runs.back().attributes->isSameAs(*run.attributes)))
        m_runs.back().length += run.length;
    else
        m_runs.push_back(run);
}

void AttributedString::append(const QString& s, const Attributes& attributes)
{
    if (s.isEmpty())
        return;
    m_string += s;
    if (!m_runs.empty() && m_runs.back().attributes->isSameAs(attributes))
        m_runs.back().length += s.size(); // no copy of the attributes for the common case
    else
        m_runs.push_back({s.size(), share(attributes)});
}

void AttributedString::append(const AttributedString& other)
{
    m_string += other.m_string;
    for (const Run& run : other.m_runs)
        appendRun(run);
}

void AttributedString::deleteCharacters(qsizetype start, qsizetype len)
{
    if (!clampRange(start, len))
        return;
    const std::size_t first = splitAt(start);
    const std::size_t last = splitAt(start + len);
    m_runs.erase(m_runs.begin() + qsizetype(first), m_runs.begin() + qsizetype(last));
    m_string.remove(start, len);
    merge();
}

void AttributedString::replaceCharacters(qsizetype start, qsizetype len, const QString& replacement)
{
    clampRange(start, len); // an empty range still inserts
    const qsizetype source = start < length() ? start : start - 1;
    const Attributes inherited = source >= 0 ? attributesAt(source) : Attributes();
    deleteCharacters(start, len);
    if (replacement.isEmpty())
        return;
    const std::size_t at = splitAt(start);
    m_runs.insert(m_runs.begin() + qsizetype(at), Run{replacement.size(), share(inherited)});
    m_string.insert(start, replacement);
    merge();
}

bool AttributedString::operator==(const AttributedString& other) const
{
    if (m_string != other.m_string || m_runs.size() != other.m_runs.size())
        return false;
    for (std::size_t i = 0; i < m_runs.size(); ++i) {
        if (m_runs[i].length != other.m_runs[i].length ||
            !(*m_runs[i].attributes == *other.m_runs[i].attributes))
            return false;
    }
    return true;
}

} // namespace text
