#pragma once

#include "plist/BinaryFormat.h"
#include "plist/PropertyList.h"

#include <cstdlib>

// Whatever a reader accepts must survive the binary writer and reader unchanged.
inline void checkRoundTrip(const plist::ReadResult& read)
{
    if (!read.ok())
        return;
    const plist::WriteResult written = plist::writeBinary(read.value);
    if (!written.ok())
        std::abort();
    if (!(plist::readBinary(written.bytes).value == read.value))
        std::abort();
    plist::write(read.value, plist::Format::Xml);
    plist::write(read.value, plist::Format::OpenStep);
}
