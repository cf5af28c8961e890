#pragma once

#include "ArchivedObject.h"

namespace archive {

struct DecodeResult
{
    std::vector<ArchivedGroup> groups; // the top-level groups; the root is the first value
    QString error;                     // empty on success
    qint64 offset = -1;                // where decoding stopped on error

    bool ok() const { return error.isEmpty(); }
    const ArchivedValue* root() const;
};

// Decodes a typed-stream archive ("\x04\x0bstreamtyped..." or its big-endian twin).
// Malformed input, reference indexes out of range, absurd lengths and nesting deeper
// than a sane limit give an error, never a partial graph. A reference to an object that
// is still being decoded (a cycle) becomes an enclosing reference.
DecodeResult decodeTypedStream(const QByteArray& bytes);

// Writes groups as the platform's archiver does (little-endian, system version 1000),
// sharing strings and objects by reference. An empty result means the graph could not
// be written (a cycle, or nesting too deep).
QByteArray encodeTypedStream(const std::vector<ArchivedGroup>& groups);
QByteArray encodeRootObject(const ObjectPtr& root);

} // namespace archive
