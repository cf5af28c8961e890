#include "PropertyList.h"

#include "BinaryFormat.h"
#include "OpenStepFormat.h"
#include "XmlFormat.h"

#include <algorithm>
#include <cctype>

namespace plist {

namespace {

// Whether the text, after a byte-order mark and white space, opens with an XML tag.
// "<" opens old-style data too, but data holds only hex digits, and every tag of a
// property list ("plist", "dict", "array", ...) has a letter that is not one.
bool opensWithXmlTag(const QByteArray& bytes)
{
    qsizetype i = 0;
    int step = 1;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        i = 3;
    } else if (bytes.startsWith("\xFE\xFF")) {
        i = 3; // big-endian UTF-16: look at the low byte of each unit
        step = 2;
    } else if (bytes.startsWith("\xFF\xFE")) {
        i = 2;
        step = 2;
    }
    auto at = [&](qsizetype k) { return k < bytes.size() ? uchar(bytes[k]) : uchar(0); };
    while (at(i) == ' ' || at(i) == '\t' || at(i) == '\n' || at(i) == '\r')
        i += step;
    if (at(i) != '<')
        return false;
    i += step;
    if (at(i) == '?' || at(i) == '!')
        return true;
    for (; std::isalpha(at(i)); i += step) {
        if (!std::isxdigit(at(i)))
            return true;
    }
    return false;
}

bool isBlank(const QByteArray& bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\0';
    });
}

} // namespace

std::optional<Format> detectFormat(const QByteArray& bytes)
{
    if (bytes.startsWith("bplist0"))
        return Format::Binary;
    if (isBlank(bytes))
        return std::nullopt;
    return opensWithXmlTag(bytes) ? Format::Xml : Format::OpenStep;
}

ReadResult read(const QByteArray& bytes)
{
    const auto format = detectFormat(bytes);
    if (!format) {
        ReadResult empty;
        empty.error = QStringLiteral("empty property list");
        return empty;
    }
    switch (*format) {
    case Format::Binary:
        return readBinary(bytes);
    case Format::OpenStep:
        return readOpenStep(bytes);
    case Format::Xml:
        break;
    }
    return readXml(bytes);
}

WriteResult write(const Value& root, Format format)
{
    switch (format) {
    case Format::Binary:
        return writeBinary(root);
    case Format::OpenStep:
        return writeOpenStep(root);
    case Format::Xml:
        break;
    }
    return writeXml(root);
}

const char* formatName(Format format)
{
    switch (format) {
    case Format::Binary:
        return "binary";
    case Format::OpenStep:
        return "openstep";
    case Format::Xml:
        break;
    }
    return "xml";
}

std::optional<Format> formatFromName(QStringView name)
{
    for (Format f : {Format::Xml, Format::Binary, Format::OpenStep}) {
        if (name == QLatin1String(formatName(f)))
            return f;
    }
    return std::nullopt;
}

} // namespace plist
