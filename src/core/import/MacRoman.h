#pragma once

#include <QByteArray>
#include <QString>

namespace snapwick {

// Mac OS Roman, one byte a character: ASCII below 0x80, the platform's own letters and
// signs above (0x8E is é). Every byte decodes, so decoding never fails.
QString decodeMacRoman(const QByteArray& bytes);

} // namespace snapwick
