#include "text/Rtf.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const text::AttributedString s = text::attributedStringFromRtf(bytes);
    if (s.length() > qsizetype(size)) // every character comes from at least one byte
        std::abort();
    text::rtfFromAttributedString(s);
    return 0;
}
