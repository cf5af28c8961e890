#pragma once

#include "plist/Dictionary.h"

namespace bench {

// A settings document like a heavy user's: `count` snippets of mixed kinds.
plist::DictionaryPtr sampleSettingsDocument(int count);

} // namespace bench
