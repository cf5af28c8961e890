#pragma once

#include "PropertyList.h"

namespace plist {

ReadResult readBinary(const QByteArray& bytes);
WriteResult writeBinary(const Value& root);

} // namespace plist
