#pragma once

#include "TextAttributes.h"

namespace text {

// A string (UTF-16, as the platform counts) with runs of attributes. Runs cover the
// whole string; adjacent runs with equal attributes are merged.
class AttributedString
{
public:
    struct Run
    {
        qsizetype length;
        std::shared_ptr<const Attributes> attributes;
    };

    AttributedString() = default;
    explicit AttributedString(const QString& s, const Attributes& attributes = {});

    const QString& string() const { return m_string; }
    qsizetype length() const { return m_string.size(); }
    const std::vector<Run>& runs() const { return m_runs; }

    // The attributes in force at index, and where their run starts and how long it is.
    const Attributes& attributesAt(qsizetype index, qsizetype* runStart = nullptr,
                                   qsizetype* runLength = nullptr) const;

    void setAttributes(const Attributes& attributes, qsizetype start, qsizetype length);
    void addAttribute(const QString& name, const AttributeValue& value, qsizetype start,
                      qsizetype length);
    // Adds every attribute of `attributes` over the range, keeping the others.
    void addAttributes(const Attributes& attributes, qsizetype start, qsizetype length);
    void append(const QString& s, const Attributes& attributes);
    void append(const AttributedString& other);
    void deleteCharacters(qsizetype start, qsizetype length);
    // New characters take the attributes of the first character they replace (or of the
    // one before, at the end), as the platform's text storage does.
    void replaceCharacters(qsizetype start, qsizetype length, const QString& replacement);

    bool operator==(const AttributedString& other) const;

private:
    // Keeps the range inside the string; false when nothing of it is left.
    bool clampRange(qsizetype& start, qsizetype& len) const;
    // Splits the run containing index so that a run starts there; returns its position.
    std::size_t splitAt(qsizetype index);
    void merge();
    void appendRun(const Run& run); // merges with the last run where they are the same
    template <typename Change> void changeRange(qsizetype start, qsizetype length, Change change);

    QString m_string;
    std::vector<Run> m_runs;
};

using AttributedStringPtr = std::shared_ptr<const AttributedString>;

} // namespace text
