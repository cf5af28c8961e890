#pragma once

#include "TextAttributes.h"

#include <optional>

namespace text {

// The flat serialization of a directory of files ("rtfd" and little-endian counts,
// names, sizes, then each file as kind, length, contents; the entry "." holds the files'
// attributes), as file wrappers travel in archives and on the clipboard.
struct FlatDirectory
{
    std::vector<FileWrapper> files; // without "."
};

QByteArray serializeFlatDirectory(const FlatDirectory& directory);
std::optional<FlatDirectory> parseFlatDirectory(const QByteArray& bytes);

} // namespace text
