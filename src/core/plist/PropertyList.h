#pragma once

#include "Value.h"

#include <optional>

namespace plist {

enum class Format
{
    Xml,
    Binary,
    OpenStep
};

// Nesting deeper than this is refused by every reader and writer: no real document
// comes close, and it keeps the recursion far from the stack's end.
constexpr int kMaxDepth = 512;

struct ReadResult
{
    Value value;        // none on failure
    QString error;      // what went wrong, empty on success
    qint64 offset = -1; // byte (binary) or character (text) offset of the error
    Format format = Format::Xml;

    bool ok() const { return !value.isNone(); }
};

struct WriteResult
{
    QByteArray bytes;
    QString error; // empty on success

    bool ok() const { return error.isEmpty(); }
};

std::optional<Format> detectFormat(const QByteArray& bytes);
// Reads any of the three formats, told apart by their first bytes.
ReadResult read(const QByteArray& bytes);
WriteResult write(const Value& root, Format format);

const char* formatName(Format format);
std::optional<Format> formatFromName(QStringView name);

} // namespace plist
