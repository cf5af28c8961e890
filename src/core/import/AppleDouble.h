#pragma once

#include <QByteArray>
#include <optional>

namespace snapwick {

// The resource fork inside an AppleSingle or AppleDouble container (as zip tools and
// non-Mac file systems keep it); none when the bytes are no such container or hold none.
std::optional<QByteArray> resourceForkOfAppleContainer(const QByteArray& bytes);
bool isAppleContainer(const QByteArray& bytes);

} // namespace snapwick
