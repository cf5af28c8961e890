#include "PlistRoundTrip.h"
#include "plist/OpenStepFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    checkRoundTrip(plist::readOpenStep(bytes));
    return 0;
}
