#include "PlistRoundTrip.h"
#include "plist/XmlFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    checkRoundTrip(plist::readXml(bytes));
    return 0;
}
