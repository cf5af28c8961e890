#include "archive/TypedStream.h"
#include "text/TextArchive.h"

#include <cstdlib>

// Whatever decodes must encode and decode again to the same graph; an attributed
// string read from it must survive its own archive.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const archive::DecodeResult decoded = archive::decodeTypedStream(bytes);
    if (!decoded.ok())
        return 0;
    const QByteArray again = archive::encodeTypedStream(decoded.groups);
    if (again.isEmpty() || !(archive::decodeTypedStream(again).groups == decoded.groups))
        std::abort();
    const archive::ArchivedValue* root = decoded.root();
    if (root && root->object) {
        if (const auto s = text::attributedStringFromArchive(*root->object)) {
            // An attribute that refers back to the string around it cannot be archived on its
            // own again: then nothing is written, and that is the answer.
            const QByteArray bytes = archive::encodeRootObject(text::archiveAttributedString(*s));
            if (bytes.isEmpty())
                return 0;
            const auto back = text::attributedStringFromArchive(
                *archive::decodeTypedStream(bytes).root()->object);
            if (!back || !(*back == *s))
                std::abort();
        }
    }
    return 0;
}
