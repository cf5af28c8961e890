#pragma once

#include <QString>
#include <functional>

namespace snapwick {

// One line per event, no levels: the system log in the programs, a capture in tests.
using LogSink = std::function<void(const QString& line)>;

void logLine(const QString& line);
// Replaces where lines go; returns the previous sink. The default writes to stderr.
LogSink setLogSink(LogSink sink);

} // namespace snapwick
