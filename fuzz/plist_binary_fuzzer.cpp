#include "PlistRoundTrip.h"
#include "plist/BinaryFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    checkRoundTrip(plist::readBinary(bytes));
    return 0;
}
