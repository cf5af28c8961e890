#pragma once

#include <QString>
#include <optional>

namespace snapwick {

// The plain text on the general clipboard, for the clipboard placeholder.
class ClipboardText
{
public:
    virtual ~ClipboardText() = default;
    // None when there is no clipboard owner or it holds no plain text.
    virtual std::optional<QString> plainText() = 0;
};

} // namespace snapwick
